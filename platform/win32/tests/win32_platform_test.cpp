// The Win32 backend against real windows, menus, files and dialogs that each
// test makes itself, in this process.
#include "platform/win32/win32_platform.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace qm::win32 {
namespace {

constexpr MainWindowLayout kLayout{116, 51, {8, 24, 17, 17}, {32, 25, 73, 17}};
const EditorWindowLayout kEditorLayout{295, 71, {10, 7, 273, 58}, RGB(128, 128, 255), RGB(255, 255, 255),
                                        "right click for options"};

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
                       {13, "handle: R&B\tfan", false, true, {}},
                       {12, "exit", false, true, {}}}};

// The menu that a pop-up menu window shows (MN_GETHMENU).
HMENU MenuOf(HWND menuWindow) { return reinterpret_cast<HMENU>(::SendMessageA(menuWindow, 0x01E1, 0, 0)); }

std::string MenuText(HMENU menu, int position) {
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// A WM_NULL waiting in this thread's queue for `window`, taken out.
bool NudgePending(HWND window) {
    MSG msg;
    return ::PeekMessageA(&msg, window, WM_NULL, WM_NULL, PM_REMOVE) != FALSE;
}

TEST_F(Win32MainWindow, PopupMenuIsBuiltFromTheItemsAtTheOwnersPoint) {
    ::SetWindowPos(hwnd_, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    int count = -1;
    UINT state[7] = {};  // title, separator, first, more, handle, exit; greyed in the submenu
    std::string texts[2];
    RECT rect{};
    HWND foreground = nullptr;
    const int chosen = WhileShown("#32768", [&](HWND menu) {
        HMENU h = MenuOf(menu);
        count = ::GetMenuItemCount(h);
        for (int i = 0; i < 6; ++i) state[i] = ::GetMenuState(h, i, MF_BYPOSITION);
        state[6] = ::GetMenuState(::GetSubMenu(h, 3), 1, MF_BYPOSITION);
        texts[0] = MenuText(h, 2);
        texts[1] = MenuText(h, 4);
        ::GetWindowRect(menu, &rect);
        foreground = ::GetForegroundWindow();
        Key(menu, VK_ESCAPE);
    }, [&] { return p.TrackPopupMenu(kMenu, window_, Point{8, 41}, 12); });
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(count, 6);
    EXPECT_TRUE(state[0] & MF_GRAYED);
    EXPECT_TRUE(state[1] & MF_SEPARATOR);
    EXPECT_EQ(state[2] & (MF_CHECKED | MF_GRAYED), static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(state[3] & MF_POPUP);
    EXPECT_EQ(state[5] & (MF_CHECKED | MF_GRAYED), 0u);
    EXPECT_TRUE(state[6] & MF_GRAYED);
    EXPECT_EQ(texts[0], "first");
    // Shown as typed: no underlined "B", no shortcut column.
    EXPECT_EQ(texts[1], "handle: R&&B fan");
    EXPECT_EQ(rect.left, 108);
    EXPECT_EQ(rect.top, 161);
    // The owner came to the front first; a nudge follows the menu.
    EXPECT_EQ(foreground, hwnd_);
    EXPECT_TRUE(NudgePending(hwnd_));
}

TEST_F(Win32MainWindow, PopupMenuReturnsTheChosenItemAndShowsTheDefault) {
    struct Case {
        std::vector<WPARAM> keys;
        int defaultId;
        UINT shownDefault, shownSubDefault;
        int chosen;
    };
    const UINT none = static_cast<UINT>(-1);
    // Down stops on the greyed title (which cannot be chosen) and skips the
    // separator.
    for (const Case& c : {Case{{VK_ESCAPE}, 0, none, none, 0},
                          Case{{VK_DOWN, VK_RETURN}, 12, 12, none, 0},
                          Case{{VK_DOWN, VK_DOWN, VK_RETURN}, 12, 12, none, 11},
                          Case{{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}, 12, 12, none, 21},
                          Case{{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, 21, none, 21, 0}}) {
        UINT shownDefault = 0, shownSubDefault = 0;
        const int chosen = WhileShown("#32768", [&](HWND menu) {
            HMENU h = MenuOf(menu);
            shownDefault = ::GetMenuDefaultItem(h, FALSE, GMDI_USEDISABLED);
            shownSubDefault = ::GetMenuDefaultItem(::GetSubMenu(h, 3), FALSE, GMDI_USEDISABLED);
            for (WPARAM key : c.keys) Key(menu, key);
        }, [&] { return p.TrackPopupMenu(kMenu, window_, Point{8, 41}, c.defaultId); });
        EXPECT_EQ(chosen, c.chosen) << c.keys.size() << " keys";
        EXPECT_EQ(shownDefault, c.shownDefault) << c.keys.size() << " keys";
        EXPECT_EQ(shownSubDefault, c.shownSubDefault) << c.keys.size() << " keys";
    }
}

// As the tray opens it: no point, the hidden menu window as its owner.
TEST_F(Win32MainWindow, PopupMenuWithoutAPointOpensAtTheMousePointer) {
    ASSERT_TRUE(::SetCursorPos(300, 200));
    RECT rect{};
    HWND foreground = nullptr;
    WhileShown("#32768", [&](HWND menu) {
        ::GetWindowRect(menu, &rect);
        foreground = ::GetForegroundWindow();
        Key(menu, VK_ESCAPE);
    }, [&] { return p.TrackPopupMenu(kMenu, p.TrayWindow(), std::nullopt, 12); });
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(foreground, p.HelperWindow());
    EXPECT_TRUE(NudgePending(p.HelperWindow()));
}

// ---- the prompt and the message box ------------------------------------------------------------

HWND Child(HWND dialog, const char* cls, const char* text = nullptr) {
    return ::FindWindowExA(dialog, nullptr, cls, text);
}

// The window with the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Characters as the keyboard delivers them to the prompt's edit.
void Type(HWND dialog, const std::string& bytes) {
    HWND edit = Child(dialog, "Edit");
    for (char c : bytes) ::PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

TEST_F(Win32Backend, PromptShowsItsTextsAndReturnsWhatWasTyped) {
    std::string title, prompt, shownDefault;
    const std::string typed = WhileShown("#32770", [&](HWND dialog) {
        title = TextOf(dialog);
        prompt = TextOf(Child(dialog, "Static"));
        HWND edit = Child(dialog, "Edit");
        shownDefault = TextOf(edit);
        ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed \xB7 text"));
        Key(edit, VK_RETURN);  // the default button
    }, [&] { return p.InputBox("set room \xB7", "enter the room's name: R&B", "old room"); });
    EXPECT_EQ(title, "set room \xB7");
    EXPECT_EQ(prompt, "enter the room's name: R&B");
    EXPECT_EQ(shownDefault, "old room");
    EXPECT_EQ(typed, "typed \xB7 text");
}

TEST_F(Win32Backend, PromptAnswersNothingWhenEscapedCancelledOrEmptied) {
    const std::function<void(HWND)> ways[] = {
        [](HWND dialog) { Key(Child(dialog, "Edit"), VK_ESCAPE); },
        [](HWND dialog) {
            Type(dialog, "abc");
            ::PostMessageA(Child(dialog, "Button", "Cancel"), BM_CLICK, 0, 0);
        },
        [](HWND dialog) {
            ::SendMessageA(Child(dialog, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
            ::PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);
        }};
    for (const auto& way : ways)
        EXPECT_EQ(WhileShown("#32770", way, [&] { return p.InputBox("a", "b", "default"); }), "");
}

TEST_F(Win32Backend, PromptTakesEveryByteTypedUpToItsLimitAndALongerDefaultWhole) {
    std::string every;
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c != 0x7F) every += static_cast<char>(c);
    std::string typed = WhileShown("#32770", [&](HWND dialog) {
        Type(dialog, every);
        Key(Child(dialog, "Edit"), VK_RETURN);
    }, [&] { return p.InputBox("a", "b", ""); });
    EXPECT_EQ(typed, every);

    // What goes past the limit is refused as it is typed.
    std::string tooLong;
    for (int i = 0; i < kInputBoxMaxLength + 5; ++i) tooLong += static_cast<char>('a' + i % 26);
    typed = WhileShown("#32770", [&](HWND dialog) {
        Type(dialog, tooLong);
        Key(Child(dialog, "Edit"), VK_RETURN);
    }, [&] { return p.InputBox("a", "b", ""); });
    EXPECT_EQ(typed, tooLong.substr(0, kInputBoxMaxLength));

    const std::string longDefault = std::string(1500, 'r') + "\xE9";
    typed = WhileShown("#32770", [&](HWND dialog) { Key(Child(dialog, "Edit"), VK_RETURN); },
                       [&] { return p.InputBox("a", "b", longDefault); });
    EXPECT_EQ(typed, longDefault);
}

// One test, since under Wine without a window manager every hide of a shown
// window waits two seconds.
TEST_F(Win32MainWindow, PromptIsInFrontOfTheTopmostMainWindowShownOrHiddenAndKeyboardUsable) {
    struct Editor : EditorWindowModel {
        std::vector<std::string> ListItems() const override { return {}; }
        int ListSelection() const override { return -1; }
        void Select(int) override {}
        void MouseDown(Control, MouseButton) override {}
        void MouseUp(Control, MouseButton) override {}
    } model;
    HWND editor = ToHwnd(p.CreateEditorWindow("reasons", kEditorLayout, model));
    p.MakeTopmost(window_);
    p.ShowWindow(window_, ShowCmd::Show);
    for (bool mainShown : {true, false}) {
        if (!mainShown) p.ShowWindow(window_, ShowCmd::Hide);
        bool topmost = false, aboveMain = false, foreground = false, ownersEnabled = true;
        std::vector<HWND> focus;
        HWND edit = nullptr, ok = nullptr, cancel = nullptr;
        WhileShown("#32770", [&](HWND dialog) {
            edit = Child(dialog, "Edit");
            ok = Child(dialog, "Button", "OK");
            cancel = Child(dialog, "Button", "Cancel");
            topmost = ::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST;
            for (HWND h = dialog; h; h = ::GetWindow(h, GW_HWNDNEXT)) aboveMain = aboveMain || h == hwnd_;
            foreground = ::GetForegroundWindow() == dialog;
            ownersEnabled = ::IsWindowEnabled(hwnd_) || ::IsWindowEnabled(editor);
            focus.push_back(FocusOf(dialog));
            for (int i = 0; i < 3; ++i) {
                Key(FocusOf(dialog), VK_TAB);
                for (int wait = 0; wait < 100 && FocusOf(dialog) == focus.back(); ++wait) ::Sleep(10);
                focus.push_back(FocusOf(dialog));
            }
            Key(FocusOf(dialog), VK_ESCAPE);
        }, [&] { return p.InputBox("set font", "enter a font type.", ""); });
        EXPECT_TRUE(topmost) << mainShown;
        EXPECT_TRUE(aboveMain) << mainShown;
        EXPECT_TRUE(foreground) << mainShown;
        EXPECT_FALSE(ownersEnabled) << mainShown;
        EXPECT_EQ(focus, (std::vector<HWND>{edit, ok, cancel, edit})) << mainShown;
        EXPECT_TRUE(::IsWindowEnabled(hwnd_));
        EXPECT_TRUE(::IsWindowEnabled(editor));
    }
}

TEST_F(Win32Backend, MessageBoxShowsTitleAndTextInFrontUntilOk) {
    std::string title;
    std::vector<std::string> texts;
    bool topmost = false;
    WhileShown("#32770", [&](HWND box) {
        title = TextOf(box);
        topmost = ::GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST;
        for (HWND s = Child(box, "Static"); s; s = ::FindWindowExA(box, s, "Static", nullptr))
            texts.push_back(TextOf(s));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }, [&] {
        p.MessageBox("upchat", "no upload window \xB7 found");
        return 0;
    });
    EXPECT_EQ(title, "upchat");
    EXPECT_TRUE(topmost);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "no upload window \xB7 found"), texts.end());
}

// ---- the tray ---------------------------------------------------------------------------------------

// The seam's record for `window`, with junk where the icon goes.
std::vector<std::uint8_t> TrayRecord(Hwnd window, const std::string& tip, std::uint32_t flags = 7) {
    std::vector<std::uint8_t> record(kTrayRecordSize, 0);
    // size, window, id, flags, callback, icon
    const std::uint32_t fields[] = {88, window, 1, flags, 0x0200, 0x0BADF00D};
    std::memcpy(record.data(), fields, sizeof fields);
    std::memcpy(record.data() + 24, tip.data(), std::min<std::size_t>(tip.size(), 64));
    return record;
}

TEST(Win32Tray, RecordsOf88BytesAreTranslatedFieldByField) {
    HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x4242));
    HICON icon = reinterpret_cast<HICON>(static_cast<std::intptr_t>(0x5151));
    NOTIFYICONDATAA data;
    // The tip as the program pads it: the caption, a zero, then blanks.
    std::string tip = std::string("quillmoor idle by dorwick") + '\0';
    tip.resize(64, ' ');
    ASSERT_TRUE(TranslateTrayRecord(TrayRecord(0x4242, tip), window, icon, data));
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(data.hWnd, window);
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, 0x0200u);
    EXPECT_EQ(data.hIcon, icon);
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

// The shell keeps an icon of that window and id: asking it to change
// nothing succeeds only then.
bool IconShown(HWND window) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = 1;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

TEST_F(Win32Backend, TrayIconComesAndGoesAndItsMouseMessagesReachTheHandler) {
    std::vector<std::uint32_t> got;
    p.OnTrayMessage([&](std::uint32_t m) { got.push_back(m); });
    // Before the icon is added its message means nothing.
    ::PostMessageA(p.HelperWindow(), 0x0200, 1, WM_RBUTTONUP);
    p.ProcessEvents();
    EXPECT_TRUE(got.empty());

    EXPECT_EQ(p.TrayWindow(), ToSeam(p.HelperWindow()));
    const std::vector<std::uint8_t> record = TrayRecord(p.TrayWindow(), "quillmoor backend tray");
    EXPECT_FALSE(p.TrayNotify(TrayOp::Add, TrayRecord(p.TrayWindow() + 1, "quillmoor backend tray")));
    EXPECT_FALSE(IconShown(p.HelperWindow()));
    EXPECT_TRUE(p.TrayNotify(TrayOp::Add, record));
    EXPECT_TRUE(IconShown(p.HelperWindow()));
    ::PostMessageA(p.HelperWindow(), 0x0200, 1, WM_RBUTTONUP);
    ::PostMessageA(p.HelperWindow(), 0x0200, 1, WM_LBUTTONDBLCLK);
    p.ProcessEvents();
    EXPECT_EQ(got, (std::vector<std::uint32_t>{WM_RBUTTONUP, WM_LBUTTONDBLCLK}));
    EXPECT_TRUE(p.TrayNotify(TrayOp::Delete, record));
    EXPECT_FALSE(IconShown(p.HelperWindow()));
    EXPECT_FALSE(p.TrayNotify(TrayOp::Delete, record));  // nothing left to remove
    EXPECT_FALSE(p.TrayNotify(static_cast<TrayOp>(7), record));
    EXPECT_FALSE(p.TrayNotify(TrayOp::Add, std::vector<std::uint8_t>(10, 0)));
}

TEST_F(Win32Backend, TaskbarCreatedBroadcastReachesItsHandler) {
    int made = 0;
    p.OnTaskbarCreated([&] { ++made; });
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    for (int i = 0; i < 100 && made == 0; ++i) p.WaitForEvents(0.02);
    EXPECT_EQ(made, 1);
}

// ---- the reasons editor ------------------------------------------------------------------------------


class EditorModel : public EditorWindowModel {
public:
    std::vector<std::string> ListItems() const override {
        ++reads;
        return items;
    }
    int ListSelection() const override { return selection; }
    void Select(int index) override { selects.push_back(index); }
    void MouseDown(Control where, MouseButton button) override {
        downs.emplace_back(where, button);
        if (onDown) onDown();
    }
    void MouseUp(Control where, MouseButton button) override { ups.emplace_back(where, button); }

    std::function<void()> onDown;
    std::vector<std::string> items;
    int selection = -1;
    mutable int reads = 0;
    std::vector<int> selects;
    std::vector<std::pair<Control, MouseButton>> downs, ups;
};

class Win32Editor : public Win32MainWindow {
protected:
    void SetUp() override {
        Win32MainWindow::SetUp();
        editorModel_.items = {"zeta", "alpha", "R&B \xB7 caf\xE9", "zeta"};
        editorModel_.selection = 1;
        editor_ = p.CreateEditorWindow("reasons", kEditorLayout, editorModel_);
        ASSERT_NE(editor_, 0u);
        editorHwnd_ = ToHwnd(editor_);
        list_ = p.EditorList();
        ASSERT_NE(list_, nullptr);
    }
    std::vector<std::string> Shown() {
        std::vector<std::string> shown;
        const LRESULT count = ::SendMessageA(list_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[256] = {};
            ::SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            shown.push_back(text);
        }
        return shown;
    }
    LRESULT ShownSelection() { return ::SendMessageA(list_, LB_GETCURSEL, 0, 0); }
    // The middle of entry `index` in the list's client coordinates.
    LPARAM EntryPoint(int index) {
        RECT r{};
        ::SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    EditorModel editorModel_;
    Hwnd editor_ = 0;
    HWND editorHwnd_ = nullptr, list_ = nullptr;
};

TEST_F(Win32Editor, IsCreatedHiddenWithItsCaptionClientAreaAndList) {
    EXPECT_FALSE(::IsWindowVisible(editorHwnd_));
    EXPECT_EQ(p.GetWindowText(editor_, 100), "reasons");
    RECT client, frame;
    ::GetClientRect(editorHwnd_, &client);
    ::GetWindowRect(editorHwnd_, &frame);
    EXPECT_EQ(client.right, 295);
    EXPECT_EQ(client.bottom, 71);
    EXPECT_EQ(frame.right - frame.left, 295);  // no border, no title bar
    EXPECT_EQ(frame.bottom - frame.top, 71);
    EXPECT_TRUE(::GetWindowLongA(editorHwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);  // no task-list entry of its own
    EXPECT_EQ(::GetParent(list_), editorHwnd_);
    RECT list;
    ::GetWindowRect(list_, &list);
    ::MapWindowPoints(nullptr, editorHwnd_, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, 10);
    EXPECT_EQ(list.top, 7);
    EXPECT_EQ(list.right - list.left, 273);
    EXPECT_EQ(list.bottom - list.top, 58);
    EXPECT_EQ(::GetWindowLongA(list_, GWL_STYLE) & LBS_SORT, 0);  // entries stay where they were put
    // The picture it is painted with: 296 x 72, 24-bit.
    HBITMAP art = static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(art, nullptr);
    BITMAP bitmap{};
    ::GetObjectA(art, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 296);
    EXPECT_EQ(bitmap.bmHeight, 72);
    EXPECT_EQ(bitmap.bmBitsPixel, 24);
    ::DeleteObject(art);
}

TEST_F(Win32Editor, ListShowsTheModelAgainAfterEachInvalidate) {
    EXPECT_EQ(Shown(), editorModel_.items);
    EXPECT_EQ(ShownSelection(), 1);
    editorModel_.items = {"brb", "sleeping", "eating"};
    editorModel_.selection = -1;
    p.Invalidate(editor_);
    p.ProcessEvents();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"brb", "sleeping", "eating"}));
    EXPECT_EQ(ShownSelection(), LB_ERR);
    editorModel_.selection = 2;
    p.Invalidate(editor_);
    p.ProcessEvents();
    EXPECT_EQ(ShownSelection(), 2);
    editorModel_.items.clear();
    editorModel_.selection = 5;  // none left to select
    p.Invalidate(editor_);
    p.ProcessEvents();
    EXPECT_EQ(Shown(), std::vector<std::string>{});
    EXPECT_EQ(ShownSelection(), LB_ERR);
    EXPECT_TRUE(editorModel_.selects.empty());  // filling is not the user's choice
}

