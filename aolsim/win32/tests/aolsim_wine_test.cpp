// aolsim.exe driven from another process with plain Win32 calls, the way
// quillmoor drives the client: windows found by class and caption, texts and
// keys sent as messages; what aolsim saw read back through its channel.
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

HWND TopLevel(const char* cls, const char* caption = nullptr) {
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, caption); w; w = FindWindowExA(nullptr, w, cls, caption)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == g_aolsim) return w;
    }
    return nullptr;
}

HWND Main() { return TopLevel("AOL Frame25"); }
HWND Mdi() { return FindWindowExA(Main(), nullptr, "MDIClient", nullptr); }
HWND FirstDocument() { return FindWindowExA(Mdi(), nullptr, "AOL Child", nullptr); }
HWND Document(const char* caption) { return FindWindowExA(Mdi(), nullptr, "AOL Child", caption); }
HWND Bar() { return FindWindowExA(FindWindowExA(Main(), nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr); }
HWND Alert() { return TopLevel("#32770", "America Online"); }

std::string GetText(HWND w) {
    LRESULT n = SendMessageA(w, WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return "";
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    LRESULT got = SendMessageA(w, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(0, std::min(got, n))));
    return text;
}
void SetText(HWND w, const std::string& text) { SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

HWND FindChatRoom() {
    for (HWND c = FirstDocument(); c; c = FindWindowExA(Mdi(), c, "AOL Child", nullptr))
        if (FindWindowExA(c, nullptr, "RICHCNTL", nullptr) && FindWindowExA(c, nullptr, "_AOL_Listbox", nullptr) &&
            FindWindowExA(c, nullptr, "_AOL_Icon", nullptr) && FindWindowExA(c, nullptr, "_AOL_Static", nullptr))
            return c;
    return nullptr;
}

// Before 7.0 the second "RICHCNTL".  In 7.0 and 8.0 the "RICHCNTL" after the
// read-only transcript, which is the first "RICHCNTL": looked up from the
// start, since Wine's FindWindowExA finds nothing after a child of another
// class.
HWND FindChatInput(bool late) {
    HWND room = FindChatRoom();
    if (late) return FindWindowExA(room, nullptr, "RICHCNTL", nullptr);
    return FindWindowExA(room, FindWindowExA(room, nullptr, "RICHCNTL", nullptr), "RICHCNTL", nullptr);
}

HWND NthIcon(HWND window, int nth) {
    HWND icon = nullptr;
    for (int i = 0; i < nth; ++i) icon = FindWindowExA(window, icon, "_AOL_Icon", nullptr);
    return icon;
}

std::vector<std::string> ChildClasses(HWND w) {
    std::vector<std::string> classes;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) classes.push_back(ClassOf(c));
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

TEST_F(Aolsim, LineTypedAndEnteredLandsByteExactInEitherVariant) {
    for (const char* version : {"6.0", "8.0"}) {
        SCOPED_TRACE(version);
        bool late = std::string(version) == "8.0";
        Begin(std::string("start ") + version + "; signon \"Joe Blow\"; room Lobby \"half a sent\"");
        HWND box = FindChatInput(late);
        ASSERT_NE(box, nullptr);
        const std::string line = "<font face=\"arial\">quillmoor idle \xB7 3m \xE9";
        std::string saved = GetText(box);
        EXPECT_EQ(saved, "half a sent");
        SetText(box, "");
        SetText(box, line);
        SendMessageA(box, WM_CHAR, 13, 0);
        EXPECT_EQ(GetText(FindChatInput(late)), "");
        SetText(box, saved);
        EXPECT_EQ(aolsim.Column("transcript Lobby"), Lines{line});
        EXPECT_EQ(aolsim.Column("input Lobby"), Lines{"half a sent"});
        aolsim.Stop();
    }
}

TEST_F(Aolsim, WindowTreeCarriesTheClientsClassesInOrder) {
    Begin("start 7.0; signon Joe; room Lobby");
    ASSERT_NE(Main(), nullptr);
    EXPECT_EQ(ClassOf(Mdi()), "MDIClient");
    HWND room = FindChatRoom();
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(FirstDocument(), room);
    EXPECT_EQ(ChildClasses(room), (Lines{"RICHCNTLREADONLY", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Icon",
                                         "_AOL_Icon", "_AOL_Icon", "_AOL_Static"}));
    Lines toolbar = ChildClasses(Bar());
    ASSERT_GE(toolbar.size(), 6u);
    EXPECT_EQ(toolbar.back(), "_AOL_Combobox");
    for (std::size_t i = 0; i + 1 < toolbar.size(); ++i) EXPECT_EQ(toolbar[i], "_AOL_Icon");
    EXPECT_EQ(ClassOf(FindWindowExA(FindWindowExA(Bar(), nullptr, "_AOL_Combobox", nullptr), nullptr, "Edit", nullptr)),
              "Edit");
    char caption[64] = {};
    GetWindowTextA(Document("Welcome, Joe!"), caption, sizeof caption);
    EXPECT_STREQ(caption, "Welcome, Joe!");
}

TEST_F(Aolsim, AlertClosesOnSpaceOnItsOkButton) {
    Begin("start 8.0; signon Joe; alert");
    HWND alert = Alert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(ClassOf(alert), "#32770");
    HWND ok = FindWindowExA(alert, nullptr, "Button", "OK");
    ASSERT_NE(ok, nullptr);
    SendMessageA(ok, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(ok, WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(WaitUntil([] { return Alert() == nullptr; }, 5));
    EXPECT_EQ(aolsim.Records("alerts"), (Rows{{"1", "1"}}));
}

TEST_F(Aolsim, SignOffLeavesTheSignOnWindowAndAPasswordSignsBackOn) {
    Begin("start 8.0; signon \"Joe Blow\"; room Lobby; delay signon 0.5; disconnect transfer-status status");
    EXPECT_EQ(FindChatRoom(), nullptr);
    EXPECT_EQ(Document("Welcome, Joe Blow!"), nullptr);
    PostMessageA(Document("File Transfer Status"), WM_CLOSE, 0, 0);
    PostMessageA(Document("Status"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([] { return !Document("Status") && !Document("File Transfer Status"); }, 5));
    HWND signOn = FirstDocument();
    ASSERT_NE(signOn, nullptr);
    EXPECT_NE(FindWindowExA(signOn, nullptr, "_AOL_Icon", nullptr), nullptr);
    EXPECT_NE(FindWindowExA(signOn, nullptr, "_AOL_Combobox", nullptr), nullptr);
    EXPECT_NE(FindWindowExA(signOn, nullptr, "_AOL_Static", nullptr), nullptr);
    HWND edit = FindWindowExA(signOn, nullptr, "_AOL_Edit", nullptr);
    SetText(edit, "pa\xB7ss");
    SendMessageA(edit, WM_CHAR, 13, 0);
    // aolsim makes the windows while we look: wait for the finished scene.
    EXPECT_TRUE(WaitUntil([] {
        return Document("Welcome, Joe Blow!") && Document("AOL Channels") && FirstDocument() == Document("AOL Channels");
    }, 10));
    SendMessageA(Document("AOL Channels"), WM_CLOSE, 0, 0);
    EXPECT_EQ(Document("AOL Channels"), nullptr);
    EXPECT_EQ(aolsim.Column("passwords"), Lines{"pa\xB7ss"});
    EXPECT_EQ(aolsim.Records("events"), (Rows{{"closed", "AOL Child", "File Transfer Status"},
                                             {"closed", "AOL Child", "Status"},
                                             {"closed", "AOL Child", "AOL Channels"}}));
}

TEST_F(Aolsim, KeywordAndEnterOpenTheRoom) {
    Begin("start 8.0; signon Joe; delay room 0.3");
    HWND edit = FindWindowExA(FindWindowExA(Bar(), nullptr, "_AOL_Combobox", nullptr), nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SetText(edit, "");
    Sleep(200);
    SetText(edit, "lobby");
    SendMessageA(edit, WM_CHAR, 32, 0);
    SendMessageA(edit, WM_CHAR, 13, 0);
    Sleep(200);
    SetText(edit, "");
    ASSERT_TRUE(WaitUntil([] { return FindChatRoom() != nullptr; }, 5));
    char caption[32] = {};
    GetWindowTextA(FindChatRoom(), caption, sizeof caption);
    EXPECT_STREQ(caption, "lobby");
    EXPECT_EQ(aolsim.Column("keywords"), Lines{"lobby"});
    EXPECT_EQ(GetText(edit), "");
}

TEST_F(Aolsim, ToolbarPopupKeyOpensTheDownloadManager) {
    Begin("start 5.0; signon Joe");
    HWND before = TopLevel("#32768");
    HWND icon = FindWindowExA(Bar(), nullptr, "_AOL_Icon", nullptr);
    for (int i = 0; i < 4; ++i) icon = GetWindow(icon, GW_HWNDNEXT);
    ASSERT_NE(icon, nullptr);
    PostMessageA(icon, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(icon, WM_LBUTTONUP, 0, 0);
    HWND menu = before;
    ASSERT_TRUE(WaitUntil([&] { return (menu = TopLevel("#32768")) != before; }, 5));
    PostMessageA(menu, WM_CHAR, 'D', 0);
    // aolsim makes the window while we look: wait for all of it.
    ASSERT_TRUE(WaitUntil([] {
        HWND dm = Document("Download Manager");
        return dm && FirstDocument() == dm && NthIcon(dm, 5);
    }, 5));
    EXPECT_EQ(aolsim.Column("popup-picks"), Lines{"&Download Manager"});
    HWND dm = Document("Download Manager");
    HWND second = NthIcon(dm, 2);
    ASSERT_NE(second, nullptr);
    SendMessageA(second, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(second, WM_KEYUP, VK_SPACE, 0);
    SendMessageA(dm, WM_CLOSE, 0, 0);
    EXPECT_EQ(Document("Download Manager"), nullptr);
    EXPECT_EQ(aolsim.Records("resume-presses"), (Rows{{"1", "0"}}));
    EXPECT_EQ(aolsim.Records("presses"), (Rows{{"Download Manager", "2", "space"}}));
}

TEST_F(Aolsim, UploadMinimizeAndRestoreAreRecorded) {
    Begin("start 8.0; signon Joe; upload a.zip 12 \"About 1 minute remaining.\"");
    HWND modal = TopLevel("_AOL_MODAL");
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(GetText(modal), "File Transfer - 12%");
    EXPECT_EQ(GetText(FindWindowExA(modal, nullptr, "_AOL_Static", nullptr)), "Now Uploading a.zip");
    ShowWindow(modal, SW_HIDE);
    ShowWindow(modal, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(modal));
    const std::string c = "File Transfer - 12%";
    EXPECT_EQ(aolsim.Records("events"), (Rows{{"hidden", "_AOL_Modal", c}, {"minimized", "_AOL_Modal", c}}));
    ShowWindow(modal, SW_HIDE);
    ShowWindow(modal, SW_RESTORE);
    EXPECT_FALSE(IsIconic(modal));
    EXPECT_EQ(aolsim.Records("events"), (Rows{{"hidden", "_AOL_Modal", c},
                                             {"minimized", "_AOL_Modal", c},
                                             {"hidden", "_AOL_Modal", c},
                                             {"restored", "_AOL_Modal", c}}));
}

TEST_F(Aolsim, ChannelCarriesHighBytesAndRefusesWhatItCannotRead) {
    Begin("start foreign");
    EXPECT_EQ(aolsim.Records("echo \"\xB7 a\" \\x01"), (Rows{{"\xB7 a", "\x01"}}));
    // Not a script: wrong tag, too long.
    DWORD_PTR answer = 99;
    COPYDATASTRUCT wrong{0x1234, 4, const_cast<char*>("echo")};
    ASSERT_TRUE(SendMessageTimeoutA(aolsim.Channel(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&wrong), SMTO_NORMAL,
                                    5000, &answer));
    EXPECT_EQ(answer, 0u);
    std::string huge(control::kMaxScript + 1, 'x');
    COPYDATASTRUCT big{control::kScriptTag, static_cast<DWORD>(huge.size()), huge.data()};
    ASSERT_TRUE(SendMessageTimeoutA(aolsim.Channel(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&big), SMTO_NORMAL,
                                    5000, &answer));
    EXPECT_EQ(answer, 0u);
    // A script that fails says why; aolsim goes on.
    control::Result bad = aolsim.Run("echo one; start \"8.0");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, "line 1: unterminated quote");
    EXPECT_EQ(aolsim.Run("bogus").error, "line 1: unknown command \"bogus\"");
    EXPECT_EQ(aolsim.Column("state"), Lines{"running"});
}

TEST_F(Aolsim, ABadCommandLineEndsWithCodeTwo) {
    ASSERT_FALSE(aolsim.Start("start 8.0; nonsense"));
    EXPECT_TRUE(WaitUntil([&] { return !aolsim.Running(); }, 10));
    EXPECT_EQ(aolsim.ExitCode(), 2u);
}

TEST_F(Aolsim, ClosingTheMainWindowEndsTheProgram) {
    Begin("start 4.0; signon Joe");
    SendMessageA(Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !aolsim.Running(); }, 10));
    EXPECT_EQ(aolsim.ExitCode(), 0u);
    EXPECT_EQ(Main(), nullptr);
}

TEST_F(Aolsim, AHungClientDoesNotAnswerUntilItRecovers) {
    Begin("start 8.0; signon Joe; room Lobby typed");
    HWND box = FindChatInput(true);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(aolsim.Run("hang 3").ok);
    DWORD_PTR length = 0;
    EXPECT_FALSE(SendMessageTimeoutA(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 200, &length));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageTimeoutA(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 500, &length); }, 15));
    EXPECT_EQ(length, 5u);
}

}  // namespace
}  // namespace aolsim::testing
