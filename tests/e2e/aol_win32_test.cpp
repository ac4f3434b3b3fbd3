// The client automation on a real menu in this process: the walk that tells
// the version and runs commands.  The room lookups run against aolsim.exe in
// chat_e2e_test.
#include <gtest/gtest.h>

#include "aol/probes.h"
#include "platform/win32/win32_platform.h"

namespace qm::aol {
namespace {

std::vector<WPARAM> g_commands;  // that reached the client's main window

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_COMMAND) g_commands.push_back(wparam);
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

// The version rules are pinned natively; here the walk over a real menu bar.
TEST(AolOnWin32, VersionComesFromAnItemOfALaterMenuAndACommandGoesToTheMainWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "AOL Frame25";
    ::RegisterClassA(&wc);
    win32::Win32Platform p{"quillmoor aol test"};
    HMENU bar = ::CreateMenu(), file = ::CreatePopupMenu(), help = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, 11, "&File Search");
    ::AppendMenuA(file, MF_STRING, 12, "&Download Manager");
    ::AppendMenuA(help, MF_STRING, 2, "&Help");
    ::AppendMenuA(help, MF_STRING, 3, "WHAT'S NEW IN AOL 8.0");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    HWND main = ::CreateWindowExA(0, "AOL Frame25", "America Online", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  bar, ::GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetAolVersion(p), "8.0");
    RunAolMenuItem(p, "&download manager");
    EXPECT_EQ(g_commands, std::vector<WPARAM>{12});
    ::DestroyWindow(main);
}

}  // namespace
}  // namespace qm::aol