TEST_F(Win32Editor, UsersSelectionIsReportedFromMouseAndKeyboard) {
    ::SendMessageA(list_, WM_LBUTTONDOWN, MK_LBUTTON, EntryPoint(2));
    ::SendMessageA(list_, WM_LBUTTONUP, 0, EntryPoint(2));
    EXPECT_EQ(editorModel_.selects, std::vector<int>{2});
    ::SendMessageA(list_, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(editorModel_.selects, (std::vector<int>{2, 1}));
    EXPECT_EQ(editorModel_.ups, (std::vector<std::pair<Control, MouseButton>>{{Control::List1, MouseButton::Left}}));
}

TEST_F(Win32Editor, ButtonsPressedOnTheBodyAndReleasedOverTheListAreReported) {
    for (UINT msg : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        ::SendMessageA(editorHwnd_, msg, 0, MAKELPARAM(3, 3));
    ::SendMessageA(list_, WM_RBUTTONDOWN, MK_RBUTTON, EntryPoint(0));  // the list's own
    EXPECT_EQ(editorModel_.downs, (std::vector<std::pair<Control, MouseButton>>{
                                      {Control::Body, MouseButton::Left},
                                      {Control::Body, MouseButton::Right},
                                      {Control::Body, MouseButton::Middle}}));
    ::SendMessageA(list_, WM_RBUTTONUP, 0, EntryPoint(0));
    ::SendMessageA(list_, WM_MBUTTONUP, 0, MAKELPARAM(200, 50));
    // Released elsewhere, as after a drag that began on the list.
    ::SendMessageA(list_, WM_RBUTTONUP, 0, MAKELPARAM(-4, 10));
    ::SendMessageA(list_, WM_RBUTTONUP, 0, MAKELPARAM(20, 300));
    EXPECT_EQ(editorModel_.ups, (std::vector<std::pair<Control, MouseButton>>{{Control::List1, MouseButton::Right},
                                                                             {Control::List1, MouseButton::Middle}}));
    EXPECT_EQ(ShownSelection(), 1);  // a right click does not select
}

TEST_F(Win32Editor, ListHasTheLayoutsColoursAndTooltip) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(editorHwnd_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list_)));
    ASSERT_NE(brush, nullptr);
    LOGBRUSH fill{};
    ::GetObjectA(brush, sizeof fill, &fill);
    EXPECT_EQ(fill.lbColor, RGB(128, 128, 255));
    EXPECT_EQ(::GetTextColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(::GetBkColor(dc), RGB(128, 128, 255));
    ::DeleteDC(dc);

    HWND tip = p.EditorTooltip();
    ASSERT_NE(tip, nullptr);
    char cls[64] = {};
    ::GetClassNameA(tip, cls, sizeof cls);
    EXPECT_STREQ(cls, "tooltips_class32");
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(::SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.hwnd, editorHwnd_);
    EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(list_));
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
    EXPECT_STREQ(text, "right click for options");
}

