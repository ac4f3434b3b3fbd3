// Reading the client's transfer windows: the stand-in client's download
// document and modal upload window, hand-made windows of any shape, and a
// client that does not answer.
#include "transfer/status.h"

#include <gtest/gtest.h>

#include "aol/bounds.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm::transfer {
namespace {

using aolsim::Client;
using Values = std::tuple<Hwnd, Reading, Reading, Reading>;  // window, name, percent, minutes left
const Values kNone{0, "", "", ""}, kUnknown{0, std::nullopt, std::nullopt, std::nullopt};
using Pairs = std::vector<std::pair<std::string, std::string>>;

class Reader : public ::testing::Test {
protected:
    void SignedOn() {
        client.Start("8.0");
        client.SignOn("Joe");
    }
    Values Download() {
        return {FindDownloadWindow(p), GetDownloadFileName(p), GetDownloadPercent(p), GetDownloadMinutesLeft(p)};
    }
    Values Upload() {
        return {FindUploadWindow(p), GetUploadFileName(p), GetUploadPercent(p), GetUploadMinutesLeft(p)};
    }
    // A document of the client made by hand: its caption and its statics' texts.
    Hwnd Document(const std::string& caption, std::vector<std::string> statics) {
        Hwnd doc = client.OpenDocument(caption, aolsim::DocumentParts{});
        for (const std::string& text : statics) p.CreateWindow("_AOL_Static", text, doc);
        return doc;
    }

