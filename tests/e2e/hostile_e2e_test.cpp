// quillmoor.exe beside a hostile aolsim.exe: megabyte captions and texts and
// a 1,024-item menu, a text that changes between its length and its read, a
// client that closes every window while a re-sign-on runs, a client thread
// stuck 30 s in an Enter.  After each: quillmoor still runs and answers at
// once, the user's text is back, the password went into the sign-on
// window's box only, and the room holds exactly the lines expected.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Dhm;
using e2e::Eventually;
using e2e::kHead;
using Lines = std::vector<std::string>;

constexpr const char* kSettings = "[aol]\r\nVERSION=8.0\r\n[handle]\r\nHANDLE=joe\r\n";
constexpr const char* kTyped = "half a sentence";
const std::string kEnterLine = kHead + "quillmoor idle \xB7 enter: <font color=#0000ff>joe";
const std::string kStatsLine =
    kHead + "aol: <font color=#0000ff>8.0<font color=#000000> \xB7 stats: " + Dhm("0", "0", "0");

class HostileClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));
    }
    void StartQuillmoor(const std::string& settings = kSettings) {
        quillmoor.WriteFile("quillmoor.dat", settings);
        ASSERT_TRUE(quillmoor.Start()) << "quillmoor's window never came up";
    }
    // quillmoor still runs and its window answers a message within a second.
    bool Answers() const {
        HWND main = quillmoor.MainWindow();
        DWORD_PTR ignored = 0;
        return quillmoor.Running() && main &&
               ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
    }
    // What stays true for `seconds`, looked at now and then.
    template <typename Test>
    bool Throughout(Test test, double seconds) {
        return !Eventually([&] { return !test(); }, seconds);
    }
    Lines Room() { return client.Column("transcript Lobby"); }
    // What was done to the upload window (start-up hides the welcome).
    std::vector<Lines> UploadEvents() {
        std::vector<Lines> events = client.Records("events");
        events.erase(std::remove_if(events.begin(), events.end(),
                                    [](const Lines& e) { return e.size() > 1 && e[1] != "_AOL_Modal"; }),
                     events.end());
        return events;
    }
    Lines Input() { return client.Column("input Lobby"); }

    aolsim::testing::AolsimProcess client;
    e2e::QuillmoorProcess quillmoor;
};

// The room's input box holds 1 MB, a document in front of the room wears a
// 1 MB caption, the upload's name static, which auto upchat reads every
// tick, 1 MB too, and the Help menu, which the version probe reads, has
// 1,024 items (under Wine not readable from another process at all).  The
// box is never read, cleared or typed over: the entry lines wait; the upload
// whose name cannot be read is left alone.  Once the user's text is short
// again the lines go, once each, and it is back; a new upload is hidden and
// said.
TEST_F(HostileClient, MegabyteTextsAndALongMenuHoldTheLinesAndLoseNothing) {
    const std::string huge(1 << 20, 'M');
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby; type Lobby M 1048576; menu-pad 1021; "
                             "document C repeat=1048576 icon=1 static=1; upload U 12 x 1048576"));
    StartQuillmoor(std::string(kSettings) + "[upchat]\r\nAUTO UPCHAT=yes\r\n");
    EXPECT_TRUE(Throughout([&] { return Answers() && Room().empty() && UploadEvents().empty(); }, 8))
        << "a line went, the upload was touched, or quillmoor froze";
    EXPECT_EQ(Input(), Lines{huge});
    ASSERT_TRUE(client.Run("type Lobby brb").ok);
    EXPECT_TRUE(Eventually([&] { return Room().size() == 2; }, 30));
    EXPECT_EQ(Room(), (Lines{kEnterLine, kStatsLine}));
    EXPECT_EQ(Input(), Lines{"brb"});
    ASSERT_TRUE(client.Run("upload-end; upload a.txt 12 x").ok);
    EXPECT_TRUE(Eventually([&] { return Room().size() == 3; }, 20));
    EXPECT_EQ(Room(), (Lines{kEnterLine, kStatsLine, e2e::Said("auto upchat")}));
    EXPECT_EQ(UploadEvents(), (std::vector<Lines>{{"hidden", "_AOL_Modal", "File Transfer - 12%"},
                                                            {"minimized", "_AOL_Modal", "File Transfer - 12%"}}));
    EXPECT_EQ(Input(), Lines{"brb"});
    EXPECT_TRUE(Answers());
}

