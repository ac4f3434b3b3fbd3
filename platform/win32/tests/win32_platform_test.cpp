// The Win32 backend against real windows, menus, files and dialogs that each
// test makes itself, in this process.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace qm::win32 {
namespace {

constexpr MainWindowLayout kLayout{116, 51, {8, 24, 17, 17}, {32, 25, 73, 17}};

// ---- helpers ------------------------------------------------------------------

// Characters and commands that reached windows of the class "QmRecorder".
std::vector<std::pair<UINT, WPARAM>> g_received;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != WM_CHAR && msg != WM_COMMAND) return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    g_received.emplace_back(msg, wparam);
    return 0;
}

// Answers WM_GETTEXT by filling the whole buffer it is given, with no
// terminating zero: a careless or hostile program.
LRESULT CALLBACK OverfillProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != WM_GETTEXT) return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    std::memset(reinterpret_cast<char*>(lparam), 'x', wparam);
    return static_cast<LRESULT>(wparam);
}

class Win32Backend : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::pair<const char*, WNDPROC> classes[] = {{"QmTop", ::DefWindowProcA},
                                                           {"QmChildA", ::DefWindowProcA},
                                                           {"QmChildB", ::DefWindowProcA},
                                                           {"QmRecorder", RecordingProc},
                                                           {"QmOverfill", OverfillProc}};
        for (auto [name, proc] : classes) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = name;
            ::RegisterClassA(&wc);
        }
    }
    void SetUp() override { g_received.clear(); }
    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            if (::IsWindow(*it)) ::DestroyWindow(*it);
    }
    HWND Make(const char* cls, const char* text, HWND parent = nullptr) {
        HWND h = ::CreateWindowExA(0, cls, text, parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 20, parent, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        made_.push_back(h);
        return h;
    }
    // Windows told apart by class name: unique within this test program.
    Win32Platform p{"quillmoor backend test"};
    std::vector<HWND> made_;
};

// Waits, bounded, for a shown top-level window of this process of that class.
HWND WaitForShown(const char* cls) {
    for (int i = 0; i < 500; ++i) {
        for (HWND h = ::FindWindowExA(nullptr, nullptr, cls, nullptr); h;
             h = ::FindWindowExA(nullptr, h, cls, nullptr)) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(h, &process);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(h)) return h;
        }
        ::Sleep(20);
    }
    return nullptr;
}

// Runs `modal` on this thread while another, as the user, waits for the shown
// window of class `cls` and hands it to `act`.
template <class Act, class Modal>
auto WhileShown(const char* cls, Act act, Modal modal) {
    std::thread user([&] {
        if (HWND h = WaitForShown(cls)) act(h);
    });
    auto result = modal();
    user.join();
    return result;
}

