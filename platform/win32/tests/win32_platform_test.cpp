// The Win32 backend against real windows, files and dialogs that each test
// makes itself, in this process: what only it has (its own windows, dialogs,
// tray, editor and painting) and its own defences.  What it shares with the
// simulated platform (lookups, texts, messages to a busy thread, menus,
// timers, files) is the contract suites' (tests/contract).
#include "platform/win32/win32_platform.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace qm::win32 {
namespace {

using Presses = std::vector<std::pair<Control, MouseButton>>;

// Answers WM_GETTEXT by filling the whole buffer with no terminating zero: a
// careless or hostile program.
LRESULT CALLBACK FakeProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != WM_GETTEXT) return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    std::memset(reinterpret_cast<char*>(lparam), 'x', wparam);
    return static_cast<LRESULT>(wparam);
}

std::string TextOf(HWND h) {
    char text[2048] = {};
    ::SendMessageA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}
HWND Child(HWND dialog, const char* cls, const char* text = nullptr) {
    return ::FindWindowExA(dialog, nullptr, cls, text);
}
void Key(HWND window, WPARAM key) {
    ::PostMessageA(window, WM_KEYDOWN, key, 0);
    ::PostMessageA(window, WM_KEYUP, key, 0);
}
LONG ExStyle(HWND h, LONG mask) { return ::GetWindowLongA(h, GWL_EXSTYLE) & mask; }
RECT Frame(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r;
}

// Runs `modal` on this thread while another, as the user, waits (bounded)
// for a shown window of this process of class `cls` and hands it to `act`.
template <class Act, class Modal>
auto WhileShown(const char* cls, Act act, Modal modal) {
    std::thread user([&] {
        for (int i = 0; i < 500; ++i, ::Sleep(20))
            for (HWND h = ::FindWindowExA(nullptr, nullptr, cls, nullptr); h;
                 h = ::FindWindowExA(nullptr, h, cls, nullptr)) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(h, &process);
                if (process == ::GetCurrentProcessId() && ::IsWindowVisible(h)) return act(h);
            }
    });
    auto result = modal();
    user.join();
    return result;
}