// The user types on, or deletes, right after the box has told its length
// and before it is read: what the box holds at the end is what the user last
// had there, and each entry line went once.
TEST_F(HostileClient, TextGrowingOrShrinkingUnderTheReadIsGivenBackAsTheUserLeftIt) {
    for (const char* last : {"half a sentence, and then some more of it", "half"}) {
        ASSERT_TRUE(client.Start(std::string("start 8.0; signon Joe; room Lobby \"") + kTyped + "\"; shift Lobby \"" +
                                 last + "\""));
        StartQuillmoor();
        EXPECT_TRUE(Eventually([&] { return Room().size() == 2 && Input() == Lines{last}; }, 30)) << last;
        EXPECT_EQ(Room(), (Lines{kEnterLine, kStatsLine})) << last;
        EXPECT_EQ(Input(), Lines{last});
        EXPECT_TRUE(Answers()) << last;
        quillmoor.Stop();
        client.Stop();
        ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));
    }
}

// The client's thread is stuck 30 s in the first Enter of the entry lines
// (under Wine what is sent to it meanwhile is lost).  quillmoor answers all
// along; both lines go once, in order, and the user's text comes back.
TEST_F(HostileClient, ClientStuckThirtySecondsInAnEnterLosesAndDoublesNothing) {
    ASSERT_TRUE(client.Start(std::string("start 8.0; signon Joe; room Lobby \"") + kTyped +
                             "\"; when chat-enter block 30"));
    StartQuillmoor();
    EXPECT_TRUE(Throughout([&] { return Answers(); }, 10)) << "quillmoor froze with the client";
    EXPECT_TRUE(Eventually([&] { return Room().size() == 2 && Input() == Lines{kTyped}; }, 100));
    EXPECT_EQ(Room(), (Lines{kEnterLine, kStatsLine}));
    EXPECT_EQ(Input(), Lines{kTyped});
    EXPECT_TRUE(Answers());
}

// Signed off with protection on: the look types the password and re-enters
// the room, and as the keyword goes in the client closes every window.  The
// look ends (the next one runs: the timer never runs inside itself), nothing
// is said anywhere, and the password went only into the sign-on box.
TEST_F(HostileClient, ClientClosingEveryWindowDuringTheReSignOnEndsTheLook) {
    char appData[MAX_PATH + 1] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData)));
    const std::string userFile = std::string(appData) + "\\quillmoor\\quillmoor.pws";
    const std::string systemFile = "c:\\windows\\system\\quillmoor.pws";
    ::DeleteFileA(userFile.c_str());
    ::DeleteFileA(systemFile.c_str());
    ASSERT_TRUE(::CreateDirectoryA(userFile.substr(0, userFile.rfind('\\')).c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::WritePrivateProfileStringA("dcp", "PASSWORD", "Qm7pass", userFile.c_str()));

    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby; disconnect; when keyword-entered close-all"));
    StartQuillmoor(std::string(kSettings) + "[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nROOM=Lobby\r\n");
    ASSERT_TRUE(Eventually([&] { return client.Column("keywords") == Lines{"Lobby"}; }, 60));
    HWND mdi = ::FindWindowExA(e2e::WindowOf(client.ProcessId(), "AOL Frame25"), nullptr, "MDIClient", nullptr);
    ASSERT_NE(mdi, nullptr);
    ASSERT_TRUE(Eventually([&] { return !::FindWindowExA(mdi, nullptr, nullptr, nullptr); }, 10)) << "a window stayed";
    EXPECT_EQ(client.Records("state"), (std::vector<Lines>{{"running", "8.0", "signed-on", "Joe"}}));
    ASSERT_TRUE(client.Run("disconnect").ok);
    EXPECT_TRUE(Eventually([&] { return client.Column("passwords").size() == 2; }, 40)) << "no later look";
    EXPECT_EQ(client.Column("passwords"), (Lines{"Qm7pass", "Qm7pass"}));
    EXPECT_EQ(client.Column("keywords"), Lines{"Lobby"});
    EXPECT_EQ(client.Column("chat"), Lines{});
    EXPECT_TRUE(Answers());
    ::DeleteFileA(userFile.c_str());
}

}  // namespace