std::string TextOf(HWND h) {
    char text[512] = {};
    ::SendMessageA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void Key(HWND window, WPARAM key) {
    ::PostMessageA(window, WM_KEYDOWN, key, 0);
    ::PostMessageA(window, WM_KEYUP, key, 0);
}

// ---- finding windows ------------------------------------------------------------

TEST_F(Win32Backend, FindWindowMatchesTheClassInAnyCaseAndTheWholeCaption) {
    HWND top = Make("QmTop", "Find Me");
    HWND child = Make("QmChildA", "one", top);
    EXPECT_EQ(p.FindWindow("qmtop", std::nullopt), ToSeam(top));
    EXPECT_EQ(p.FindWindow("QMTOP", "Find Me"), ToSeam(top));
    EXPECT_EQ(p.FindWindowEx(ToSeam(top), 0, "QmChildA", "one"), ToSeam(child));
    // Names with a zero byte inside would find these windows if cut there.
    const std::string_view captions[] = {"Find", "Find Me!", "", std::string_view("Find Me\0x", 9)};
    for (std::string_view caption : captions) EXPECT_EQ(p.FindWindow("QmTop", caption), 0u) << caption;
    EXPECT_EQ(p.FindWindow(std::string_view("QmTop\0x", 7), std::nullopt), 0u);
    EXPECT_EQ(p.FindWindowEx(ToSeam(top), 0, std::string_view("QmChildA\0", 9), std::nullopt), 0u);
    EXPECT_EQ(p.FindWindowEx(ToSeam(top), 0, "QmChildA", std::string_view("one\0", 4)), 0u);
    EXPECT_EQ(p.FindWindowEx(0, 0, "QmTop", std::nullopt), 0u);  // not the whole desktop
}

TEST_F(Win32Backend, ChildSearchGoesOnAfterAnyGivenChildAndNextWindowWalksSiblings) {
    HWND parent = Make("QmTop", "");
    const Hwnd top = ToSeam(parent), a = ToSeam(Make("QmChildA", "one", parent)),
               b = ToSeam(Make("QmChildB", "other", parent)), c = ToSeam(Make("QmChildA", "Two", parent));
    // After, class, caption, found; after a child of another class too, where
    // Wine's own search finds nothing.
    const std::tuple<Hwnd, const char*, std::optional<std::string_view>, Hwnd> searches[] = {
        {0, "qmchilda", std::nullopt, a}, {a, "QmChildA", std::nullopt, c}, {c, "QmChildA", std::nullopt, 0},
        {0, "QmChildA", "Two", c},        {0, "QmChildA", "Tw", 0},         {b, "qmchilda", std::nullopt, c},
        {b, "QmChildA", "TWO", c},        {b, "QmChildA", "one", 0},        {a, "QmChildB", std::nullopt, b}};
    for (auto [after, cls, caption, found] : searches)
        EXPECT_EQ(p.FindWindowEx(top, after, cls, caption), found) << cls << " after " << after;
    EXPECT_EQ(p.FindWindowEx(b, a, "QmChildA", std::nullopt), 0u);  // `a` is no child of `b`
    EXPECT_EQ(p.NextWindow(a), b);
    EXPECT_EQ(p.NextWindow(b), c);
    EXPECT_EQ(p.NextWindow(c), 0u);
}

TEST_F(Win32Backend, HandlesSurviveThirtyTwoBitsAndHandleZeroReadsAsNothing) {
    HWND top = Make("QmTop", "x");
    EXPECT_EQ(ToHwnd(ToSeam(top)), top);
    EXPECT_EQ(ToHwnd(0xFFFFFFFFu), reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)));
    EXPECT_TRUE(::IsWindow(ToHwnd(ToSeam(top))));
    ::DestroyWindow(top);
    EXPECT_FALSE(::IsWindow(ToHwnd(ToSeam(top))));
    EXPECT_EQ(p.NextWindow(0), 0u);
    EXPECT_EQ(p.GetWindowTextLength(0), 0);
    EXPECT_EQ(p.GetWindowText(0, 100), "");
    EXPECT_EQ(p.GetTextLength(0), 0);
    EXPECT_EQ(p.GetText(0, 100), "");
    EXPECT_EQ(p.GetMenu(0), 0u);
    EXPECT_EQ(p.GetMenuItemCount(0), -1);
    EXPECT_EQ(p.GetSubMenu(0, 0), 0u);
    EXPECT_EQ(p.GetMenuItemID(0, 0), kMenuIdSubmenu);
    EXPECT_EQ(p.GetMenuString(0, 1, 100), "");
}

// ---- texts ------------------------------------------------------------------------

TEST_F(Win32Backend, TextReadsAreCutToTheBufferLessOneByteAndKeepHighBytes) {
    const Hwnd h = ToSeam(Make("Edit", ""));
    const std::string text = "ab\xB7" "d\xE9\xFF";
    p.SetText(h, text);
    EXPECT_EQ(p.GetWindowTextLength(h), 6);
    EXPECT_EQ(p.GetTextLength(h), 6);
    for (auto [size, read] : {std::pair{100, text}, {7, text}, {4, "ab\xB7"}, {1, ""}, {0, ""}, {-5, ""}}) {
        EXPECT_EQ(p.GetWindowText(h, size), read) << size;
        EXPECT_EQ(p.GetText(h, size), read) << size;
    }
    EXPECT_EQ(p.GetText(ToSeam(Make("QmOverfill", "")), 8), "xxxxxxx");
}