// Each test has the main window and the reasons editor, hidden as created,
// and is their model: it says what they show and records what they report.
class Win32Backend : public ::testing::Test, public MainWindowModel, public EditorWindowModel {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = FakeProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "QmFake";
        ::RegisterClassA(&wc);
    }
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "qm-backend-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
        form_ = ToHwnd(p.CreateMainWindow("quillmoor backend main", {116, 51, {8, 24, 17, 17}, {32, 25, 73, 17}}, *this));
        editor_ = ToHwnd(p.CreateEditorWindow("reasons", {295, 71, {10, 7, 273, 58}, RGB(128, 128, 255),
                                                          RGB(255, 255, 255), "right click for options"}, *this));
        list_ = p.EditorList();
    }
    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) ::DestroyWindow(*it);
        for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
            ::SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!::DeleteFileA(it->c_str())) ::RemoveDirectoryA(it->c_str());
        }
        ::RemoveDirectoryA(folder_.c_str());
    }
    std::string Label2Text() const override {
        ++paints;
        return "0d : 0h : 0m";
    }
    void Click(Control where) override { clicks.push_back(where); }
    std::vector<std::string> ListItems() const override { return items; }
    int ListSelection() const override { return selection; }
    void Select(int index) override { selects.push_back(index); }
    void MouseDown(Control where, MouseButton button) override { downs.emplace_back(where, button); }
    void MouseUp(Control where, MouseButton button) override { ups.emplace_back(where, button); }

    HWND Make(const char* cls, const char* text, HWND parent = nullptr) {
        return made_.emplace_back(::CreateWindowExA(0, cls, text, parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 20, parent,
                                                    nullptr, ::GetModuleHandleA(nullptr), nullptr));
    }
    // The editor's list as shown (after it was invalidated and the events
    // processed, when `refill`): entries by "|", the selected one marked "*".
    std::string ListShown(bool refill = true) {
        if (refill) p.Invalidate(ToSeam(editor_));
        p.ProcessEvents();
        std::string shown;
        for (LRESULT i = 0, n = ::SendMessageA(list_, LB_GETCOUNT, 0, 0); i < n; ++i) {
            char text[256] = {};
            ::SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            shown += (i ? "|" : "") + std::string(::SendMessageA(list_, LB_GETCURSEL, 0, 0) == i ? "*" : "") + text;
        }
        return shown;
    }
    // The middle of the list's entry `index`, in the list's client coordinates.
    LPARAM EntryPoint(int index) {
        RECT r{};
        ::SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // A path in this test's own folder, removed at the end; File makes it a
    // file of these bytes, or a folder for FILE_ATTRIBUTE_DIRECTORY.
    std::string Path(const std::string& name) { return paths_.emplace_back(folder_ + "\\" + name); }
    std::string File(const std::string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::string path = Path(name);
        if (attributes == FILE_ATTRIBUTE_DIRECTORY) return ::CreateDirectoryA(path.c_str(), nullptr), path;
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD wrote = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        ::CloseHandle(h);
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }

    mutable int paints = 0;
    std::vector<std::string> items{"zeta", "alpha", "R&B \xB7 caf\xE9", "zeta"};
    int selection = 1;
    std::vector<int> selects;
    std::vector<Control> clicks;
    Presses downs, ups;
    std::vector<HWND> made_;
    std::string folder_;
    std::vector<std::string> paths_;
    Win32Platform p{"quillmoor backend test"};  // after the models: its windows go first
    HWND form_ = nullptr, editor_ = nullptr, list_ = nullptr;
};

// Handles survive 32 bits, sign-extended on the 64-bit build.
TEST_F(Win32Backend, WindowHandlesCrossTheSeamWhole) {
    HWND window = Make("QmFake", "");
    EXPECT_EQ(ToHwnd(ToSeam(window)), window);
    EXPECT_EQ(ToHwnd(0xFFFFFFFFu), reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)));
    HMENU menu = ::CreateMenu();
    EXPECT_EQ(ToHmenu(ToSeamMenu(menu)), menu);
    ::DestroyMenu(menu);
}

TEST_F(Win32Backend, ATextReadIsCutToTheBufferLessOneByteWhateverTheWindowWrites) {
    EXPECT_EQ(p.GetText(ToSeam(Make("QmFake", "")), 8), "xxxxxxx");
}

// A second copy is pinned with quillmoor.exe itself (startup_e2e).
TEST_F(Win32Backend, FoldersHaveNoFinalBackslash) {
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string exe = self;
    EXPECT_EQ(p.ProgramFolder() + exe.substr(exe.find_last_of('\\')), exe);
    EXPECT_EQ(p.SystemFolder(), "c:\\windows\\system");
}

