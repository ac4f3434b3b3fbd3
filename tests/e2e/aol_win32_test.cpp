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

TEST(AolOnWin32, VersionComesFromTheFirstMatchingItemInAnyCaseAndACommandGoesToTheMainWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "AOL Frame25";
    ::RegisterClassA(&wc);
    win32::Win32Platform p{"quillmoor aol test"};
    // The client's main window alone, its menu bar's menus given by id and caption.
    using Menus = std::vector<std::vector<std::pair<UINT, const char*>>>;
    const std::pair<Menus, const char*> clients[] = {
        {{{{1, "&New"}, {2, "Send an Instant Message"}}, {{3, "What's New in AOL 7.0"}}}, "3.0"},
        {{{{1, "&File Search"}}, {{2, "&Help"}, {3, "WHAT'S NEW IN AOL 8.0"}}}, "8.0"},
        {{{{11, "&File Search"}, {12, "&Download Manager"}}}, "foreign"}};
    for (const auto& [menus, version] : clients) {
        HMENU bar = ::CreateMenu();
        for (const auto& items : menus) {
            HMENU sub = ::CreatePopupMenu();
            for (const auto& [id, text] : items) ::AppendMenuA(sub, MF_STRING, id, text);
            ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "menu");
        }
        HWND main = ::CreateWindowExA(0, "AOL Frame25", "America Online", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                      nullptr, bar, ::GetModuleHandleA(nullptr), nullptr);
        EXPECT_EQ(GetAolVersion(p), version);
        RunAolMenuItem(p, "&download manager");  // only the last one has it
        ::DestroyWindow(main);
    }
    EXPECT_EQ(g_commands, std::vector<WPARAM>{12});
}

}  // namespace
}  // namespace qm::aol