// A window whose thread is busy: every send gives up after the bound and
// reads as unknown, not as nothing.  What was sent is handled late, in order,
// on Windows; Wine drops a send once its sender gave up.
TEST_F(Win32Backend, SendToABusyWindowIsUnansweredThenHandledLateInOrder) {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> made{false}, release{false}, done{false};
    std::string late;
    std::thread busy([&] {
        HWND h = ::CreateWindowExA(0, "Edit", "busy", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        window = h;
        made = true;
        while (!release) ::Sleep(10);  // without pumping
        MSG msg;
        for (int i = 0; i < 50; ++i) {
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
            ::Sleep(10);
        }
        late = TextOf(h);
        ::DestroyWindow(h);
        done = true;
    });
    while (!made) ::Sleep(10);
    const Hwnd h = ToSeam(window);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(p.GetText(h, 100), std::nullopt);
    EXPECT_EQ(p.GetTextLength(h), std::nullopt);
    EXPECT_FALSE(p.SetText(h, "first"));
    EXPECT_FALSE(p.SetText(h, "second"));
    EXPECT_FALSE(p.Send(h, Msg::Char, 'x'));
    p.ShowWindow(h, ShowCmd::Hide);  // queued for its thread, returns at once
    release = true;
    busy.join();
    EXPECT_TRUE(done);
    EXPECT_TRUE(late == "xsecond" || late == "busy") << late;  // the caret sits at 0 after a set text
    // Gone: unknown as well.
    EXPECT_EQ(p.GetTextLength(h), std::nullopt);
    EXPECT_FALSE(p.Send(h, Msg::Char, 'x'));
}

// ---- messages, the pump and timers -----------------------------------------------------

TEST_F(Win32Backend, SendIsHandledAtOncePostWhenEventsAreProcessed) {
    const Hwnd h = ToSeam(Make("QmRecorder", ""));
    p.Send(h, Msg::Char, 'y');
    EXPECT_EQ(g_received, (std::vector<std::pair<UINT, WPARAM>>{{WM_CHAR, 'y'}}));
    p.Post(h, Msg::Char, 'p');
    p.Post(h, Msg::Command, 1234);
    EXPECT_EQ(g_received.size(), 1u);
    p.ProcessEvents();
    EXPECT_EQ(g_received, (std::vector<std::pair<UINT, WPARAM>>{{WM_CHAR, 'y'}, {WM_CHAR, 'p'}, {WM_COMMAND, 1234}}));
}

TEST_F(Win32Backend, TimersTickInsideWaitsWhileRunningEachOnItsOwn) {
    const Hwnd recorder = ToSeam(Make("QmRecorder", ""));
    bool waiting = false;
    int idle = 0, ticks = 0, ticksOutsideWaits = 0;
    std::size_t pumpedInsideATick = 0;
    const int first = p.CreateTimer(10, [&] { ++idle; });
    const int second = p.CreateTimer(10, [&] {
        if (!waiting) ++ticksOutsideWaits;
        if (ticks++ > 0) return;
        p.Post(recorder, Msg::Char, 'n');
        p.ProcessEvents();  // as a wait inside a handler does
        pumpedInsideATick = g_received.size();
    });
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);
    for (int unknown : {0, -1, second + 1}) p.SetTimerRunning(unknown, true);
    p.SetTimerRunning(second, true);
    for (int i = 0; i < 400 && ticks < 2; ++i) {
        waiting = true;
        p.WaitForEvents(0.05);
        waiting = false;
    }
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(ticksOutsideWaits, 0);
    EXPECT_EQ(pumpedInsideATick, 1u);
    EXPECT_EQ(idle, 0);
    p.SetTimerRunning(second, false);  // a tick already queued must not run
    ticks = 0;
    for (int i = 0; i < 6; ++i) p.WaitForEvents(0.02);
    EXPECT_EQ(ticks, 0);
}

