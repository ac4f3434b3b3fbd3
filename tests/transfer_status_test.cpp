// Reading the client's transfer windows: the download document and the modal
// upload window of the stand-in client, hand-made windows where the client
// would not show them, and a client that does not answer.
#include "transfer/status.h"

#include <gtest/gtest.h>

#include "aol/bounds.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm::transfer {
namespace {

using aolsim::Client;

struct Values {
    Reading name, percent, minutes;
    bool operator==(const Values&) const = default;
};

void PrintTo(const Reading& r, std::ostream* os) { *os << (r ? "\"" + *r + "\"" : std::string("unknown")); }
void PrintTo(const Values& v, std::ostream* os) {
    *os << "{";
    PrintTo(v.name, os);
    *os << ", ";
    PrintTo(v.percent, os);
    *os << ", ";
    PrintTo(v.minutes, os);
    *os << "}";
}

const Values kNone{"", "", ""};
const Values kUnknown{std::nullopt, std::nullopt, std::nullopt};

class Reader : public ::testing::Test {
protected:
    void SignedOn(const char* version = "8.0") {
        client.Start(version);
        client.SignOn("Joe");
    }
    Values Download() { return {GetDownloadFileName(p), GetDownloadPercent(p), GetDownloadMinutesLeft(p)}; }
    Values Upload() { return {GetUploadFileName(p), GetUploadPercent(p), GetUploadMinutesLeft(p)}; }
    // A document of the client made by hand: caption and static texts.
    Hwnd Document(const std::string& caption, std::vector<std::string> statics) {
        Hwnd doc = client.OpenDocument(caption, aolsim::DocumentParts{});
        for (const std::string& text : statics) p.CreateWindow("_AOL_Static", text, doc);
        return doc;
    }