// Its size, class, caption and topmost style are pinned with quillmoor.exe
// itself (startup_e2e).  One test, since under Wine without a window manager
// every hide of a shown window waits two seconds.
TEST_F(Win32Backend, MainWindowIsCreatedHiddenPaintsFromTheModelLaterAndLeavesTheTaskList) {
    EXPECT_FALSE(::IsWindowVisible(form_));
    EXPECT_NE(::SendMessageA(form_, WM_GETICON, ICON_BIG, 0), 0);
    p.ShowWindow(ToSeam(form_), ShowCmd::Show);
    EXPECT_TRUE(::IsWindowVisible(form_));
    ::UpdateWindow(form_);
    const int painted = paints;
    EXPECT_GE(painted, 1);
    p.Invalidate(ToSeam(form_));
    EXPECT_EQ(paints, painted);  // painted later, from the pump
    p.ProcessEvents();
    EXPECT_EQ(paints, painted + 1);
    p.SetTaskListEntry(false);
    EXPECT_EQ(ExStyle(form_, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::IsWindowVisible(form_));
    p.ShowWindow(ToSeam(form_), ShowCmd::Hide);
    EXPECT_FALSE(::IsWindowVisible(form_));
    p.SetTaskListEntry(true);
    EXPECT_EQ(ExStyle(form_, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), WS_EX_APPWINDOW);
    EXPECT_FALSE(::IsWindowVisible(form_));
}

TEST_F(Win32Backend, MainWindowReportsDownsOnBodyAndClockAndWholeLeftClicksOnTheMenuButton) {
    const std::tuple<UINT, int, int> mouse[] = {
        {WM_LBUTTONDOWN, 2, 2}, {WM_RBUTTONDOWN, 110, 45}, {WM_MBUTTONDOWN, 60, 10}, {WM_LBUTTONDOWN, 32, 25},
        {WM_RBUTTONDOWN, 104, 41},
        // On the menu button: released elsewhere, by another button, or
        // without a press first; then a whole left click.
        {WM_LBUTTONDOWN, 16, 32}, {WM_LBUTTONUP, 60, 10}, {WM_RBUTTONDOWN, 16, 32}, {WM_RBUTTONUP, 16, 32},
        {WM_LBUTTONUP, 16, 32}, {WM_LBUTTONDOWN, 8, 24}, {WM_LBUTTONUP, 24, 40}};
    for (auto [msg, x, y] : mouse) ::SendMessageA(form_, msg, 0, MAKELPARAM(x, y));
    EXPECT_EQ(downs, (Presses{{Control::Body, MouseButton::Left}, {Control::Body, MouseButton::Right},
                              {Control::Body, MouseButton::Middle}, {Control::Label2, MouseButton::Left},
                              {Control::Label2, MouseButton::Right}}));
    EXPECT_EQ(clicks, std::vector<Control>{Control::Label1});
}

// A menu as shown: items by "|", greyed "~", checked "+", the default "*", a
// submenu in brackets.
std::string MenuShown(HMENU menu) {
    std::string shown;
    const UINT byDefault = ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
    for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        char text[64] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        shown += (i ? "|" : "") + std::string(state & MF_SEPARATOR ? "-" : state & MF_GRAYED ? "~" : "") +
                 (state & MF_CHECKED ? "+" : "") + (byDefault != ~0u && ::GetMenuItemID(menu, i) == byDefault ? "*" : "") +
                 text;
        if (HMENU sub = ::GetSubMenu(menu, i)) shown += "[" + MenuShown(sub) + "]";
    }
    return shown;
}

