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
#include <utility>
#include <vector>

namespace qm::win32 {
namespace {

constexpr MainWindowLayout kLayout{116, 51, {8, 24, 17, 17}, {32, 25, 73, 17}};

// ---- helpers ------------------------------------------------------------------

// Messages that reached windows of the class "QmRecorder", in order.
std::vector<std::pair<UINT, WPARAM>>& Received() {
    static std::vector<std::pair<UINT, WPARAM>> received;
    return received;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_CHAR:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_COMMAND:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CLOSE:
            Received().emplace_back(msg, wparam);
            return 0;
        default:
            return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

// Answers WM_GETTEXT by filling the whole buffer it is given, with no
// terminating zero: a careless or hostile program.
LRESULT CALLBACK OverfillProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_GETTEXT) {
        std::memset(reinterpret_cast<char*>(lparam), 'x', wparam);
        return static_cast<LRESULT>(wparam);
    }
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

void RegisterTestClass(const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    ::RegisterClassA(&wc);
}

class Win32Backend : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterTestClass("QmTop", ::DefWindowProcA);
        RegisterTestClass("QmPanel", ::DefWindowProcA);
        RegisterTestClass("QmChildA", ::DefWindowProcA);
        RegisterTestClass("QmChildB", ::DefWindowProcA);
        RegisterTestClass("QmRecorder", RecordingProc);
        RegisterTestClass("QmOverfill", OverfillProc);
    }
    void SetUp() override { Received().clear(); }
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

struct ShownSearch {
    const char* cls;
    HWND found;
};

BOOL CALLBACK MatchShown(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<ShownSearch*>(l);
    char name[64] = {};
    DWORD process = 0;
    ::GetWindowThreadProcessId(h, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(h) && ::GetClassNameA(h, name, sizeof name) &&
        std::strcmp(name, s->cls) == 0) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of this process whose class is `cls` and that is shown.
HWND FindShown(const char* cls) {
    ShownSearch search{cls, nullptr};
    ::EnumWindows(&MatchShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits, bounded, for a shown window of ours of that class.
HWND WaitForShown(const char* cls) {
    for (int i = 0; i < 500; ++i) {
        if (HWND h = FindShown(cls)) return h;
        ::Sleep(20);
    }
    return nullptr;
}

std::string TextOf(HWND h) {
    char text[512] = {};
    ::SendMessageA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Runs `drive` on a second thread while the test thread sits in a modal call.
class Driver {
public:
    template <class F>
    explicit Driver(F drive) : thread_(std::move(drive)) {}
    ~Driver() { thread_.join(); }

private:
    std::thread thread_;
};

// ---- finding windows ------------------------------------------------------------

TEST_F(Win32Backend, ClassNamesMatchInAnyLetterCase) {
    HWND top = Make("QmTop", "Find Me");
    EXPECT_EQ(p.FindWindow("qmtop", std::nullopt), ToSeam(top));
    EXPECT_EQ(p.FindWindow("QMTOP", "Find Me"), ToSeam(top));
}

TEST_F(Win32Backend, CaptionsMatchOnlyWhole) {
    Make("QmTop", "Find Me");
    EXPECT_EQ(p.FindWindow("QmTop", "Find"), 0u);
    EXPECT_EQ(p.FindWindow("QmTop", "Find Me!"), 0u);
    EXPECT_EQ(p.FindWindow("QmTop", ""), 0u);
}

TEST_F(Win32Backend, NamesWithAZeroByteInsideFindNothing) {
    HWND parent = Make("QmPanel", "top");
    Make("QmChildA", "one", parent);
    EXPECT_EQ(p.FindWindow(std::string_view("QmPanel\0x", 9), std::nullopt), 0u);
    EXPECT_EQ(p.FindWindow("QmPanel", std::string_view("top\0x", 5)), 0u);
    EXPECT_EQ(p.FindWindowEx(ToSeam(parent), 0, std::string_view("QmChildA\0", 9), std::nullopt), 0u);
    EXPECT_EQ(p.FindWindowEx(ToSeam(parent), 0, "QmChildA", std::string_view("one\0", 4)), 0u);
}

TEST_F(Win32Backend, ChildSearchWithParentZeroFindsNothing) {
    HWND top = Make("QmTop", "top");
    ASSERT_EQ(p.FindWindow("QmTop", std::nullopt), ToSeam(top));
    EXPECT_EQ(p.FindWindowEx(0, 0, "QmTop", std::nullopt), 0u);
    EXPECT_EQ(p.FindWindowEx(0, 0, "QmTop", "top"), 0u);
}

TEST_F(Win32Backend, ChildSearchGoesOnAfterTheGivenChild) {
    HWND parent = Make("QmPanel", "");
    HWND one = Make("QmChildA", "one", parent);
    Make("QmChildB", "other", parent);
    HWND two = Make("QmChildA", "two", parent);
    const Hwnd p0 = ToSeam(parent);
    EXPECT_EQ(p.FindWindowEx(p0, 0, "qmchilda", std::nullopt), ToSeam(one));
    EXPECT_EQ(p.FindWindowEx(p0, ToSeam(one), "QmChildA", std::nullopt), ToSeam(two));
    EXPECT_EQ(p.FindWindowEx(p0, ToSeam(two), "QmChildA", std::nullopt), 0u);
    EXPECT_EQ(p.FindWindowEx(p0, 0, "QmChildA", "two"), ToSeam(two));
    EXPECT_EQ(p.FindWindowEx(p0, 0, "QmChildA", "tw"), 0u);
}

TEST_F(Win32Backend, ChildSearchGoesOnAfterAChildOfAnotherClass) {
    HWND parent = Make("QmPanel", "");
    HWND first = Make("QmChildA", "a", parent);
    HWND other = Make("QmChildB", "b", parent);
    HWND second = Make("QmChildA", "c", parent);
    const Hwnd p0 = ToSeam(parent);
    EXPECT_EQ(p.FindWindowEx(p0, ToSeam(other), "qmchilda", std::nullopt), ToSeam(second));
    EXPECT_EQ(p.FindWindowEx(p0, ToSeam(other), "QmChildA", "C"), ToSeam(second));
    EXPECT_EQ(p.FindWindowEx(p0, ToSeam(other), "QmChildA", "a"), 0u);
    EXPECT_EQ(p.FindWindowEx(p0, ToSeam(first), "QmChildB", std::nullopt), ToSeam(other));
    // A child-after that is not a child of the parent finds nothing.
    EXPECT_EQ(p.FindWindowEx(ToSeam(other), ToSeam(first), "QmChildA", std::nullopt), 0u);
}

TEST_F(Win32Backend, NextWindowWalksSiblingsInCreationOrder) {
    HWND parent = Make("QmPanel", "");
    HWND a = Make("QmChildA", "a", parent);
    HWND b = Make("QmChildB", "b", parent);
    HWND c = Make("QmChildA", "c", parent);
    EXPECT_EQ(p.NextWindow(ToSeam(a)), ToSeam(b));
    EXPECT_EQ(p.NextWindow(ToSeam(b)), ToSeam(c));
    EXPECT_EQ(p.NextWindow(ToSeam(c)), 0u);
}

TEST_F(Win32Backend, HandlesSurviveTheTripThroughThirtyTwoBits) {
    HWND top = Make("QmTop", "x");
    EXPECT_EQ(ToHwnd(ToSeam(top)), top);
    EXPECT_EQ(ToHwnd(0xFFFFFFFFu), reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)));
    EXPECT_TRUE(p.IsWindow(ToSeam(top)));
    ::DestroyWindow(top);
    EXPECT_FALSE(p.IsWindow(ToSeam(top)));
    EXPECT_FALSE(p.IsWindow(0));
}

TEST_F(Win32Backend, EveryOperationOnHandleZeroDoesNothing) {
    EXPECT_EQ(p.NextWindow(0), 0u);
    EXPECT_EQ(p.GetWindowTextLength(0), 0);
    EXPECT_EQ(p.GetWindowText(0, 100), "");
    EXPECT_EQ(p.GetTextLength(0), 0);
    EXPECT_EQ(p.GetText(0, 100), "");
    p.SetText(0, "x");
    p.Send(0, Msg::Char, 'x');
    p.Post(0, Msg::Char, 'x');
    p.ShowWindow(0, ShowCmd::Hide);
    p.SetForegroundWindow(0);
    p.MakeTopmost(0);
    p.BeginWindowDrag(0);
    p.Invalidate(0);
    EXPECT_EQ(p.GetMenu(0), 0u);
    EXPECT_EQ(p.GetMenuItemCount(0), -1);
    EXPECT_EQ(p.GetSubMenu(0, 0), 0u);
    EXPECT_EQ(p.GetMenuItemID(0, 0), kMenuIdSubmenu);
    EXPECT_EQ(p.GetMenuString(0, 1, 100), "");
}

// ---- texts ------------------------------------------------------------------------

TEST_F(Win32Backend, WindowTextIsCutToTheBuffer) {
    HWND top = Make("QmTop", "abcdef");
    const Hwnd h = ToSeam(top);
    EXPECT_EQ(p.GetWindowTextLength(h), 6);
    EXPECT_EQ(p.GetWindowText(h, 100), "abcdef");
    EXPECT_EQ(p.GetWindowText(h, 4), "abc");
    EXPECT_EQ(p.GetWindowText(h, 1), "");
    EXPECT_EQ(p.GetWindowText(h, 0), "");
    EXPECT_EQ(p.GetWindowText(h, -5), "");
}

TEST_F(Win32Backend, TextReadWithASmallBufferReturnsBufferSizeLessOneBytes) {
    HWND edit = Make("Edit", "hello world");
    const Hwnd h = ToSeam(edit);
    EXPECT_EQ(p.GetTextLength(h), 11);
    EXPECT_EQ(p.GetText(h, 6), "hello");
    EXPECT_EQ(p.GetText(h, 100), "hello world");
    EXPECT_EQ(p.GetText(h, 0), "");
    EXPECT_EQ(p.GetText(h, -1), "");
}

TEST_F(Win32Backend, TextThatGrewAfterItsLengthWasReadIsCut) {
    HWND edit = Make("Edit", "abc");
    const Hwnd h = ToSeam(edit);
    const int length = p.GetTextLength(h);
    ::SetWindowTextA(edit, "abcdef");
    EXPECT_EQ(p.GetText(h, length + 1), "abc");
}

TEST_F(Win32Backend, AWindowThatFillsTheWholeBufferIsStillTerminated) {
    HWND careless = Make("QmOverfill", "");
    EXPECT_EQ(p.GetText(ToSeam(careless), 8), "xxxxxxx");
}

TEST_F(Win32Backend, HighBytesSurviveSetTextAndGetText) {
    HWND edit = Make("Edit", "");
    const Hwnd h = ToSeam(edit);
    const std::string text = "a\xB7" "b\xE9\xFF";
    p.SetText(h, text);
    EXPECT_EQ(p.GetText(h, 100), text);
    EXPECT_EQ(p.GetTextLength(h), 5);
    EXPECT_EQ(p.GetWindowText(h, 100), text);
}

// A window whose thread never looks at its messages: every send gives up
// after the bound and reads as nothing.
TEST_F(Win32Backend, SendToAWindowWhoseThreadDoesNotPumpReadsEmpty) {
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> window{nullptr};
    std::thread stuck([&] {
        window = ::CreateWindowExA(0, "Edit", "busy", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ::SetEvent(ready);
        ::WaitForSingleObject(release, 60000);  // sleeps without pumping
    });
    ASSERT_EQ(::WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    const Hwnd h = ToSeam(window.load());
    ASSERT_NE(h, 0u);

    EXPECT_EQ(p.GetText(h, 100), "");
    EXPECT_EQ(p.GetTextLength(h), 0);
    p.SetText(h, "never");
    p.ShowWindow(h, ShowCmd::Hide);  // queued for its thread, returns at once

    ::SetEvent(release);
    stuck.join();
    ::CloseHandle(ready);
    ::CloseHandle(release);
}

// ---- messages and the pump ------------------------------------------------------------

TEST_F(Win32Backend, SendIsHandledAtOncePostWhenEventsAreProcessed) {
    HWND rec = Make("QmRecorder", "");
    const Hwnd h = ToSeam(rec);
    p.Send(h, Msg::Char, 'y');
    ASSERT_EQ(Received().size(), 1u);
    EXPECT_EQ(Received()[0], std::make_pair(UINT{WM_CHAR}, WPARAM{'y'}));

    p.Post(h, Msg::Char, 'p');
    p.Post(h, Msg::Command, 1234);
    EXPECT_EQ(Received().size(), 1u);
    p.ProcessEvents();
    ASSERT_EQ(Received().size(), 3u);
    EXPECT_EQ(Received()[1], std::make_pair(UINT{WM_CHAR}, WPARAM{'p'}));
    EXPECT_EQ(Received()[2], std::make_pair(UINT{WM_COMMAND}, WPARAM{1234}));
}

TEST_F(Win32Backend, TimerTicksRunInsideWaitForEvents) {
    bool waiting = false;
    int ticks = 0, ticksOutsideWait = 0;
    const int id = p.CreateTimer(10, [&] {
        ++ticks;
        if (!waiting) ++ticksOutsideWait;
    });
    EXPECT_NE(id, 0);
    p.SetTimerRunning(id, true);
    for (int i = 0; i < 400 && ticks < 2; ++i) {
        waiting = true;
        p.WaitForEvents(0.05);
        waiting = false;
    }
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(ticksOutsideWait, 0);
    p.SetTimerRunning(id, false);
}

TEST_F(Win32Backend, AStoppedTimerDoesNotTick) {
    int ticks = 0;
    const int id = p.CreateTimer(10, [&] { ++ticks; });
    p.SetTimerRunning(id, true);
    for (int i = 0; i < 400 && ticks == 0; ++i) p.WaitForEvents(0.05);
    ASSERT_GT(ticks, 0);
    p.SetTimerRunning(id, false);
    ticks = 0;
    for (int i = 0; i < 6; ++i) p.WaitForEvents(0.02);
    EXPECT_EQ(ticks, 0);
}

TEST_F(Win32Backend, TimersHaveTheirOwnIdsAndUnknownIdsAreIgnored) {
    int a = 0, b = 0;
    const int first = p.CreateTimer(10, [&] { ++a; });
    const int second = p.CreateTimer(10, [&] { ++b; });
    EXPECT_NE(first, second);
    p.SetTimerRunning(0, true);
    p.SetTimerRunning(-1, true);
    p.SetTimerRunning(second + 1, true);
    p.SetTimerRunning(second, true);
    for (int i = 0; i < 400 && b == 0; ++i) p.WaitForEvents(0.05);
    EXPECT_GT(b, 0);
    EXPECT_EQ(a, 0);
    p.SetTimerRunning(second, false);
}

TEST_F(Win32Backend, ATickMayPumpAgainInsideItself) {
    int outer = 0, inner = 0;
    Hwnd rec = ToSeam(Make("QmRecorder", ""));
    const int id = p.CreateTimer(10, [&] {
        if (outer++ > 0) return;
        p.Post(rec, Msg::Char, 'n');
        p.ProcessEvents();  // as a wait inside a handler does
        inner = static_cast<int>(Received().size());
    });
    p.SetTimerRunning(id, true);
    for (int i = 0; i < 400 && outer == 0; ++i) p.WaitForEvents(0.05);
    p.SetTimerRunning(id, false);
    EXPECT_EQ(inner, 1);
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

// ---- profile strings -----------------------------------------------------------------------

TEST_F(Win32Backend, ProfileWithoutAPathReadsNothingAndWritesNothing) {
    EXPECT_EQ(p.GetProfileString("s", "k", "", 100), "");
    EXPECT_FALSE(p.WriteProfileString("s", "k", "v", ""));
}

// ---- files ------------------------------------------------------------------------------------

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
        for (const std::string& f : files_) {
            ::SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(f.c_str());
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) ::RemoveDirectoryA(it->c_str());
        ::RemoveDirectoryA(folder_.c_str());
        Win32Backend::TearDown();
    }
    std::string File(const std::string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::string path = folder_ + "\\" + name;
        files_.push_back(path);
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD wrote = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        ::CloseHandle(h);
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    std::string Folder(const std::string& name) {
        const std::string path = folder_ + "\\" + name;
        ::CreateDirectoryA(path.c_str(), nullptr);
        folders_.push_back(path);
        return path;
    }
    std::string Path(const std::string& name) {
        files_.push_back(folder_ + "\\" + name);
        return files_.back();
    }
    std::string folder_;
    std::vector<std::string> files_, folders_;
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

TEST_F(Win32Files, EveryByteValueSurvivesWriteAndRead) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    bytes += "\r\n\xB7\r\n";
    const std::string path = Path("bytes.dat");
    ASSERT_TRUE(p.WriteFile(path, bytes));
    EXPECT_EQ(p.ReadFile(path, 1 << 20), bytes);
    EXPECT_EQ(p.ReadFile(path, 10), bytes.substr(0, 10));
    EXPECT_EQ(p.ReadFile(path, 0), "");
}

TEST_F(Win32Files, WriteReplacesTheWholeFile) {
    const std::string path = Path("short.dat");
    ASSERT_TRUE(p.WriteFile(path, std::string(200000, 'L')));
    EXPECT_EQ(p.ReadFile(path, 1 << 20)->size(), 200000u);
    ASSERT_TRUE(p.WriteFile(path, "short"));
    EXPECT_EQ(p.ReadFile(path, 1 << 20), "short");
    ASSERT_TRUE(p.WriteFile(path, ""));
    EXPECT_EQ(p.ReadFile(path, 1 << 20), "");
}

TEST_F(Win32Files, WhatCannotBeOpenedReadsAsNothingAndFailsToWrite) {
    EXPECT_EQ(p.ReadFile(folder_ + "\\missing.dat", 100), std::nullopt);
    EXPECT_EQ(p.ReadFile(Folder("a folder"), 100), std::nullopt);
    EXPECT_EQ(p.ReadFile("", 100), std::nullopt);
    EXPECT_FALSE(p.WriteFile(folder_ + "\\no such folder\\x.dat", "x"));
    EXPECT_FALSE(p.WriteFile(File("locked.dat", "old", FILE_ATTRIBUTE_READONLY), "new"));
    EXPECT_EQ(p.ReadFile(folder_ + "\\locked.dat", 100), "old");
    EXPECT_FALSE(p.WriteFile("", "x"));
}

TEST_F(Win32Files, PathsWithAZeroByteInsideNameNoFile) {
    const std::string real = File("real.dat", "content");
    const std::string cut = real + std::string(1, '\0') + ".txt";
    EXPECT_FALSE(p.FileExists(cut));
    EXPECT_EQ(p.ReadFile(cut, 100), std::nullopt);
    EXPECT_FALSE(p.WriteFile(cut, "other"));
    EXPECT_FALSE(p.WriteProfileString("s", "k", "v", cut));
    EXPECT_EQ(p.ReadFile(real, 100), "content");
}

TEST_F(Win32Files, AHiddenFileCanBeRewritten) {
    const std::string path = File("hidden.pws", "old", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(p.WriteFile(path, "new"));
    EXPECT_EQ(p.ReadFile(path, 100), "new");
}

TEST_F(Win32Backend, FoldersHaveNoFinalBackslash) {
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string exe = self;
    EXPECT_EQ(p.ProgramFolder() + exe.substr(exe.find_last_of('\\')), exe);
    EXPECT_EQ(p.SystemFolder(), "c:\\windows\\system");
}

// ---- instances -------------------------------------------------------------------------------

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
        return label2;
    }
    void MouseDown(Control where, MouseButton button) override { downs.emplace_back(where, button); }
    void Click(Control where) override { clicks.push_back(where); }

    std::string label2 = "0d : 0h : 0m";
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
    void Mouse(UINT msg, int x, int y) { ::SendMessageA(hwnd_, msg, 0, MAKELPARAM(x, y)); }
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

TEST_F(Win32MainWindow, ShowsHidesAndStaysOnTop) {
    EXPECT_FALSE(::GetWindowLongA(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    p.MakeTopmost(window_);
    EXPECT_TRUE(::GetWindowLongA(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    p.ShowWindow(window_, ShowCmd::Show);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    p.ShowWindow(window_, ShowCmd::Hide);
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
}

TEST_F(Win32MainWindow, LeavesTheTaskListAndComesBack) {
    p.ShowWindow(window_, ShowCmd::Show);
    p.SetTaskListEntry(false);
    LONG ex = ::GetWindowLongA(hwnd_, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    p.SetTaskListEntry(true);
    ex = ::GetWindowLongA(hwnd_, GWL_EXSTYLE);
    EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
}

TEST_F(Win32MainWindow, AnyButtonOnTheBodyOrTheClockReportsAMouseDown) {
    Mouse(WM_LBUTTONDOWN, 2, 2);
    Mouse(WM_RBUTTONDOWN, 110, 45);
    Mouse(WM_MBUTTONDOWN, 60, 10);
    Mouse(WM_LBUTTONDOWN, 32, 25);
    Mouse(WM_RBUTTONDOWN, 104, 41);
    const std::vector<std::pair<Control, MouseButton>> expected{
        {Control::Body, MouseButton::Left},   {Control::Body, MouseButton::Right},
        {Control::Body, MouseButton::Middle}, {Control::Label2, MouseButton::Left},
        {Control::Label2, MouseButton::Right}};
    EXPECT_EQ(model_.downs, expected);
    EXPECT_TRUE(model_.clicks.empty());
}

TEST_F(Win32MainWindow, ALeftClickOnTheMenuButtonIsAClickAndNoMouseDown) {
    Mouse(WM_LBUTTONDOWN, 8, 24);
    EXPECT_TRUE(model_.clicks.empty());  // not before the button is released
    Mouse(WM_LBUTTONUP, 24, 40);
    EXPECT_EQ(model_.clicks, std::vector<Control>{Control::Label1});
    EXPECT_TRUE(model_.downs.empty());
}

TEST_F(Win32MainWindow, ReleasingOffTheMenuButtonOrUsingAnotherButtonIsNoClick) {
    Mouse(WM_LBUTTONDOWN, 16, 32);
    Mouse(WM_LBUTTONUP, 60, 10);
    Mouse(WM_RBUTTONDOWN, 16, 32);
    Mouse(WM_RBUTTONUP, 16, 32);
    Mouse(WM_LBUTTONUP, 16, 32);  // a release without its press
    EXPECT_TRUE(model_.clicks.empty());
    EXPECT_TRUE(model_.downs.empty());
}

TEST_F(Win32MainWindow, EveryPaintReadsTheClockFromTheModel) {
    p.ShowWindow(window_, ShowCmd::Show);
    ::UpdateWindow(hwnd_);
    const int before = model_.reads;
    EXPECT_GE(before, 1);
    model_.label2 = "1d : 2h : 3m";
    p.Invalidate(window_);
    EXPECT_EQ(model_.reads, before);  // painted later, from the pump
    p.ProcessEvents();
    EXPECT_EQ(model_.reads, before + 1);
}

// ---- pop-up menus --------------------------------------------------------------------------------

PopupItem Item(int id, const char* caption, bool checked = false, bool enabled = true) {
    PopupItem item;
    item.id = id;
    item.caption = caption;
    item.checked = checked;
    item.enabled = enabled;
    return item;
}

PopupItem TestMenu() {
    PopupItem root;
    root.children.push_back(Item(0, "title", false, false));
    root.children.push_back(Item(0, "-"));
    root.children.push_back(Item(11, "first", true));
    PopupItem sub = Item(0, "more");
    sub.children.push_back(Item(21, "inner"));
    sub.children.push_back(Item(22, "greyed", false, false));
    root.children.push_back(sub);
    root.children.push_back(Item(12, "exit"));
    return root;
}

void Key(HWND menu, WPARAM key) {
    ::PostMessageA(menu, WM_KEYDOWN, key, 0);
    ::PostMessageA(menu, WM_KEYUP, key, 0);
}

TEST_F(Win32MainWindow, PopupMenuIsBuiltFromTheItemsAtTheOwnersPoint) {
    ::SetWindowPos(hwnd_, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    p.ShowWindow(window_, ShowCmd::Show);
    struct Seen {
        int count = -1, defaultId = -1;
        UINT title = 0, separator = 0, first = 0, more = 0, exit = 0, greyed = 0;
        char firstText[32] = {};
        RECT rect{};
    } seen;
    int chosen = -1;
    {
        Driver driver([&] {
            HWND menu = WaitForShown("#32768");
            if (!menu) return;
            HMENU h = reinterpret_cast<HMENU>(::SendMessageA(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
            seen.count = ::GetMenuItemCount(h);
            seen.defaultId = static_cast<int>(::GetMenuDefaultItem(h, FALSE, 0));
            seen.title = ::GetMenuState(h, 0, MF_BYPOSITION);
            seen.separator = ::GetMenuState(h, 1, MF_BYPOSITION);
            seen.first = ::GetMenuState(h, 2, MF_BYPOSITION);
            seen.more = ::GetMenuState(h, 3, MF_BYPOSITION);
            seen.exit = ::GetMenuState(h, 4, MF_BYPOSITION);
            seen.greyed = ::GetMenuState(::GetSubMenu(h, 3), 1, MF_BYPOSITION);
            ::GetMenuStringA(h, 2, seen.firstText, sizeof seen.firstText, MF_BYPOSITION);
            ::GetWindowRect(menu, &seen.rect);
            Key(menu, VK_ESCAPE);
        });
        chosen = p.TrackPopupMenu(TestMenu(), window_, 8, 41, 12);
    }
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(seen.count, 5);
    EXPECT_EQ(seen.defaultId, 12);
    EXPECT_TRUE(seen.title & MF_GRAYED);
    EXPECT_TRUE(seen.separator & MF_SEPARATOR);
    EXPECT_TRUE(seen.first & MF_CHECKED);
    EXPECT_FALSE(seen.first & MF_GRAYED);
    EXPECT_TRUE(seen.more & MF_POPUP);
    EXPECT_FALSE(seen.exit & MF_CHECKED);
    EXPECT_TRUE(seen.greyed & MF_GRAYED);
    EXPECT_STREQ(seen.firstText, "first");
    EXPECT_EQ(seen.rect.left, 108);
    EXPECT_EQ(seen.rect.top, 161);
}

TEST_F(Win32MainWindow, PopupMenuWithoutADefaultHasNone) {
    UINT defaultId = 0;
    int chosen = -1;
    {
        Driver driver([&] {
            HWND menu = WaitForShown("#32768");
            if (!menu) return;
            HMENU h = reinterpret_cast<HMENU>(::SendMessageA(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
            defaultId = ::GetMenuDefaultItem(h, FALSE, 0);
            Key(menu, VK_ESCAPE);
        });
        chosen = p.TrackPopupMenu(TestMenu(), window_, 8, 41, 0);
    }
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(defaultId, static_cast<UINT>(-1));
}

TEST_F(Win32MainWindow, PopupMenuReturnsTheChosenItem) {
    p.ShowWindow(window_, ShowCmd::Show);
    int chosen = -1;
    {
        Driver driver([&] {
            HWND menu = WaitForShown("#32768");
            if (!menu) return;
            // Down stops on the greyed title, skips the separator, then Enter.
            Key(menu, VK_DOWN);
            Key(menu, VK_DOWN);
            Key(menu, VK_RETURN);
        });
        chosen = p.TrackPopupMenu(TestMenu(), window_, 8, 41, 12);
    }
    EXPECT_EQ(chosen, 11);
}

TEST_F(Win32MainWindow, PopupMenuReturnsAnItemOfASubmenu) {
    p.ShowWindow(window_, ShowCmd::Show);
    int chosen = -1;
    {
        Driver driver([&] {
            HWND menu = WaitForShown("#32768");
            if (!menu) return;
            Key(menu, VK_DOWN);
            Key(menu, VK_DOWN);
            Key(menu, VK_DOWN);
            Key(menu, VK_RIGHT);
            ::Sleep(200);
            Key(menu, VK_RETURN);
        });
        chosen = p.TrackPopupMenu(TestMenu(), window_, 8, 41, 12);
    }
    EXPECT_EQ(chosen, 21);
}

// ---- the prompt and the message box ------------------------------------------------------------

TEST_F(Win32Backend, PromptShowsItsTextsAndReturnsWhatWasTyped) {
    std::string title, prompt, shownDefault;
    std::string answer;
    {
        Driver driver([&] {
            HWND dialog = WaitForShown("#32770");
            if (!dialog) return;
            title = TextOf(dialog);
            prompt = TextOf(::FindWindowExA(dialog, nullptr, "Static", nullptr));
            HWND edit = ::FindWindowExA(dialog, nullptr, "Edit", nullptr);
            shownDefault = TextOf(edit);
            ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed \xB7 text"));
            Key(edit, VK_RETURN);  // the default button
        });
        answer = p.InputBox("set room \xB7", "enter the room's name:", "old room");
    }
    EXPECT_EQ(title, "set room \xB7");
    EXPECT_EQ(prompt, "enter the room's name:");
    EXPECT_EQ(shownDefault, "old room");
    EXPECT_EQ(answer, "typed \xB7 text");
}

TEST_F(Win32Backend, PromptOkWithTheDefaultReturnsTheDefault) {
    std::string answer;
    {
        Driver driver([&] {
            HWND dialog = WaitForShown("#32770");
            if (dialog) ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        answer = p.InputBox("interval", "minutes:", "5");
    }
    EXPECT_EQ(answer, "5");
}

TEST_F(Win32Backend, PromptCancelledOrEscapedReturnsEmpty) {
    std::string cancelled = "x", escaped = "x";
    {
        Driver driver([&] {
            HWND dialog = WaitForShown("#32770");
            if (dialog) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        cancelled = p.InputBox("a", "b", "typed");
    }
    {
        Driver driver([&] {
            HWND dialog = WaitForShown("#32770");
            if (dialog) Key(::FindWindowExA(dialog, nullptr, "Edit", nullptr), VK_ESCAPE);
        });
        escaped = p.InputBox("a", "b", "typed");
    }
    EXPECT_EQ(cancelled, "");
    EXPECT_EQ(escaped, "");
}

TEST_F(Win32Backend, MessageBoxShowsTitleAndTextUntilOk) {
    std::string title;
    std::vector<std::string> texts;
    {
        Driver driver([&] {
            HWND box = WaitForShown("#32770");
            if (!box) return;
            title = TextOf(box);
            for (HWND s = ::FindWindowExA(box, nullptr, "Static", nullptr); s;
                 s = ::FindWindowExA(box, s, "Static", nullptr))
                texts.push_back(TextOf(s));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        p.MessageBox("upchat", "no upload window \xB7 found");
    }
    EXPECT_EQ(title, "upchat");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "no upload window \xB7 found"), texts.end());
}

// ---- the tray ---------------------------------------------------------------------------------------

std::vector<std::uint8_t> TrayRecord(const std::string& tip, std::uint32_t callback = 0x0200) {
    std::vector<std::uint8_t> record(kTrayRecordSize, 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) record[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 88);
    put(4, 0x12345678);  // the logic's idea of the window: replaced by ours
    put(8, 1);
    put(12, 7);
    put(16, callback);
    put(20, 0x0BADF00D);  // likewise the icon
    for (std::size_t i = 0; i < 64; ++i) record[24 + i] = ' ';
    std::memcpy(record.data() + 24, tip.data(), std::min<std::size_t>(tip.size(), 64));
    if (tip.size() < 64) record[24 + tip.size()] = 0;
    return record;
}

TEST(Win32Tray, RecordIsTranslatedFieldByField) {
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
}

TEST(Win32Tray, ATipWithoutEndIsCutTo63Bytes) {
    NOTIFYICONDATAA data;
    ASSERT_TRUE(TranslateTrayRecord(TrayRecord(std::string(64, 'q')), nullptr, nullptr, data));
    EXPECT_EQ(std::string(data.szTip), std::string(63, 'q'));
}

TEST(Win32Tray, RecordsOfAnotherSizeAreRefused) {
    NOTIFYICONDATAA data;
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