// ---- menus ------------------------------------------------------------------------------

TEST_F(Win32Backend, MenusOfAWindowReadByPositionAndByCommand) {
    const std::string longText(150, 'm');
    HMENU bar = ::CreateMenu();
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, 20, longText.c_str());
    ::AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(file, MF_STRING, 21, "&Quit");
    ::AppendMenuA(bar, MF_STRING, 10, "Help");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    HWND top = ::CreateWindowExA(0, "QmTop", "with menu", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, bar,
                                 ::GetModuleHandleA(nullptr), nullptr);
    made_.push_back(top);

    const Hmenu m = p.GetMenu(ToSeam(top));
    EXPECT_EQ(ToHmenu(m), bar);
    EXPECT_EQ(p.GetMenuItemCount(m), 2);
    EXPECT_EQ(p.GetMenuItemID(m, 0), 10u);
    EXPECT_EQ(p.GetMenuItemID(m, 1), kMenuIdSubmenu);
    EXPECT_EQ(p.GetMenuItemID(m, 7), kMenuIdSubmenu);
    const Hmenu sub = p.GetSubMenu(m, 1);
    EXPECT_EQ(ToHmenu(sub), file);
    EXPECT_EQ(p.GetSubMenu(m, 0), 0u);
    EXPECT_EQ(p.GetMenuItemCount(sub), 3);
    EXPECT_EQ(p.GetMenuItemID(sub, 2), 21u);

    EXPECT_EQ(p.GetMenuString(m, 20, 100), longText.substr(0, 99));  // found inside the submenu
    EXPECT_EQ(p.GetMenuString(m, 21, 100), "&Quit");
    EXPECT_EQ(p.GetMenuString(m, 10, 3), "He");
    EXPECT_EQ(p.GetMenuString(m, 99, 100), "");
    EXPECT_EQ(p.GetMenuString(m, 10, 0), "");
}

// ---- files, folders, instances -----------------------------------------------------------

class Win32Files : public Win32Backend {
protected:
    void SetUp() override {
        Win32Backend::SetUp();
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "qm-backend-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
            ::SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!::DeleteFileA(it->c_str())) ::RemoveDirectoryA(it->c_str());
        }
        ::RemoveDirectoryA(folder_.c_str());
        Win32Backend::TearDown();
    }
    // A path in this test's folder, removed at the end.
    std::string Path(const std::string& name) {
        paths_.push_back(folder_ + "\\" + name);
        return paths_.back();
    }
    std::string File(const std::string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::string path = Path(name);
        HANDLE h =
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD wrote = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        ::CloseHandle(h);
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    std::string Folder(const std::string& name) {
        const std::string path = Path(name);
        ::CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
    std::string folder_;
    std::vector<std::string> paths_;
};

TEST_F(Win32Files, FileExistsOnlyForAPlainFile) {
    EXPECT_TRUE(p.FileExists(File("plain.rea", "x")));
    EXPECT_TRUE(p.FileExists(File("empty.rea", "")));
    EXPECT_TRUE(p.FileExists(File("readonly.rea", "x", FILE_ATTRIBUTE_READONLY)));
    EXPECT_FALSE(p.FileExists(File("hidden.rea", "x", FILE_ATTRIBUTE_HIDDEN)));
    EXPECT_FALSE(p.FileExists(File("system.rea", "x", FILE_ATTRIBUTE_SYSTEM)));
    EXPECT_FALSE(p.FileExists(Folder("folder.rea")));
    EXPECT_FALSE(p.FileExists(folder_ + "\\missing.rea"));
    EXPECT_FALSE(p.FileExists(folder_ + "\\no such folder\\missing.rea"));
    EXPECT_FALSE(p.FileExists(""));
}

TEST_F(Win32Files, WritesReplaceTheWholeFileAndEveryByteComesBack) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    const std::string path = Path("bytes.dat"), big(200000, 'L');  // more than one chunk either way
    ASSERT_TRUE(p.WriteFile(path, big));
    EXPECT_EQ(p.ReadFile(path, 1 << 20), big);
    EXPECT_EQ(p.ReadFile(path, 100000), big.substr(0, 100000));
    ASSERT_TRUE(p.WriteFile(path, bytes));
    EXPECT_EQ(p.ReadFile(path, 1 << 20), bytes);
    EXPECT_EQ(p.ReadFile(path, 10), bytes.substr(0, 10));
    EXPECT_EQ(p.ReadFile(path, 0), "");
    ASSERT_TRUE(p.WriteFile(path, ""));
    EXPECT_EQ(p.ReadFile(path, 1 << 20), "");
    const std::string hidden = File("hidden.pws", "old", FILE_ATTRIBUTE_HIDDEN);  // as the profile functions do
    EXPECT_TRUE(p.WriteFile(hidden, "new"));
    EXPECT_EQ(p.ReadFile(hidden, 100), "new");
}