    sim::SimPlatform p;
    aolsim::SimClient client{p};
};

// ---- nothing to read ------------------------------------------------------------------------

TEST_F(Reader, NoClientReadsAsNoTransfers) {
    EXPECT_EQ(FindDownloadWindow(p), 0u);
    EXPECT_EQ(FindUploadWindow(p), 0u);
    EXPECT_EQ(Download(), kNone);
    EXPECT_EQ(Upload(), kNone);
}

TEST_F(Reader, SignedOnWithoutTransfersReadsAsNoTransfers) {
    SignedOn();
    client.OpenRoom("Lobby");
    EXPECT_EQ(Download(), kNone);
    EXPECT_EQ(Upload(), kNone);
}

// ---- the download ------------------------------------------------------------------------

TEST_F(Reader, DownloadValuesComeFromStaticsAndCaption) {
    SignedOn();
    client.OpenRoom("Lobby");
    Hwnd w = client.StartDownload("Report.ZIP", 7, Client::RemainingText(12));
    EXPECT_EQ(p.TextOf(w), "File Transfer - 7%");
    EXPECT_EQ(FindDownloadWindow(p), w);
    EXPECT_EQ(Download(), (Values{"report.zip", "7", "12"}));
    EXPECT_EQ(Upload(), kNone);
}

TEST_F(Reader, CaptionFileTransferAloneIsZeroPercent) {
    SignedOn();
    client.StartDownload("a.zip", -1, "Calculating Transfer Time");
    EXPECT_EQ(Download(), (Values{"a.zip", "0", "0"}));
}

TEST_F(Reader, ProgressIsReadAfreshEachTime) {
    SignedOn();
    client.StartDownload("a.zip", 45, Client::RemainingText(3));
    EXPECT_EQ(GetDownloadPercent(p), "45");
    client.SetDownloadProgress(46, Client::RemainingText(1));
    EXPECT_EQ(Download(), (Values{"a.zip", "46", "1"}));
    client.EndDownload();
    EXPECT_EQ(Download(), kNone);
}

TEST_F(Reader, FirstDocumentWithFileTransferInItsCaptionWins) {
    SignedOn();
    client.StartDownload("first.zip", 10, "");
    Hwnd second = Document("File Transfer - 90%", {"Now Downloading second.zip", ""});
    Hwnd first = client.DownloadWindow();
    client.SetDocumentOrder({first, second});
    EXPECT_EQ(FindDownloadWindow(p), first);
    EXPECT_EQ(GetDownloadFileName(p), "first.zip");
    client.SetDocumentOrder({second, first});
    EXPECT_EQ(FindDownloadWindow(p), second);
    EXPECT_EQ(Download(), (Values{"second.zip", "90", ""}));
}

TEST_F(Reader, LeftoverTransferStatusInFrontIsReadAsTheDownload) {
    SignedOn();
    client.Disconnect(aolsim::Leftovers{true, false});
    client.SignOn("Joe");
    client.StartDownload("a.zip", 5, "");
    Hwnd leftover = client.FindDocument("File Transfer Status");
    ASSERT_NE(leftover, 0u);
    client.SetDocumentOrder({leftover});
    EXPECT_EQ(FindDownloadWindow(p), leftover);
    // Its one static has no "g": only the first character goes.
    EXPECT_EQ(Download(), (Values{"our file transfer was interrupted.", "ile transfer status", ""}));
}

TEST_F(Reader, DocumentWithoutStaticsGivesOnlyThePercent) {
    SignedOn();
    Document("File Transfer - 3%", {});
    EXPECT_EQ(Download(), (Values{"", "3", ""}));
}

// ---- the upload ----------------------------------------------------------------------------

TEST_F(Reader, UploadValuesComeFromTheModalWindow) {
    SignedOn();
    client.StartDownload("down.zip", 50, Client::RemainingText(20));
    Hwnd w = client.StartUpload("A.TXT", 45, Client::RemainingText(3));
    EXPECT_EQ(FindUploadWindow(p), w);
    EXPECT_EQ(Upload(), (Values{"a.txt", "45", "3"}));
    EXPECT_EQ(Download(), (Values{"down.zip", "50", "20"}));
}

TEST_F(Reader, UploadEndedReadsAsNoUpload) {
    SignedOn();
    client.StartUpload("a.zip", 45, Client::RemainingText(3));
    client.EndUpload();
    EXPECT_EQ(FindUploadWindow(p), 0u);
    EXPECT_EQ(Upload(), kNone);
}

TEST_F(Reader, UploadBehindAnotherDialogIsUnknownAfterABoundedWait) {
    SignedOn();
    client.StartUpload("a.zip", 45, Client::RemainingText(3));
    client.ShowOtherModal("Warning");
    const double start = p.Now();
    EXPECT_EQ(FindUploadWindow(p), 0u);
    const double waited = p.Now() - start;
    EXPECT_GE(waited, bounds::kUploadLookupSeconds);
    EXPECT_LT(waited, bounds::kUploadLookupSeconds + 1.0);
    EXPECT_EQ(Upload(), kUnknown);
}

TEST_F(Reader, DialogThatGoesDuringTheWaitRevealsTheUpload) {
    SignedOn();
    Hwnd upload = client.StartUpload("a.zip", 45, Client::RemainingText(3));
    client.ShowOtherModal("Please wait");
    p.Schedule(bounds::kUploadLookupSeconds / 2, [&] { client.CloseOtherModal(); });
    EXPECT_EQ(FindUploadWindow(p), upload);
}

TEST_F(Reader, FileTransferModalThatIsNotUploadingIsNotTheUpload) {
    SignedOn();
    Hwnd modal = p.CreateWindow("_AOL_Modal", "File Transfer - 5%", 0);
    p.CreateWindow("_AOL_Static", "Now Downloading a.zip", modal);
    EXPECT_EQ(FindUploadWindow(p), 0u);
    EXPECT_EQ(GetUploadFileName(p), std::nullopt);
}

TEST_F(Reader, LookupLetsPendingEventsRunFirst) {
    int ran = 0;
    p.Schedule(0, [&] { ++ran; });
    FindUploadWindow(p);
    EXPECT_EQ(ran, 1);
}

// ---- the minutes left -------------------------------------------------------------------

TEST_F(Reader, MinutesLeftTakesTheClientsPhrasesOffInOrder) {
    SignedOn();
    client.StartDownload("a.zip", 1, "");
    const std::pair<std::string, std::string> cases[] = {
        {"About 12 minutes remaining.", "12"},
        {"About 3 minutes remaining.", "3"},
        {"About 1 minute remaining.", "1"},
        {"Less than a minute remaining.", "0"},
        {"Calculating Transfer Time", "0"},
        {"ABOUT 4 MINUTES REMAINING.", "4"},
        {"About 2 hours remaining.", "2 hours remaining."},
        {"", ""},
    };
    for (const auto& [text, minutes] : cases) {
        SCOPED_TRACE(text);
        client.SetDownloadProgress(1, text);
        EXPECT_EQ(GetDownloadMinutesLeft(p), minutes);
    }
}

// ---- texts of any shape --------------------------------------------------------------------

TEST_F(Reader, TextsOfAnyShapeAreParsedAsTheyStand) {
    SignedOn();
    Hwnd doc = Document("File Transfer", {"", ""});
    Hwnd name = p.FindWindowEx(doc, 0, "_AOL_Static");
    const std::pair<std::string, std::string> names[] = {
        {"g", ""},                                  // nothing after the g
        {"xyz", "yz"},                              // no g: the first character goes
        {"Big <b>FILE</b>", "<b>file</b>"},         // markup passes through
        {"Now Downloading \xC9T\xC9.TXT", "\xC9t\xC9.txt"},  // only ASCII letters fold
    };
    for (const auto& [text, expected] : names) {
        SCOPED_TRACE(text);
        p.SetTextDirect(name, text);
        EXPECT_EQ(GetDownloadFileName(p), expected);
    }
    const std::pair<std::string, std::string> captions[] = {
        {"File Transfer", "0"},
        {"File Transfer - 7%", "7"},
        {"File Transfer -", ""},          // nothing after the hyphen and its blank
        {"File Transfer 100%", "ile transfer 100"},  // no hyphen: the first character goes
        {"My File Transfer - 5% - x", "5 - x"},
        {"file transfer - 5%", ""},       // not "File Transfer": not a transfer window
    };
    for (const auto& [caption, expected] : captions) {
        SCOPED_TRACE(caption);
        p.SetTextDirect(doc, caption);
        EXPECT_EQ(GetDownloadPercent(p), expected);
    }
}

TEST_F(Reader, HugeTextsAreUnknownNotEmpty) {
    SignedOn();
    Hwnd doc = Document("File Transfer - 1%", {"Now Downloading a.zip", ""});
    const std::string huge(bounds::kMaxTextRead + 1, 'x');
    p.SetTextDirect(p.FindWindowEx(doc, 0, "_AOL_Static"), "Now Downloading " + huge);
    EXPECT_EQ(GetDownloadFileName(p), std::nullopt);
    EXPECT_EQ(GetDownloadPercent(p), "1");
    // Just within the bound: read and parsed whole.
    const std::string large(bounds::kMaxTextRead - 16, 'g');
    p.SetTextDirect(p.FindWindowEx(doc, 0, "_AOL_Static"), large);
    EXPECT_EQ(GetDownloadFileName(p), large.substr(2));
    p.SetTextDirect(doc, "File Transfer - " + huge);
    EXPECT_EQ(FindDownloadWindow(p), 0u);
    EXPECT_EQ(Download(), kUnknown);
}

// ---- a client that does not answer ---------------------------------------------------------

TEST_F(Reader, HungClientIsUnknownNotNoTransfer) {
    SignedOn();
    client.StartDownload("a.zip", 5, "");
    client.StartUpload("b.zip", 6, "");
    client.SetHung(true);
    EXPECT_EQ(FindDownloadWindow(p), 0u);
    EXPECT_EQ(FindUploadWindow(p), 0u);
    EXPECT_EQ(Download(), kUnknown);
    EXPECT_EQ(Upload(), kUnknown);
    client.SetHung(false);
    EXPECT_EQ(Download(), (Values{"a.zip", "5", ""}));
    EXPECT_EQ(Upload(), (Values{"b.zip", "6", ""}));
}

TEST_F(Reader, UnreadableCaptionIsSkippedForALaterTransfer) {
    SignedOn();
    Hwnd download = client.StartDownload("a.zip", 5, "");
    Hwnd deaf = Document("Somebody's Profile", {});
    client.SetDocumentOrder({deaf, download});
    p.SetHung(deaf, true);
    EXPECT_EQ(FindDownloadWindow(p), download);
    EXPECT_EQ(GetDownloadFileName(p), "a.zip");
    client.EndDownload();
    // The unreadable one may have been the transfer.
    EXPECT_EQ(GetDownloadFileName(p), std::nullopt);
}

TEST_F(Reader, UnreadableStaticIsUnknown) {
    SignedOn();
    Hwnd w = client.StartDownload("a.zip", 5, Client::RemainingText(2));
    Hwnd first = p.FindWindowEx(w, 0, "_AOL_Static");
    p.SetHung(p.FindWindowEx(w, first, "_AOL_Static"), true);
    EXPECT_EQ(Download(), (Values{"a.zip", "5", std::nullopt}));
}

// ---- ReplaceText -------------------------------------------------------------------------

TEST(ReplaceText, ReplacesEveryMatchInAnyCaseAndKeepsTheRest) {
    std::string text = "aXbxc";
    EXPECT_EQ(ReplaceText(text, "x", ""), "abc");
    EXPECT_EQ(text, "abc");
    text = "Hello WORLD, world";
    EXPECT_EQ(ReplaceText(text, "World", "there"), "Hello there, there");
    text = "no match";
    EXPECT_EQ(ReplaceText(text, "zz", "y"), "no match");
}

TEST(ReplaceText, ReplacementHoldingTheFindIsNotReplacedAgain) {
    std::string text = "ab";
    EXPECT_EQ(ReplaceText(text, "b", "bb"), "abb");
    text = "aaa";
    EXPECT_EQ(ReplaceText(text, "a", "Aa"), "AaAaAa");
    text = "aaaa";
    EXPECT_EQ(ReplaceText(text, "aa", "a"), "aa");  // matches do not overlap
}

TEST(ReplaceText, EmptyFindChangesNothing) {
    std::string text = "abc";
    EXPECT_EQ(ReplaceText(text, "", "x"), "abc");
    EXPECT_EQ(text, "abc");
}

TEST(ReplaceText, LongTextWithAMatchEverywhere) {
    std::string text(100000, 'x');
    std::string expected;
    for (int i = 0; i < 100000; ++i) expected += "yX";
    EXPECT_EQ(ReplaceText(text, "x", "yX"), expected);
}

// ---- composing a line from readers -------------------------------------------------------

TEST_F(Reader, TransferLineIsComposedFromFreshReads) {
    SignedOn();
    client.StartDownload("a.zip", 5, Client::RemainingText(2));
    AnnouncementStyle style{"joe", "000000", "0000ff", "arial", {{"1", "c1", "f1"}, {"2", "c2", "f2"}, {"3", "c3", "f3"}}};
    EXPECT_EQ(ComposeTransferLine(p, Announcement::TransferReport2, style,
                                  {GetDownloadPercent, GetDownloadMinutesLeft}),
              "</b></u></i></s><font face=\"f2\" color=#c2>2 <font face=\"arial\" color=#000000>completed: <font "
              "color=#0000ff>5<font color=#000000>% \xB7 min left: <font color=#0000ff>2");
}

TEST_F(Reader, TransferLineWithAValueThatCouldNotBeReadIsNone) {
    SignedOn();
    client.StartUpload("a.zip", 5, "");
    client.ShowOtherModal("Warning");
    AnnouncementStyle style;
    const double start = p.Now();
    EXPECT_EQ(ComposeTransferLine(p, Announcement::IdleTransfer, style,
                                  {GetUploadFileName, GetUploadPercent, GetUploadMinutesLeft}),
              std::nullopt);
    // Once one value is lost the others are not asked for.
    EXPECT_LT(p.Now() - start, 2 * bounds::kUploadLookupSeconds);
}

}  // namespace
}  // namespace qm::transfer