// The screen's pixel, as 0x00BBGGRR.
COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return pixel;
}

TEST_F(Win32Editor, ShowsOnTopThroughTheSeamPaintedWithItsPicture) {
    editorModel_.items.clear();
    p.Invalidate(editor_);
    p.ProcessEvents();
    p.MakeTopmost(editor_);
    p.ShowWindow(editor_, ShowCmd::Show);
    EXPECT_TRUE(::IsWindowVisible(editorHwnd_));
    EXPECT_TRUE(::GetWindowLongA(editorHwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::UpdateWindow(editorHwnd_);
    ::UpdateWindow(list_);
    ::GdiFlush();
    RECT frame;
    ::GetWindowRect(editorHwnd_, &frame);
    EXPECT_EQ(ScreenPixel(frame.left, frame.top), RGB(0x93, 0xA9, 0xC0));  // the picture's frame
    EXPECT_EQ(ScreenPixel(frame.left + 100, frame.top + 40), RGB(128, 128, 255));  // the empty list
    p.ShowWindow(editor_, ShowCmd::Hide);
    EXPECT_FALSE(::IsWindowVisible(editorHwnd_));
}

// The mouse as the user moves it: real input, from another thread.
void Mouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof in);
    ::Sleep(150);
}

// As the logic answers a press on the body: the window follows the mouse.
TEST_F(Win32Editor, FollowsTheMouseWhenAPressOnTheBodyStartsADrag) {
    editorModel_.onDown = [&] { p.BeginWindowDrag(editor_); };
    p.MakeTopmost(editor_);
    p.ShowWindow(editor_, ShowCmd::Show);
    ::UpdateWindow(editorHwnd_);
    const RECT frame = [&] {
        RECT r;
        ::GetWindowRect(editorHwnd_, &r);
        return r;
    }();
    std::atomic<bool> done{false};
    std::thread user([&] {
        const int x = frame.left + 4, y = frame.top + 3;  // left of and above the list
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x - 100, y + 60);
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x - 200, y + 120);
        Mouse(MOUSEEVENTF_LEFTUP);
        done = true;
    });
    for (int i = 0; i < 300 && !done; ++i) p.WaitForEvents(0.02);
    user.join();
    p.ProcessEvents();
    RECT after;
    ::GetWindowRect(editorHwnd_, &after);
    EXPECT_EQ(editorModel_.downs, (std::vector<std::pair<Control, MouseButton>>{{Control::Body, MouseButton::Left}}));
    EXPECT_EQ(after.left, frame.left - 200);
    EXPECT_EQ(after.top, frame.top + 120);
    EXPECT_EQ(after.right - after.left, 295);
}

}  // namespace
}  // namespace qm::win32