TEST_F(Win32Files, WhatCannotBeNamedOrOpenedReadsAsNothingAndIsNotWritten) {
    const std::string locked = File("locked.dat", "old", FILE_ATTRIBUTE_READONLY);
    const std::string real = File("real.dat", "content");
    const std::string cut = real + std::string(1, '\0') + ".txt";  // names real.dat if cut at the zero
    for (const std::string& path : {folder_ + "\\missing.dat", Folder("a folder"), std::string(), cut})
        EXPECT_EQ(p.ReadFile(path, 100), std::nullopt) << path;
    for (const std::string& path : {folder_ + "\\no such folder\\x.dat", locked, std::string(), cut})
        EXPECT_FALSE(p.WriteFile(path, "new")) << path;
    EXPECT_FALSE(p.FileExists(cut));
    EXPECT_FALSE(p.WriteProfileString("s", "k", "v", cut));
    // No path would mean a file in the Windows folder.
    EXPECT_FALSE(p.WriteProfileString("s", "k", "v", ""));
    EXPECT_EQ(p.GetProfileString("s", "k", "", 100), "");
    EXPECT_EQ(p.ReadFile(locked, 100), "old");
    EXPECT_EQ(p.ReadFile(real, 100), "content");
}

TEST_F(Win32Backend, FoldersHaveNoFinalBackslash) {
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string exe = self;
    EXPECT_EQ(p.ProgramFolder() + exe.substr(exe.find_last_of('\\')), exe);
    EXPECT_EQ(p.SystemFolder(), "c:\\windows\\system");
}

TEST_F(Win32Backend, ASecondCopySeesTheFirstUntilItEnds) {
    const std::string name = "quillmoor instance test " + std::to_string(::GetCurrentProcessId());
    auto first = std::make_unique<Win32Platform>(name);
    EXPECT_FALSE(first->PreviousInstanceRunning());
    EXPECT_FALSE(first->PreviousInstanceRunning());  // asking again changes nothing
    {
        Win32Platform second(name);
        EXPECT_TRUE(second.PreviousInstanceRunning());
    }
    first.reset();
    Win32Platform third(name);
    EXPECT_FALSE(third.PreviousInstanceRunning());
}

// ---- the main window ---------------------------------------------------------------------------

class RecordingModel : public MainWindowModel {
public:
    std::string Label2Text() const override {
        ++reads;
        return "0d : 0h : 0m";
    }
    void MouseDown(Control where, MouseButton button) override { downs.emplace_back(where, button); }
    void Click(Control where) override { clicks.push_back(where); }

    mutable int reads = 0;
    std::vector<std::pair<Control, MouseButton>> downs;
    std::vector<Control> clicks;
};