TEST_F(Win32Backend, PopupMenuIsBuiltFromTheItemsOpensAtThePointOrPointerAndReturnsTheChoice) {
    // id, caption, checked, enabled, children
    const PopupItem menu{0, "", false, true,
                         {{0, "title", false, false, {}},
                          {0, "-", false, true, {}},
                          {11, "first", true, true, {}},
                          {0, "more", false, true, {{21, "inner", false, true, {}}, {22, "greyed", false, false, {}}}},
                          {13, "handle: R&B\tfan", false, true, {}},
                          {12, "exit", false, true, {}}}};
    ::SetWindowPos(form_, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    struct Case {
        bool fromTray;  // no point, the hidden helper window as owner: opens at the pointer
        std::vector<WPARAM> keys;
        int defaultId, chosen;
        std::string shown;  // captions as typed: no underlined "B", no shortcut column
        POINT at;
    };
    // Down stops on the greyed title (which cannot be chosen) and skips the
    // separator; choices of items are pinned with quillmoor.exe (shell_e2e).
    for (const Case& c :
         {Case{false, {VK_DOWN, VK_RETURN}, 12, 0, "~title|-|+first|more[inner|~greyed]|handle: R&&B fan|*exit", {108, 161}},
          Case{false, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, 21, 0,
               "~title|-|+first|more[*inner|~greyed]|handle: R&&B fan|exit", {108, 161}},
          Case{true, {VK_ESCAPE}, 0, 0, "~title|-|+first|more[inner|~greyed]|handle: R&&B fan|exit", {300, 200}}}) {
        const std::string name = (c.fromTray ? "tray, " : "") + std::to_string(c.keys.size()) + " keys";
        HWND owner = c.fromTray ? p.HelperWindow() : form_, foreground = nullptr;
        ASSERT_TRUE(!c.fromTray || ::SetCursorPos(300, 200));
        std::string menuShown;
        RECT rect{};
        const int chosen = WhileShown("#32768", [&](HWND window) {
            menuShown = MenuShown(reinterpret_cast<HMENU>(::SendMessageA(window, 0x01E1, 0, 0)));  // MN_GETHMENU
            rect = Frame(window);
            foreground = ::GetForegroundWindow();
            for (WPARAM key : c.keys) Key(window, key);
        }, [&] {
            return c.fromTray ? p.TrackPopupMenu(menu, p.TrayWindow(), std::nullopt, c.defaultId)
                              : p.TrackPopupMenu(menu, ToSeam(owner), Point{8, 41}, c.defaultId);
        });
        EXPECT_EQ(chosen, c.chosen) << name;
        EXPECT_EQ(menuShown, c.shown) << name;
        EXPECT_EQ(std::pair(rect.left, rect.top), std::pair(c.at.x, c.at.y)) << name;
        // The owner came to the front first; a nudge to it follows the menu.
        EXPECT_EQ(foreground, owner) << name;
        MSG nudge;
        EXPECT_TRUE(::PeekMessageA(&nudge, owner, WM_NULL, WM_NULL, PM_REMOVE)) << name;
    }
}

// Characters as the keyboard delivers them to the prompt's edit.
void Type(HWND dialog, const std::string& bytes) {
    for (char c : bytes) ::PostMessageA(Child(dialog, "Edit"), WM_CHAR, static_cast<unsigned char>(c), 0);
}

TEST_F(Win32Backend, PromptShowsItsTextsAndReturnsWhatWasTypedOrNothing) {
    std::string every, tooLong;
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c != 0x7F) every += static_cast<char>(c);
    for (int i = 0; i < kInputBoxMaxLength + 5; ++i) tooLong += static_cast<char>('a' + i % 26);
    const std::string longDefault = std::string(1500, 'r') + "\xE9";
    auto set = [](HWND d, const char* text) {
        ::SendMessageA(Child(d, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    };
    auto enter = [](HWND d) { Key(Child(d, "Edit"), VK_RETURN); };  // the default button
    struct Case {
        const char* name;
        std::string defaultText;
        std::function<void(HWND)> act;
        std::string answer;
    };
    const Case cases[] = {
        {"enter", "old room", [&](HWND d) { set(d, "typed \xB7 text"); enter(d); }, "typed \xB7 text"},
        {"escape", "old room", [](HWND d) { Key(Child(d, "Edit"), VK_ESCAPE); }, ""},
        {"cancel", "old room", [](HWND d) { Type(d, "abc"); ::PostMessageA(Child(d, "Button", "Cancel"), BM_CLICK, 0, 0); }, ""},
        {"empty", "old room", [&](HWND d) { set(d, ""); ::PostMessageA(Child(d, "Button", "OK"), BM_CLICK, 0, 0); }, ""},
        {"every byte", "", [&](HWND d) { Type(d, every); enter(d); }, every},
        // What goes past the limit is refused as it is typed; a longer default is kept whole.
        {"too long", "", [&](HWND d) { Type(d, tooLong); enter(d); }, tooLong.substr(0, kInputBoxMaxLength)},
        {"long default", longDefault, enter, longDefault}};
    for (const Case& c : cases) {
        std::string shown;
        const std::string typed = WhileShown("#32770", [&](HWND d) {
            shown = TextOf(d) + "|" + TextOf(Child(d, "Static")) + "|" + TextOf(Child(d, "Edit"));
            c.act(d);
        }, [&] { return p.InputBox("set room \xB7", "enter the room's name: R&B", c.defaultText); });
        EXPECT_EQ(typed, c.answer) << c.name;
        EXPECT_EQ(shown, "set room \xB7|enter the room's name: R&B|" + c.defaultText) << c.name;
    }
}

// The window with the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// One test, since under Wine without a window manager every hide of a shown
// window waits two seconds.
TEST_F(Win32Backend, PromptIsInFrontOfTheTopmostMainWindowShownOrHiddenAndKeyboardUsable) {
    p.MakeTopmost(ToSeam(form_));
    p.ShowWindow(ToSeam(form_), ShowCmd::Show);
    for (bool mainShown : {true, false}) {
        if (!mainShown) p.ShowWindow(ToSeam(form_), ShowCmd::Hide);
        bool topmost = false, aboveMain = false, foreground = false, ownersEnabled = true;
        std::vector<HWND> focus, expected;
        WhileShown("#32770", [&](HWND dialog) {
            expected = {Child(dialog, "Edit"), Child(dialog, "Button", "OK"), Child(dialog, "Button", "Cancel"),
                        Child(dialog, "Edit")};
            topmost = ExStyle(dialog, WS_EX_TOPMOST);
            for (HWND h = dialog; h; h = ::GetWindow(h, GW_HWNDNEXT)) aboveMain = aboveMain || h == form_;
            foreground = ::GetForegroundWindow() == dialog;
            ownersEnabled = ::IsWindowEnabled(form_) || ::IsWindowEnabled(editor_);
            focus.push_back(FocusOf(dialog));
            for (int i = 0; i < 3; ++i) {
                Key(FocusOf(dialog), VK_TAB);
                for (int wait = 0; wait < 100 && FocusOf(dialog) == focus.back(); ++wait) ::Sleep(10);
                focus.push_back(FocusOf(dialog));
            }
            Key(FocusOf(dialog), VK_ESCAPE);
        }, [&] { return p.InputBox("set font", "enter a font type.", ""); });
        EXPECT_EQ(std::tuple(topmost, aboveMain, foreground, ownersEnabled), std::tuple(true, true, true, false))
            << "main window shown: " << mainShown;
        EXPECT_EQ(focus, expected) << mainShown;
        EXPECT_TRUE(::IsWindowEnabled(form_) && ::IsWindowEnabled(editor_)) << mainShown;
    }
}

TEST_F(Win32Backend, MessageBoxShowsTitleAndTextInFrontUntilOk) {
    std::string shown;  // the title, then each static's text (another may hold the icon)
    bool topmost = false;
    WhileShown("#32770", [&](HWND box) {
        topmost = ExStyle(box, WS_EX_TOPMOST);
        shown = TextOf(box);
        for (HWND s = Child(box, "Static"); s; s = ::FindWindowExA(box, s, "Static", nullptr))
            if (!TextOf(s).empty()) shown += "|" + TextOf(s);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }, [&] { return p.MessageBox("upchat", "no upload window \xB7 found"), 0; });
    EXPECT_TRUE(topmost);
    EXPECT_EQ(shown, "upchat|no upload window \xB7 found");
}

// The seam's record for `window`, with junk where the icon goes.
std::vector<std::uint8_t> TrayRecord(Hwnd window, const std::string& tip, std::uint32_t flags = 7) {
    std::vector<std::uint8_t> record(kTrayRecordSize, 0);
    const std::uint32_t fields[] = {88, window, 1, flags, 0x0200, 0x0BADF00D};  // size, window, id, flags, callback, icon
    std::memcpy(record.data(), fields, sizeof fields);
    std::memcpy(record.data() + 24, tip.data(), std::min<std::size_t>(tip.size(), 64));
    return record;
}

TEST(Win32Tray, RecordsOf88BytesAreTranslatedFieldByFieldForThisBuildsLayout) {
    HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x4242));
    HICON icon = reinterpret_cast<HICON>(static_cast<std::intptr_t>(0x5151));
    NOTIFYICONDATAA data;
    std::string tip = std::string("quillmoor idle by dorwick") + '\0';  // as the program pads it
    tip.resize(64, ' ');
    ASSERT_TRUE(TranslateTrayRecord(TrayRecord(0x4242, tip), window, icon, data));
    EXPECT_EQ(std::tuple(data.cbSize, data.hWnd, data.uID, data.uFlags, data.uCallbackMessage, data.hIcon),
              std::tuple(DWORD{NOTIFYICONDATAA_V1_SIZE}, window, 1u, UINT{NIF_MESSAGE | NIF_ICON | NIF_TIP}, 0x0200u, icon));
    EXPECT_EQ(std::string(data.szTip, 64), tip.substr(0, 63) + '\0');
    // A tip without an end is cut; flags of later versions do not pass.
    ASSERT_TRUE(TranslateTrayRecord(TrayRecord(0x4242, std::string(64, 'q'), 0x1F), window, icon, data));
    EXPECT_EQ(std::string(data.szTip), std::string(63, 'q'));
    EXPECT_EQ(data.uFlags, 7u);
    for (std::size_t size : {0u, 87u, 89u, 504u}) {
        std::vector<std::uint8_t> record = TrayRecord(0x4242, "tip");
        record.resize(size);
        EXPECT_FALSE(TranslateTrayRecord(record, window, icon, data)) << size;
    }
    // Another window would hear the icon's mouse instead of ours.
    EXPECT_FALSE(TranslateTrayRecord(TrayRecord(0x4243, "tip"), window, icon, data));
    EXPECT_FALSE(TranslateTrayRecord(TrayRecord(0, "tip"), window, icon, data));
}

