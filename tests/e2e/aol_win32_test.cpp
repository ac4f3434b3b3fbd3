// The client automation on real windows and a real menu in this process: the
// menu walk that tells the version and runs commands, and the room lookups.
#include <gtest/gtest.h>

#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "platform/win32/win32_platform.h"

namespace qm::aol {
namespace {

std::vector<WPARAM> g_commands;  // that reached the client's main window

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_COMMAND) g_commands.push_back(wparam);
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

// The menus of a menu bar: id and caption of each item.
using Menus = std::vector<std::vector<std::pair<UINT, const char*>>>;

class AolOnWin32 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* cls : {"AOL Frame25", "AOL Child", "RICHCNTL", "RICHCNTLREADONLY", "_AOL_Listbox",
                                "_AOL_Icon", "_AOL_Static"}) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = std::string_view(cls) == "AOL Frame25" ? MainProc : ::DefWindowProcA;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = cls;
            ::RegisterClassA(&wc);
        }
    }
    void TearDown() override { ::DestroyWindow(main_); }
    // The client's main window, alone, with a menu bar of these menus.
    void Client(const Menus& menus) {
        if (main_) ::DestroyWindow(main_);
        HMENU bar = ::CreateMenu();
        for (const auto& items : menus) {
            HMENU sub = ::CreatePopupMenu();
            for (const auto& [id, text] : items) ::AppendMenuA(sub, MF_STRING, id, text);
            ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "menu");
        }
        main_ = ::CreateWindowExA(0, "AOL Frame25", "America Online", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  bar, ::GetModuleHandleA(nullptr), nullptr);
        mdi_ = Child("MDIClient", "", main_);
    }
    HWND Child(const char* cls, const char* text, HWND parent) {
        CLIENTCREATESTRUCT mdi{nullptr, 1000};  // MDIClient needs it
        HWND h = ::CreateWindowExA(0, cls, text, WS_CHILD, 0, 0, 50, 20, parent, nullptr, ::GetModuleHandleA(nullptr),
                                   &mdi);
        EXPECT_NE(h, nullptr) << cls;
        return h;
    }

    win32::Win32Platform p{"quillmoor aol test"};
    HWND main_ = nullptr, mdi_ = nullptr;
};

TEST_F(AolOnWin32, VersionComesFromTheFirstMatchingItemInAnyCaseAndACommandGoesToTheMainWindow) {
    const std::pair<Menus, const char*> clients[] = {
        {{{{1, "&New"}, {2, "Send an Instant Message"}}, {{3, "What's New in AOL 7.0"}}}, "3.0"},
        {{{{1, "&File Search"}}, {{2, "&Help"}, {3, "WHAT'S NEW IN AOL 8.0"}}}, "8.0"},
        {{{{11, "&File Search"}, {12, "&Download Manager"}}}, "foreign"}};
    for (const auto& [menus, version] : clients) {
        Client(menus);
        EXPECT_EQ(GetAolVersion(p), version);
        RunAolMenuItem(p, "&download manager");  // only the last one has it
    }
    EXPECT_EQ(g_commands, std::vector<WPARAM>{12});
}

TEST_F(AolOnWin32, LateRoomInputIsFoundAfterTheReadOnlyTranscript) {
    Client({});
    HWND room = Child("AOL Child", "Lobby", mdi_);
    Child("RICHCNTLREADONLY", "", room);
    HWND input = Child("RICHCNTL", "", room);
    for (const char* cls : {"_AOL_Listbox", "_AOL_Icon", "_AOL_Static"}) Child(cls, "", room);
    EXPECT_EQ(FindChatRoom(p), win32::ToSeam(room));
    EXPECT_EQ(FindChatInput(p, InputVariant::B), win32::ToSeam(input));
    // The menu says nothing here, so the early lookup falls back to it.
    EXPECT_EQ(FindChatInput(p, InputVariant::A), win32::ToSeam(input));
}

}  // namespace
}  // namespace qm::aol