class Win32MainWindow : public Win32Backend {
protected:
    void SetUp() override {
        Win32Backend::SetUp();
        window_ = p.CreateMainWindow("quillmoor backend main", kLayout, model_);
        ASSERT_NE(window_, 0u);
        hwnd_ = ToHwnd(window_);
    }
    LONG ExStyle(LONG mask) { return ::GetWindowLongA(hwnd_, GWL_EXSTYLE) & mask; }
    RecordingModel model_;
    Hwnd window_ = 0;
    HWND hwnd_ = nullptr;
};

TEST_F(Win32MainWindow, IsCreatedHiddenWithTheExactClientArea) {
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
    RECT client;
    ::GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right - client.left, 116);
    EXPECT_EQ(client.bottom - client.top, 51);
    RECT frame;
    ::GetWindowRect(hwnd_, &frame);
    EXPECT_EQ(frame.right - frame.left, 116);  // no border, no title bar
    EXPECT_EQ(frame.bottom - frame.top, 51);
    EXPECT_EQ(p.FindWindow("quillmoorForm", "quillmoor backend main"), window_);
    EXPECT_EQ(p.GetWindowText(window_, 100), "quillmoor backend main");
    EXPECT_NE(::SendMessageA(hwnd_, WM_GETICON, ICON_BIG, 0), 0);
}

