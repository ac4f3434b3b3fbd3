// aolsim.exe driven from another process with plain Win32 calls, the way
// quillmoor drives the client: windows found by class and caption, texts and
// keys sent as messages; what aolsim saw read back through its channel.  Chat
// lines and the alert after them cross processes in chat_e2e_test.cpp, the
// upload window in transfer_e2e_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include "aolsim/win32/tests/aolsim_process.h"

namespace aolsim::testing {
namespace {

using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<std::string>>;

// The aolsim of this test: other programs (another test run among them) may
// show windows of the same classes.
DWORD g_aolsim = 0;

HWND TopLevel(const char* cls) {
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == g_aolsim) return w;
    }
    return nullptr;
}
// A parent of nullptr would search the whole desktop.
HWND Child(HWND parent, const char* cls, const char* caption = nullptr) {
    return parent ? FindWindowExA(parent, nullptr, cls, caption) : nullptr;
}
HWND Main() { return TopLevel("AOL Frame25"); }
HWND Document(const char* caption) { return Child(Child(Main(), "MDIClient"), "AOL Child", caption); }
HWND Bar() { return Child(Child(Main(), "AOL Toolbar"), "_AOL_Toolbar"); }
HWND NthIcon(HWND window, int nth) {
    HWND icon = nullptr;
    for (int i = 0; i < nth && window; ++i) icon = FindWindowExA(window, icon, "_AOL_Icon", nullptr);
    return icon;
}

void SetText(HWND w, const char* text) { SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
Lines ChildClasses(HWND w) {
    Lines classes;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(c, name, sizeof name);
        classes.push_back(name);
    }
    return classes;
}

class Aolsim : public ::testing::Test {
protected:
    void Begin(const std::string& script) {
        ASSERT_TRUE(aolsim.Start(script)) << script;
        g_aolsim = aolsim.ProcessId();
    }
    AolsimProcess aolsim;
};

TEST_F(Aolsim, AKeywordOpensARoomAndAToolbarMenuTheDownloadManager) {
    Begin("start 7.0; signon Joe; delay room 0");
    EXPECT_EQ(ChildClasses(Main()), (Lines{"AOL Toolbar", "MDIClient"}));
    Lines toolbar(8, "_AOL_Icon");
    toolbar.push_back("_AOL_Combobox");
    EXPECT_EQ(ChildClasses(Bar()), toolbar);
    HWND edit = Child(Child(Bar(), "_AOL_Combobox"), "Edit");
    ASSERT_NE(edit, nullptr);
    SetText(edit, "lobby");
    SendMessageA(edit, WM_CHAR, ' ', 0);
    SendMessageA(edit, WM_CHAR, 13, 0);
    // aolsim makes the windows while we look: wait for the last one.
    ASSERT_TRUE(WaitUntil([] { return Child(Document("lobby"), "_AOL_Static") != nullptr; }, 5));
    EXPECT_EQ(Document(nullptr), Document("lobby"));
    EXPECT_EQ(ChildClasses(Document("lobby")), (Lines{"RICHCNTLREADONLY", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon",
                                                      "_AOL_Icon", "_AOL_Icon", "_AOL_Icon", "_AOL_Static"}));
    EXPECT_NE(Document("Welcome, Joe!"), nullptr);
    PostMessageA(NthIcon(Bar(), 5), WM_LBUTTONDOWN, 0, 0);
    PostMessageA(NthIcon(Bar(), 5), WM_LBUTTONUP, 0, 0);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = TopLevel("#32768")) != nullptr; }, 5));
    PostMessageA(menu, WM_CHAR, 'D', 0);
    auto shown = [] { return Document(nullptr) == Document("Download Manager") && NthIcon(Document(nullptr), 5); };
    ASSERT_TRUE(WaitUntil(shown, 5));
    HWND dm = Document("Download Manager");
    SendMessageA(NthIcon(dm, 2), WM_LBUTTONDOWN, 0, 0);
    SendMessageA(NthIcon(dm, 2), WM_KEYUP, VK_SPACE, 0);
    SendMessageA(dm, WM_CLOSE, 0, 0);
    EXPECT_EQ(Document("Download Manager"), nullptr);
    EXPECT_EQ(aolsim.Column("keywords"), Lines{"lobby"});
    EXPECT_EQ(aolsim.Column("popup-picks"), Lines{"&Download Manager"});
    EXPECT_EQ(aolsim.Records("resume-presses"), (Rows{{"1", "0"}}));
    EXPECT_EQ(aolsim.Records("presses"), (Rows{{"Download Manager", "2", "space"}}));
}

