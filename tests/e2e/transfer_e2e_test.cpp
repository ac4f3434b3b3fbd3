// quillmoor.exe beside aolsim.exe, each its own process: upload chat moves
// the real upload window, the menu is worked with a real click and keys, the
// error box is a real one, and the reports reach aolsim's room.

#include <gtest/gtest.h>

#include "aolsim/win32/tests/aolsim_process.h"
#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Eventually;
using e2e::kHead;
using Lines = std::vector<std::string>;

const std::string kAutoUpchat = e2e::Said("auto upchat");
// Timer3's interval, and a bound for what follows a tick (under Wine, hiding
// a captioned window takes the client ~2 s).
constexpr double kTick = 3.0;
constexpr double kSettle = 20.0;

class Transfers : public ::testing::Test {
protected:
    // The lines said after the two entry lines.
    Lines SaidSinceEntry() {
        Lines said = client.Column("transcript Lobby");
        return said.size() > 2 ? Lines(said.begin() + 2, said.end()) : Lines{};
    }
    // What was done to the upload window, in order (and a failed query).
    Lines Shows() {
        Lines out;
        for (auto& row : client.Records("events"))
            if (row.size() != 3 || row[1] == "_AOL_Modal") out.push_back(row.size() == 3 ? row[0] + " " + row[2] : "?");
        return out;
    }
    static Lines Shown(std::initializer_list<const char*> kinds) {
        Lines out;
        for (const char* kind : kinds) out.push_back(kind + std::string(" File Transfer - 12%"));
        return out;
    }
    HWND UploadWindow() { return e2e::WindowOf(client.ProcessId(), "_AOL_Modal", nullptr, false); }
    // Down in the menu stops on the greyed title and skips separators: idle,
    // dcp, upchat options; then `downs` from "enable auto upchat", and Enter.
    void ChooseUpchatItem(int downs) {
        std::string keys = "Down Down Down Down Right";
        for (int i = 0; i < downs; ++i) keys += " Down";
        ASSERT_TRUE(app.Choose(keys + " Return"));
        ASSERT_TRUE(Eventually([&] { return app.FindOwnWindow("#32768") == nullptr; }, 10)) << "the menu stayed open";
    }
    // With this thread's messages pumped: one that sleeps looks hung, and
    // aolsim's replies to a hung window are dropped.
    static void SleepTicks(int ticks) { Eventually([] { return false; }, ticks * kTick); }

    aolsim::testing::AolsimProcess client;
    e2e::QuillmoorProcess app;
};

constexpr int kBrag = 1, kUpchatOff = 3;

TEST_F(Transfers, UpchatMovesTheRealUploadWindowBragReportsAndAVanishedUploadBringsTheBox) {
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby; download Report.ZIP 45 \"About 12 minutes remaining.\"; "
                             "upload A.TXT 12 \"Less than a minute remaining.\""));
    // The client's version among the settings: its menus cannot be read here.
    app.WriteFile("quillmoor.dat", "[aol]\r\nVERSION=8.0\r\n[upchat]\r\nAUTO UPCHAT=yes\r\n");
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 2; })) << "the entry lines";
    // Timer3 minimizes the upload once and announces it.
    ASSERT_TRUE(Eventually([&] { return Shows().size() == 2 && !SaidSinceEntry().empty(); }, kSettle));
    EXPECT_TRUE(::IsIconic(UploadWindow()));
    SleepTicks(3);
    EXPECT_EQ(Shows(), Shown({"hidden", "minimized"}));
    EXPECT_EQ(SaidSinceEntry(), Lines{kAutoUpchat});
    // "upchat off" from the menu restores it, and the timer leaves it so.
    ChooseUpchatItem(kUpchatOff);
    ASSERT_TRUE(Eventually([&] { return Shows().size() == 4; }, kSettle));
    EXPECT_FALSE(::IsIconic(UploadWindow()));
    SleepTicks(3);
    EXPECT_EQ(Shows(), Shown({"hidden", "minimized", "hidden", "restored"}));
    // Brag reports the download, then the upload.
    ChooseUpchatItem(kBrag);
    ASSERT_TRUE(Eventually([&] { return SaidSinceEntry().size() == 5; }, kSettle));
    const std::string mid = "<font color=#000000>% \xB7 min left: <font color=#0000ff>";
    EXPECT_EQ(SaidSinceEntry(), (Lines{kAutoUpchat, kHead + "file: <font color=#0000ff>report.zip",
                                       kHead + "completed: <font color=#0000ff>45" + mid + "12",
                                       kHead + "file: <font color=#0000ff>a.txt",
                                       kHead + "completed: <font color=#0000ff>12" + mid + "0"}));
    // A new upload ends right after the tick read its name for the third time:
    // it is gone when looked up to be hidden.  A real box says so; once the
    // user closes it, the tick goes on.
    ASSERT_TRUE(client.Run("upload-end; upload b.zip 3 x; upload-end-on-read 3").ok);
    HWND box = nullptr;
    ASSERT_TRUE(Eventually([&] { return (box = app.FindOwnWindow("#32770", "upchat error")) != nullptr; }, kSettle));
    char text[256] = {};  // the box's static that has a text (another may hold its icon)
    for (HWND s = nullptr; !*text && (s = ::FindWindowExA(box, s, "Static", nullptr));) ::GetWindowTextA(s, text, 256);
    EXPECT_STREQ(text, "upchat window not found, stupid ass!");
    EXPECT_EQ(UploadWindow(), nullptr);
    EXPECT_EQ(SaidSinceEntry().size(), 5u) << "announced before the box was closed";
    // A box just shown may not be on the display yet, and a click on it is
    // then lost: click until it goes.
    bool closed = false;
    for (int attempt = 0; attempt < 4 && !closed; ++attempt) {
        RECT ok{};
        HWND button = ::GetDlgItem(box, IDOK) ? ::GetDlgItem(box, IDOK) : ::GetDlgItem(box, IDCANCEL);
        if (!::GetWindowRect(button, &ok)) break;  // gone meanwhile
        ASSERT_TRUE(e2e::Xdotool(e2e::MoveTo(ok) + " click 1"));
        closed = Eventually([&] { return app.FindOwnWindow("#32770", "upchat error") == nullptr; }, 5);
    }
    ASSERT_TRUE(closed || !::IsWindow(box)) << "the box stayed open";
    ASSERT_TRUE(Eventually([&] { return SaidSinceEntry().size() >= 6; }, kSettle));
    const Lines said = SaidSinceEntry();
    EXPECT_EQ(said.size(), 6u);
    EXPECT_EQ(said.back(), kAutoUpchat);
    EXPECT_EQ(Shows(), Shown({"hidden", "minimized", "hidden", "restored"}));
}

}  // namespace