// The icon shown and its mouse reaching quillmoor are pinned with
// quillmoor.exe itself (shell_e2e).
TEST_F(Win32Backend, TrayIconComesAndGoesOnlyForItsOwnWindowAndTaskbarCreatedIsHeard) {
    HWND helper = p.HelperWindow();
    std::vector<std::uint32_t> got;
    p.OnTrayMessage([&](std::uint32_t m) { got.push_back(m); });
    ::PostMessageA(helper, 0x0200, 1, WM_RBUTTONUP);  // before the icon is added its message means nothing
    p.ProcessEvents();
    EXPECT_EQ(p.TrayWindow(), ToSeam(helper));
    const std::vector<std::uint8_t> record = TrayRecord(p.TrayWindow(), "quillmoor backend tray");
    EXPECT_FALSE(p.TrayNotify(TrayOp::Add, TrayRecord(p.TrayWindow() + 1, "quillmoor backend tray")));
    EXPECT_TRUE(p.TrayNotify(TrayOp::Add, record));
    EXPECT_EQ(got, std::vector<std::uint32_t>{});
    EXPECT_TRUE(p.TrayNotify(TrayOp::Delete, record));
    EXPECT_FALSE(p.TrayNotify(TrayOp::Delete, record));  // nothing left to remove
    EXPECT_FALSE(p.TrayNotify(static_cast<TrayOp>(7), record));
    EXPECT_FALSE(p.TrayNotify(TrayOp::Add, std::vector<std::uint8_t>(10, 0)));

    int made = 0;
    p.OnTaskbarCreated([&] { ++made; });
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    for (int i = 0; i < 100 && made == 0; ++i) p.WaitForEvents(0.02);
    EXPECT_EQ(made, 1);
}