    sim::SimPlatform p;
    aolsim::SimClient client{p};
};

// The values themselves, read as they change, are pinned by the reports.
TEST_F(Reader, NoClientOrNoTransferIsNoneAndTheUploadLookupLetsEventsRun) {
    int ran = 0;
    p.Schedule(0, [&] { ++ran; });
    EXPECT_EQ(Upload(), kNone) << "no client";
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(Download(), kNone) << "no client";
    SignedOn();
    client.OpenRoom("Lobby");
    EXPECT_EQ(Download(), kNone);
    EXPECT_EQ(Upload(), kNone);
}

TEST_F(Reader, FirstDocumentCaptionedAsATransferInProgressIsTheDownload) {
    SignedOn();
    client.Disconnect(aolsim::Leftovers{true, false});
    client.SignOn("Joe");
    Hwnd first = client.StartDownload("first.zip", 10, "");
    Hwnd second = Document("File Transfer - 90%", {"Now Downloading second.zip", ""});
    client.SetDocumentOrder({first, second});
    EXPECT_EQ(Download(), (Values{first, "first.zip", "10", ""}));
    client.SetDocumentOrder({second, first});
    EXPECT_EQ(Download(), (Values{second, "second.zip", "90", ""}));
    // The leftover of a lost connection names a transfer in its caption but
    // is none: passed over in front, no download alone.
    Hwnd leftover = client.FindDocument("File Transfer Status");
    client.SetDocumentOrder({leftover, first});
    EXPECT_EQ(Download(), (Values{first, "first.zip", "10", ""}));
    client.EndDownload();
    client.DestroyWindow(second);
    EXPECT_EQ(Download(), kNone);
    Hwnd bare = Document("File Transfer - 3%", {});
    client.SetDocumentOrder({leftover, bare});
    EXPECT_EQ(Download(), (Values{bare, "", "3", ""}));
}

TEST_F(Reader, UploadBehindAnotherDialogIsUnknownAfterABoundedWait) {
    SignedOn();
    client.ShowOtherModal("Warning");  // shown first, still in front of the upload
    Hwnd upload = client.StartUpload("a.zip", 45, Client::RemainingText(3));
    double start = p.Now();
    EXPECT_EQ(FindUploadWindow(p), 0u);
    EXPECT_GE(p.Now() - start, bounds::kUploadLookupSeconds);
    EXPECT_LT(p.Now() - start, bounds::kUploadLookupSeconds + 1.0);
    EXPECT_EQ(Upload(), kUnknown);
    // A line of values of which one cannot be read is none, and reads no more.
    start = p.Now();
    EXPECT_EQ(ComposeTransferLine(p, Announcement::IdleTransfer, {},
                                  {GetUploadFileName, GetUploadPercent, GetUploadMinutesLeft}),
              std::nullopt);
    EXPECT_LT(p.Now() - start, 2 * bounds::kUploadLookupSeconds);
    p.Schedule(bounds::kUploadLookupSeconds / 2, [&] { client.CloseOtherModal(); });
    EXPECT_EQ(FindUploadWindow(p), upload);
    client.EndUpload();
    // A transfer modal that is not uploading is not the upload either.
    p.CreateWindow("_AOL_Static", "Now Downloading a.zip", p.CreateWindow("_AOL_Modal", "File Transfer - 5%", 0));
    EXPECT_EQ(Upload(), kUnknown);
}

TEST_F(Reader, TextsOfAnyShapeAreParsedAsTheyStand) {
    SignedOn();
    Hwnd doc = Document("File Transfer", {"", ""});
    Hwnd name = p.FindWindowEx(doc, 0, "_AOL_Static"), left = p.FindWindowEx(doc, name, "_AOL_Static");
    for (const auto& [text, minutes] :
         Pairs{{"About 12 minutes remaining.", "12"}, {"About 1 minute remaining.", "1"},
               {"Less than a minute remaining.", "0"}, {"Calculating Transfer Time", "0"},
               {"ABOUT 4 MINUTES REMAINING.", "4"}, {"About 2 hours remaining.", "2 hours remaining."}, {"", ""}}) {
        p.SetTextDirect(left, text);
        EXPECT_EQ(GetDownloadMinutesLeft(p), minutes) << text;
    }
    for (const auto& [text, file] : Pairs{{"g", ""}, {"xyz", "yz"}, {"Big <b>FILE</b>", "<b>file</b>"},
                                          {"Now Downloading \xC9T\xC9.TXT", "\xC9t\xC9.txt"}}) {  // only ASCII folds
        p.SetTextDirect(name, text);
        EXPECT_EQ(GetDownloadFileName(p), file) << text;
    }
    for (const auto& [caption, percent] :
         Pairs{{"File Transfer", "0"}, {"File Transfer - 7%", "7"}, {"File Transfer - 100%", "100"}}) {
        p.SetTextDirect(doc, caption);
        EXPECT_EQ(GetDownloadPercent(p), percent) << caption;
    }
    // Only the captions of a transfer in progress make a transfer window;
    // the search is case-sensitive.
    for (const char* caption : {"File Transfer Status", "File Transfer - 7%%", "File Transfer -", "File Transfer - %",
                                "File Transfer - 5", "File Transfer 100%", "My File Transfer - 5%",
                                "File Transfer - 5% - x", "File Transfer - -5%", "file transfer - 5%", ""}) {
        p.SetTextDirect(doc, caption);
        EXPECT_EQ(Download(), kNone) << caption;
    }
}

// Captions need no answer from the client; the statics' texts do, and the
// first one it does not answer ends the reading at once.
TEST_F(Reader, WhatTheClientDoesNotAnswerIsUnknownNotNone) {
    SignedOn();
    Hwnd download = client.StartDownload("a.zip", 5, Client::RemainingText(2));
    Hwnd upload = client.StartUpload("b.zip", 6, "");
    client.SetHung(true);
    EXPECT_EQ(Download(), (Values{download, std::nullopt, "5", std::nullopt}));
    EXPECT_EQ(Upload(), kUnknown);
    double start = p.Now();
    EXPECT_EQ(GetUploadFileName(p), std::nullopt);
    EXPECT_DOUBLE_EQ(p.Now() - start, kSendTimeoutMs / 1000.0) << "one read, not asked again";
    client.SetHung(false);
    EXPECT_EQ(Upload(), (Values{upload, "b.zip", "6", ""}));
    Hwnd name = p.FindWindowEx(download, 0, "_AOL_Static"), minutes = p.FindWindowEx(download, name, "_AOL_Static");
    p.SetHung(name, true);
    p.SetHung(minutes, true);
    EXPECT_EQ(Download(), (Values{download, std::nullopt, "5", std::nullopt}));
    p.SetHung(name, false);
    p.SetHung(minutes, false);
    // A deaf document in front is told from a transfer by its caption.
    Hwnd deaf = Document("Somebody's Profile", {});
    client.SetDocumentOrder({deaf, download});
    p.SetHung(deaf, true);
    EXPECT_EQ(Download(), (Values{download, "a.zip", "5", "2"}));
    client.EndDownload();
    EXPECT_EQ(Download(), kNone);
}

// A hung client behind a thousand documents: one timeout per reading, not
// one per document.
TEST_F(Reader, AHungClientCostsOneTimeoutWhateverItsDocuments) {
    SignedOn();
    Hwnd download = client.StartDownload("a.zip", 5, Client::RemainingText(2));
    for (int i = 0; i < 1000; ++i) client.OpenDocument("Document " + std::to_string(i), aolsim::DocumentParts{});
    client.SetHung(true);
    for (transfer::Reader read : {GetDownloadFileName, GetDownloadMinutesLeft}) {
        const double start = p.Now();
        EXPECT_EQ(read(p), std::nullopt);
        EXPECT_DOUBLE_EQ(p.Now() - start, kSendTimeoutMs / 1000.0);
    }
    const double start = p.Now();
    EXPECT_EQ(GetDownloadPercent(p), "5");
    EXPECT_EQ(FindDownloadWindow(p), download);
    EXPECT_EQ(p.Now(), start);
}

// More documents in front than a walk visits: whether one behind them is a
// transfer is not known.
TEST_F(Reader, TheWalkOfTheDocumentsIsBounded) {
    SignedOn();
    Hwnd download = client.StartDownload("a.zip", 5, Client::RemainingText(2));
    for (int i = 1; i < bounds::kDocumentWindows; ++i) client.OpenDocument("Document", aolsim::DocumentParts{});
    EXPECT_EQ(Download(), (Values{download, "a.zip", "5", "2"})) << "the last window it visits";
    client.OpenDocument("Document", aolsim::DocumentParts{});
    EXPECT_EQ(Download(), kUnknown);
    client.EndDownload();
    EXPECT_EQ(Download(), kUnknown) << "not known to be none either";
}

TEST(ReplaceText, ReplacesEveryMatchInAnyCaseOnceAndKeepsTheRest) {
    struct Case {
        std::string text, find, replacement, result;
    };
    for (const Case& c : std::vector<Case>{{"aXbxc", "x", "", "abc"}, {"ab", "b", "bb", "abb"},
                                           {"aaa", "a", "Aa", "AaAaAa"}, {"aaaa", "aa", "a", "aa"},
                                           {"abc", "", "x", "abc"}}) {
        std::string text = c.text;
        EXPECT_EQ(ReplaceText(text, c.find, c.replacement), c.result) << c.text;
        EXPECT_EQ(text, c.result) << c.text;
    }
}

}  // namespace
}  // namespace qm::transfer