// One test, since under Wine without a window manager every hide of a shown
// window waits two seconds.
TEST_F(Win32MainWindow, ShowsOnTopPaintsFromTheModelAndLeavesTheTaskList) {
    EXPECT_EQ(ExStyle(WS_EX_TOPMOST), 0);
    p.MakeTopmost(window_);
    EXPECT_EQ(ExStyle(WS_EX_TOPMOST), WS_EX_TOPMOST);
    p.ShowWindow(window_, ShowCmd::Show);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    ::UpdateWindow(hwnd_);
    const int reads = model_.reads;
    EXPECT_GE(reads, 1);
    p.Invalidate(window_);
    EXPECT_EQ(model_.reads, reads);  // painted later, from the pump
    p.ProcessEvents();
    EXPECT_EQ(model_.reads, reads + 1);
    p.SetTaskListEntry(false);
    EXPECT_EQ(ExStyle(WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    p.ShowWindow(window_, ShowCmd::Hide);
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
    p.SetTaskListEntry(true);
    EXPECT_EQ(ExStyle(WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), WS_EX_APPWINDOW);
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
}

TEST_F(Win32MainWindow, MouseDownsOnBodyAndClockWholeLeftClicksOnTheMenuButton) {
    const std::tuple<UINT, int, int> mouse[] = {
        {WM_LBUTTONDOWN, 2, 2}, {WM_RBUTTONDOWN, 110, 45}, {WM_MBUTTONDOWN, 60, 10}, {WM_LBUTTONDOWN, 32, 25},
        {WM_RBUTTONDOWN, 104, 41},
        // On the menu button: released elsewhere, by another button, or
        // without a press first; then a whole left click.
        {WM_LBUTTONDOWN, 16, 32}, {WM_LBUTTONUP, 60, 10}, {WM_RBUTTONDOWN, 16, 32}, {WM_RBUTTONUP, 16, 32},
        {WM_LBUTTONUP, 16, 32}, {WM_LBUTTONDOWN, 8, 24}, {WM_LBUTTONUP, 24, 40}};
    for (auto [msg, x, y] : mouse) ::SendMessageA(hwnd_, msg, 0, MAKELPARAM(x, y));
    const std::vector<std::pair<Control, MouseButton>> downs{
        {Control::Body, MouseButton::Left},   {Control::Body, MouseButton::Right},
        {Control::Body, MouseButton::Middle}, {Control::Label2, MouseButton::Left},
        {Control::Label2, MouseButton::Right}};
    EXPECT_EQ(model_.downs, downs);
    EXPECT_EQ(model_.clicks, std::vector<Control>{Control::Label1});
}

// ---- pop-up menus ----------------------------------------------------------------------

// id, caption, checked, enabled, children
const PopupItem kMenu{0, "", false, true,
                      {{0, "title", false, false, {}},
                       {0, "-", false, true, {}},
                       {11, "first", true, true, {}},
                       {0, "more", false, true, {{21, "inner", false, true, {}}, {22, "greyed", false, false, {}}}},
                       {12, "exit", false, true, {}}}};

// The menu that a pop-up menu window shows (MN_GETHMENU).
HMENU MenuOf(HWND menuWindow) { return reinterpret_cast<HMENU>(::SendMessageA(menuWindow, 0x01E1, 0, 0)); }

TEST_F(Win32MainWindow, PopupMenuIsBuiltFromTheItemsAtTheOwnersPoint) {
    ::SetWindowPos(hwnd_, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    int count = -1;
    UINT state[6] = {};  // title, separator, first, more, exit; greyed in the submenu
    char firstText[32] = {};
    RECT rect{};
    const int chosen = WhileShown("#32768", [&](HWND menu) {
        HMENU h = MenuOf(menu);
        count = ::GetMenuItemCount(h);
        for (int i = 0; i < 5; ++i) state[i] = ::GetMenuState(h, i, MF_BYPOSITION);
        state[5] = ::GetMenuState(::GetSubMenu(h, 3), 1, MF_BYPOSITION);
        ::GetMenuStringA(h, 2, firstText, sizeof firstText, MF_BYPOSITION);
        ::GetWindowRect(menu, &rect);
        Key(menu, VK_ESCAPE);
    }, [&] { return p.TrackPopupMenu(kMenu, window_, Point{8, 41}, 12); });
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(state[0] & MF_GRAYED);
    EXPECT_TRUE(state[1] & MF_SEPARATOR);
    EXPECT_EQ(state[2] & (MF_CHECKED | MF_GRAYED), static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(state[3] & MF_POPUP);
    EXPECT_EQ(state[4] & (MF_CHECKED | MF_GRAYED), 0u);
    EXPECT_TRUE(state[5] & MF_GRAYED);
    EXPECT_STREQ(firstText, "first");
    EXPECT_EQ(rect.left, 108);
    EXPECT_EQ(rect.top, 161);
}

TEST_F(Win32MainWindow, PopupMenuReturnsTheChosenItemAndShowsTheDefault) {
    struct Case {
        std::vector<WPARAM> keys;
        int defaultId;
        UINT shownDefault;
        int chosen;
    };
    // Down stops on the greyed title and skips the separator.
    for (const Case& c : {Case{{VK_ESCAPE}, 0, static_cast<UINT>(-1), 0},
                          Case{{VK_DOWN, VK_DOWN, VK_RETURN}, 12, 12, 11},
                          Case{{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}, 12, 12, 21}}) {
        UINT shownDefault = 0;
        const int chosen = WhileShown("#32768", [&](HWND menu) {
            shownDefault = ::GetMenuDefaultItem(MenuOf(menu), FALSE, GMDI_USEDISABLED);
            for (WPARAM key : c.keys) Key(menu, key);
        }, [&] { return p.TrackPopupMenu(kMenu, window_, Point{8, 41}, c.defaultId); });
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(shownDefault, c.shownDefault);
    }
}

// ---- the prompt and the message box ------------------------------------------------------------

TEST_F(Win32Backend, PromptShowsItsTextsAndReturnsWhatWasTypedOrNothingWhenEscaped) {
    std::string title, prompt, shownDefault;
    const std::string typed = WhileShown("#32770", [&](HWND dialog) {
        title = TextOf(dialog);
        prompt = TextOf(::FindWindowExA(dialog, nullptr, "Static", nullptr));
        HWND edit = ::FindWindowExA(dialog, nullptr, "Edit", nullptr);
        shownDefault = TextOf(edit);
        ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed \xB7 text"));
        Key(edit, VK_RETURN);  // the default button
    }, [&] { return p.InputBox("set room \xB7", "enter the room's name:", "old room"); });
    EXPECT_EQ(title, "set room \xB7");
    EXPECT_EQ(prompt, "enter the room's name:");
    EXPECT_EQ(shownDefault, "old room");
    EXPECT_EQ(typed, "typed \xB7 text");
    const std::string escaped = WhileShown("#32770", [](HWND dialog) {
        Key(::FindWindowExA(dialog, nullptr, "Edit", nullptr), VK_ESCAPE);
    }, [&] { return p.InputBox("a", "b", "typed"); });
    EXPECT_EQ(escaped, "");
}

TEST_F(Win32Backend, MessageBoxShowsTitleAndTextUntilOk) {
    std::string title;
    std::vector<std::string> texts;
    WhileShown("#32770", [&](HWND box) {
        title = TextOf(box);
        for (HWND s = ::FindWindowExA(box, nullptr, "Static", nullptr); s;
             s = ::FindWindowExA(box, s, "Static", nullptr))
            texts.push_back(TextOf(s));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }, [&] {
        p.MessageBox("upchat", "no upload window \xB7 found");
        return 0;
    });
    EXPECT_EQ(title, "upchat");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "no upload window \xB7 found"), texts.end());
}

// ---- the tray ---------------------------------------------------------------------------------------

// The seam's record, with junk where the window and the icon go.
std::vector<std::uint8_t> TrayRecord(const std::string& tip) {
    std::vector<std::uint8_t> record(kTrayRecordSize, 0);
    // size, window, id, flags, callback, icon
    const std::uint32_t fields[] = {88, 0x12345678, 1, 7, 0x0200, 0x0BADF00D};
    std::memcpy(record.data(), fields, sizeof fields);
    std::memcpy(record.data() + 24, tip.data(), std::min<std::size_t>(tip.size(), 64));
    return record;
}

TEST(Win32Tray, RecordsOf88BytesAreTranslatedFieldByField) {
    HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x4242));
    HICON icon = reinterpret_cast<HICON>(static_cast<std::intptr_t>(0x5151));
    NOTIFYICONDATAA data;
    ASSERT_TRUE(TranslateTrayRecord(TrayRecord("quillmoor idle by dorwick"), window, icon, data));
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(data.hWnd, window);
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, 0x0200u);
    EXPECT_EQ(data.hIcon, icon);
    EXPECT_STREQ(data.szTip, "quillmoor idle by dorwick");
    ASSERT_TRUE(TranslateTrayRecord(TrayRecord(std::string(64, 'q')), nullptr, nullptr, data));
    EXPECT_EQ(std::string(data.szTip), std::string(63, 'q'));  // a tip without an end is cut
    for (std::size_t size : {0u, 87u, 89u, 504u}) {
        std::vector<std::uint8_t> record = TrayRecord("tip");
        record.resize(size);
        EXPECT_FALSE(TranslateTrayRecord(record, nullptr, nullptr, data)) << size;
    }
}