TEST_F(Win32Backend, EditorIsCreatedHiddenInItsLayoutAndShowsTheModelsListAfterEachInvalidate) {
    EXPECT_FALSE(::IsWindowVisible(editor_));
    EXPECT_EQ(p.GetWindowText(ToSeam(editor_), 100), "reasons");
    RECT client, frame = Frame(editor_), shown = Frame(list_);
    ::GetClientRect(editor_, &client);
    ::MapWindowPoints(nullptr, editor_, reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, frame.right - frame.left, frame.bottom - frame.top,
                                 shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top}),
              std::vector<LONG>({295, 71, 295, 71, 10, 7, 273, 58}));  // no border, no title bar
    EXPECT_TRUE(ExStyle(editor_, WS_EX_TOOLWINDOW));                   // no task-list_ entry of its own
    EXPECT_EQ(::GetParent(list_), editor_);
    EXPECT_EQ(::GetWindowLongA(list_, GWL_STYLE) & LBS_SORT, 0);  // entries stay where they were put
    EXPECT_EQ(ListShown(false), "zeta|*alpha|R&B \xB7 caf\xE9|zeta");
    items = {"brb", "sleeping", "eating"};
    selection = -1;
    EXPECT_EQ(ListShown(), "brb|sleeping|eating");
    selection = 2;
    EXPECT_EQ(ListShown(), "brb|sleeping|*eating");
    items.clear();
    selection = 5;  // none left to select
    EXPECT_EQ(ListShown(), "");
    EXPECT_EQ(::SendMessageA(list_, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_TRUE(selects.empty());  // filling is not the user's choice
}

TEST_F(Win32Backend, EditorReportsTheUsersSelectionTheMouseOnBodyAndListAndHasItsColoursAndTooltip) {
    ::SendMessageA(list_, WM_LBUTTONDOWN, MK_LBUTTON, EntryPoint(2));
    ::SendMessageA(list_, WM_LBUTTONUP, 0, EntryPoint(2));
    ::SendMessageA(list_, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(selects, (std::vector<int>{2, 1}));
    for (UINT msg : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) ::SendMessageA(editor_, msg, 0, MAKELPARAM(3, 3));
    ::SendMessageA(list_, WM_RBUTTONDOWN, MK_RBUTTON, EntryPoint(0));  // the list_'s own
    EXPECT_EQ(downs, (Presses{{Control::Body, MouseButton::Left}, {Control::Body, MouseButton::Right},
                              {Control::Body, MouseButton::Middle}}));
    ::SendMessageA(list_, WM_RBUTTONUP, 0, EntryPoint(0));
    ::SendMessageA(list_, WM_MBUTTONUP, 0, MAKELPARAM(200, 50));
    ::SendMessageA(list_, WM_RBUTTONUP, 0, MAKELPARAM(-4, 10));  // released elsewhere, as after a drag
    ::SendMessageA(list_, WM_RBUTTONUP, 0, MAKELPARAM(20, 300));
    EXPECT_EQ(ups, (Presses{{Control::List1, MouseButton::Left}, {Control::List1, MouseButton::Right},
                            {Control::List1, MouseButton::Middle}}));
    EXPECT_EQ(::SendMessageA(list_, LB_GETCURSEL, 0, 0), 1);  // a right click does not select

    HDC dc = ::CreateCompatibleDC(nullptr);
    LOGBRUSH fill{};
    const LRESULT brush = ::SendMessageA(editor_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(list_));
    ::GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
    EXPECT_EQ(std::tuple(fill.lbColor, ::GetTextColor(dc), ::GetBkColor(dc)),
              std::tuple(RGB(128, 128, 255), RGB(255, 255, 255), RGB(128, 128, 255)));
    ::DeleteDC(dc);
    HWND tip = p.EditorTooltip();
    char cls[64] = {}, text[80] = {};
    ::GetClassNameA(tip, cls, sizeof cls);
    EXPECT_STREQ(cls, "tooltips_class32");
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(::SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(std::tuple(tool.hwnd, tool.uId, tool.uFlags & TTF_IDISHWND),
              std::tuple(editor_, reinterpret_cast<UINT_PTR>(list_), UINT{TTF_IDISHWND}));
    EXPECT_STREQ(text, "right click for options");
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return pixel;
}

// The drag that follows a press on the body is pinned with quillmoor.exe
// itself (startup_e2e): the same call moves both windows.
TEST_F(Win32Backend, EditorShowsOnTopPaintedWithItsPicture) {
    items.clear();
    ListShown();
    p.MakeTopmost(ToSeam(editor_));
    p.ShowWindow(ToSeam(editor_), ShowCmd::Show);
    EXPECT_TRUE(::IsWindowVisible(editor_));
    EXPECT_TRUE(ExStyle(editor_, WS_EX_TOPMOST));
    ::UpdateWindow(editor_);
    ::UpdateWindow(p.EditorList());
    ::GdiFlush();
    const RECT frame = Frame(editor_);
    EXPECT_EQ(ScreenPixel(frame.left, frame.top), RGB(0x93, 0xA9, 0xC0));           // the picture's frame
    EXPECT_EQ(ScreenPixel(frame.left + 100, frame.top + 40), RGB(128, 128, 255));  // the empty list
    p.ShowWindow(ToSeam(editor_), ShowCmd::Hide);
    EXPECT_FALSE(::IsWindowVisible(editor_));
}

// What this process says on the debugger output, as a debugger hears it:
// OutputDebugStringA raises an exception that a vectored handler sees first.
#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006L
#endif
std::vector<std::string> g_debugOutput;
LONG CALLBACK HearDebugOutput(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD& r = *e->ExceptionRecord;
    if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2 && r.ExceptionInformation[1])
        g_debugOutput.emplace_back(reinterpret_cast<const char*>(r.ExceptionInformation[1]),
                                   ::strnlen(reinterpret_cast<const char*>(r.ExceptionInformation[1]),
                                             static_cast<std::size_t>(r.ExceptionInformation[0])));
    return EXCEPTION_CONTINUE_SEARCH;
}

// Refuses to make windows of the backend's helper class on this thread.
LRESULT CALLBACK NoHelperWindow(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        const char* cls = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs->lpszClass;
        if (!IS_INTRESOURCE(cls) && std::string_view(cls) == "quillmoorHelper") return 1;
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

// Starting up without its helper window, the backend runs no timer (it
// would be a thread timer no tick could be told by) and says why; a profile
// write that fails says which file and why.
TEST(Win32Failures, SayWhyOnTheDebuggerOutput) {
    g_debugOutput.clear();
    void* listener = ::AddVectoredExceptionHandler(1, HearDebugOutput);
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, NoHelperWindow, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    {
        Win32Platform p("quillmoor idle failures");
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(p.TrayWindow(), 0u);
        int ticks = 0;
        const int timer = p.CreateTimer(20, [&ticks] { ++ticks; });
        p.SetTimerRunning(timer, true);
        p.WaitForEvents(0.2);
        p.WaitForEvents(0.2);
        EXPECT_EQ(ticks, 0);
        EXPECT_FALSE(p.WriteProfileString("s", "k", "v", "C:\\no such folder\\qm\\x.ini"));
    }
    ::RemoveVectoredExceptionHandler(listener);
    auto said = [](const std::string& start) {
        return std::any_of(g_debugOutput.begin(), g_debugOutput.end(),
                           [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(said("quillmoor: CreateWindowExA failed for \"quillmoorHelper\": error "));
    EXPECT_TRUE(said("quillmoor: SetTimer failed for \"no helper window\": error 1400\n"));
    EXPECT_TRUE(said("quillmoor: WritePrivateProfileStringA failed for \"C:\\no such folder\\qm\\x.ini\": error "));
}

}  // namespace
}  // namespace qm::win32