TEST_F(Aolsim, ADisconnectLeavesTheSignOnWindowAndAPasswordSignsBackOn) {
    Begin("start 8.0; signon \"Joe Blow\"; room Lobby; delay signon 0.5; disconnect transfer-status status");
    PostMessageA(Document("File Transfer Status"), WM_CLOSE, 0, 0);
    PostMessageA(Document("Status"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([] { return !Document("Status") && !Document("File Transfer Status"); }, 5));
    HWND edit = Child(Document(nullptr), "_AOL_Edit");  // the sign-on window's password box
    SetText(edit, "pa\xB7ss");
    SendMessageA(edit, WM_CHAR, 13, 0);
    // aolsim makes the windows while we look: wait for the finished scene.
    auto signedOn = [] { return Document("Welcome, Joe Blow!") && Document(nullptr) == Document("AOL Channels"); };
    EXPECT_TRUE(WaitUntil(signedOn));
    SendMessageA(Document("AOL Channels"), WM_CLOSE, 0, 0);
    EXPECT_EQ(Document("AOL Channels"), nullptr);
    EXPECT_EQ(aolsim.Column("passwords"), Lines{"pa\xB7ss"});
    EXPECT_EQ(aolsim.Records("events"), (Rows{{"closed", "AOL Child", "File Transfer Status"},
                                             {"closed", "AOL Child", "Status"},
                                             {"closed", "AOL Child", "AOL Channels"}}));
}

TEST_F(Aolsim, AHungClientDoesNotAnswerUntilItRecovers) {
    Begin("start 8.0; signon Joe; room Lobby typed");
    HWND box = Child(Document("Lobby"), "RICHCNTL");  // 8.0: the input follows the read-only transcript
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(aolsim.Run("hang 4").ok);
    DWORD_PTR length = 0;
    // The hang begins once aolsim has returned to its message loop (on a
    // busy machine, a while after the reply).
    auto deaf = [&] { return !SendMessageTimeoutA(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 200, &length); };
    EXPECT_TRUE(WaitUntil(deaf, 4));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageTimeoutA(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 500, &length); }));
    EXPECT_EQ(length, 5u);
}

TEST_F(Aolsim, ChannelCarriesHighBytesRefusesWhatItCannotReadAndTheProcessEndsWithItsCode) {
    Begin("start foreign");
    EXPECT_EQ(aolsim.Records("echo \"\xB7 a\" \\x01"), (Rows{{"\xB7 a", "\x01"}}));
    std::string huge(control::kMaxScript + 1, 'x');
    COPYDATASTRUCT wrong{0x1234, 4, const_cast<char*>("echo")};
    COPYDATASTRUCT big{control::kScriptTag, static_cast<DWORD>(huge.size()), huge.data()};
    for (COPYDATASTRUCT* data : {&wrong, &big}) {  // not a script: refused unread
        DWORD_PTR answer = 99;
        ASSERT_TRUE(SendMessageTimeoutA(aolsim.Channel(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(data), SMTO_NORMAL,
                                        5000, &answer));
        EXPECT_EQ(answer, 0u);
    }
    // A script that fails says why; aolsim goes on, and ends with 0 when its
    // main window is closed.
    control::Result bad = aolsim.Run("echo one; start \"8.0");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, "line 1: unterminated quote");
    EXPECT_EQ(aolsim.Run("bogus").error, "line 1: unknown command \"bogus\"");
    EXPECT_EQ(aolsim.Column("state"), Lines{"running"});
    SendMessageA(Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !aolsim.Running(); }, 10));
    EXPECT_EQ(aolsim.ExitCode(), 0u);
    EXPECT_EQ(Main(), nullptr);
    ASSERT_FALSE(aolsim.Start("nonsense"));  // a bad command line: code 2
    EXPECT_TRUE(WaitUntil([&] { return !aolsim.Running(); }, 10));
    EXPECT_EQ(aolsim.ExitCode(), 2u);
}

}  // namespace
}  // namespace aolsim::testing