TEST_F(Win32Backend, TrayMouseMessagesReachTheHandler) {
    std::vector<std::uint32_t> got;
    p.OnTrayMessage([&](std::uint32_t m) { got.push_back(m); });
    // Before the icon is added its message means nothing.
    ::PostMessageA(p.HelperWindow(), 0x0200, 1, WM_RBUTTONUP);
    p.ProcessEvents();
    EXPECT_TRUE(got.empty());

    p.TrayNotify(TrayOp::Add, TrayRecord("quillmoor backend tray"));
    ::PostMessageA(p.HelperWindow(), 0x0200, 1, WM_RBUTTONUP);
    ::PostMessageA(p.HelperWindow(), 0x0200, 1, WM_LBUTTONDBLCLK);
    p.ProcessEvents();
    EXPECT_EQ(got, (std::vector<std::uint32_t>{WM_RBUTTONUP, WM_LBUTTONDBLCLK}));
    p.TrayNotify(TrayOp::Delete, TrayRecord("quillmoor backend tray"));
    EXPECT_FALSE(p.TrayNotify(static_cast<TrayOp>(7), TrayRecord("x")));
    EXPECT_FALSE(p.TrayNotify(TrayOp::Add, std::vector<std::uint8_t>(10, 0)));
}

}  // namespace
}  // namespace qm::win32
