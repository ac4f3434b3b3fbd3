// The shell from the outside: quillmoor.exe and aolsim.exe as separate
// processes, the mouse and the keyboard given for real through the X display
// (xdotool), the results read from quillmoor's windows, its settings file,
// the shell's notification area and aolsim's transcript.
//
// Another process's menus cannot be read under Wine, so whether the menu on
// the screen shows exactly the model (captions, check marks, greyed items) is
// checked in this process, with the program's own menu tree on the real
// backend (MenuOnTheScreenIsTheModel below).
// First: it takes away the A/W macros of <windows.h> that would rename the
// platform's operations.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "aolsim/win32/tests/aolsim_process.h"
#include "app/program.h"
#include "tests/e2e/quillmoor_process.h"

namespace {

using aolsim::testing::AolsimProcess;
using e2e::Eventually;
using e2e::QuillmoorProcess;
using e2e::Xdotool;

// Where the menu button lies in the main window's client area.
constexpr RECT kLabel1{8, 24, 25, 41};

// The icon of `window` with id 1 is in the notification area: the shell
// takes a change of nothing for an icon it has, and refuses one it has not.
bool TrayIconShown(HWND window) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = 1;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The icons in Wine's own notification area (explorer.exe shows one when
// the X display has none): one window each.
std::vector<HWND> WineTrayIcons() {
    std::vector<HWND> icons;
    HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
    for (HWND h = tray ? ::FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr) : nullptr; h;
         h = ::FindWindowExA(tray, h, "__winex11_tray_icon", nullptr))
        if (::IsWindowVisible(h)) icons.push_back(h);
    return icons;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

std::string Center(const RECT& r) {
    return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        // A program of an earlier test may take a moment to be gone.
        ASSERT_TRUE(Eventually([] { return !::FindWindowA("quillmoorForm", nullptr); }))
            << "a quillmoor of an earlier test still runs in this Wine prefix";
    }

    // quillmoor running with its main window shown; first with settings
    // that say the client is 8.0, which another process's menus cannot tell
    // under Wine.
    void StartQuillmoor() {
        if (!quillmoor.ReadFile("quillmoor.dat")) quillmoor.WriteFile("quillmoor.dat", "[aol]\r\nVERSION=8.0\r\n");
        ASSERT_TRUE(quillmoor.Start()) << "quillmoor's window never came up";
        main = quillmoor.MainWindow();
    }

    // The pop-up menu of quillmoor's process that is open, or nullptr.
    HWND OpenMenu() { return quillmoor.FindOwnWindow("#32768"); }

    // Clicks, for real, where `where` says (xdotool's "x y") with that
    // button, until quillmoor's menu is open: a click right after a dialog
    // closed is sometimes lost.
    HWND ClickForMenu(const std::function<std::string()>& where, int button = 1) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (!Xdotool("mousemove " + where() + " click " + std::to_string(button))) continue;
            if (Eventually([&] { return OpenMenu() != nullptr; }, 5)) return OpenMenu();
        }
        return nullptr;
    }
    HWND ClickMenuButton() {
        return ClickForMenu([&] {
            const RECT r = ScreenRect(main);
            return std::to_string(r.left + (kLabel1.left + kLabel1.right) / 2) + " " +
                   std::to_string(r.top + (kLabel1.top + kLabel1.bottom) / 2);
        });
    }
    bool MenuClosed() {
        return Eventually([&] { return OpenMenu() == nullptr; }, 10);
    }

    QuillmoorProcess quillmoor;
    HWND main = nullptr;
};

TEST_F(Shell, ClickOnTheMenuButtonOpensTheMenuJustBelowIt) {
    StartQuillmoor();
    const RECT window = ScreenRect(main);
    HWND menu = ClickMenuButton();
    ASSERT_NE(menu, nullptr) << "no menu after four clicks on the menu button";
    const RECT shown = ScreenRect(menu);
    EXPECT_EQ(shown.top, window.top + kLabel1.bottom);
    // At the button's left edge, unless the screen's edge pushed it left.
    const int width = shown.right - shown.left;
    EXPECT_EQ(shown.left, std::min<int>(window.left + kLabel1.left, ::GetSystemMetrics(SM_CXSCREEN) - width));
    ASSERT_TRUE(Xdotool("key Escape"));
    EXPECT_TRUE(MenuClosed());
    EXPECT_TRUE(::IsWindowVisible(main));
}

TEST_F(Shell, ColourChosenByKeyboardAndTypedIntoThePromptReachesTheFileAndTheNextLines) {
    AolsimProcess client;
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby"));
    StartQuillmoor();
    ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 2; }));

    ASSERT_NE(ClickMenuButton(), nullptr);
    // Past the greyed title to "other options", into it, past "handle" and
    // the line under it to "color 1: 000000".
    ASSERT_TRUE(Xdotool("key --delay 100 Down Down Down Down Down Right Down Return"));
    HWND prompt = nullptr;
    ASSERT_TRUE(Eventually([&] { return (prompt = quillmoor.FindOwnWindow("#32770", "set color 1")) != nullptr; }))
        << "the prompt never came up";
    EXPECT_EQ(::GetForegroundWindow(), prompt);
    ASSERT_TRUE(Xdotool("type --delay 100 00ff00"));
    ASSERT_TRUE(Xdotool("key Return"));
    EXPECT_TRUE(Eventually([&] { return quillmoor.FindOwnWindow("#32770") == nullptr; }));
    EXPECT_TRUE(Eventually([&] {
        return quillmoor.ReadFile("quillmoor.dat").value_or("").find("[color]\r\nCOLOR 1=00ff00\r\n") !=
               std::string::npos;
    })) << quillmoor.ReadFile("quillmoor.dat").value_or("<unreadable>");
    EXPECT_EQ(client.Column("transcript Lobby").size(), 2u);  // the command posts nothing

    // The next lines: those of the next start.
    quillmoor.Stop();
    StartQuillmoor();
    ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 4; }));
    const std::string head =
        "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" color=#00ff00>";
    EXPECT_EQ(client.Column("transcript Lobby")[2], head + "quillmoor idle \xB7 enter: <font color=#0000ff>joe");
    EXPECT_EQ(client.Column("transcript Lobby")[3].substr(0, head.size()), head);
}

TEST_F(Shell, WindowCommandSendsTheWindowToTheTrayAndBack) {
    StartQuillmoor();
    HWND form2 = quillmoor.FindOwnWindow("quillmoorHelper", "Form2", false);
    ASSERT_NE(form2, nullptr);
    ASSERT_FALSE(TrayIconShown(form2));
    const std::size_t iconsBefore = WineTrayIcons().size();

    // "minimize": the last item but one.
    ASSERT_NE(ClickMenuButton(), nullptr);
    ASSERT_TRUE(Xdotool("key --delay 100 Up Up Return"));
    EXPECT_TRUE(Eventually([&] { return !::IsWindowVisible(main); })) << "the main window stayed on the screen";
    EXPECT_TRUE(Eventually([&] { return TrayIconShown(form2); }));
    ASSERT_TRUE(Eventually([&] { return WineTrayIcons().size() == iconsBefore + 1; }));
    HWND icon = WineTrayIcons().back();

    // A right click on the icon opens the main menu; "maximize" is where
    // "minimize" was.
    ASSERT_NE(ClickForMenu([&] { return Center(ScreenRect(icon)); }, 3), nullptr);
    ASSERT_TRUE(Xdotool("key --delay 100 Up Up Return"));
    EXPECT_TRUE(Eventually([&] { return ::IsWindowVisible(main) != FALSE; })) << "the main window did not come back";
    EXPECT_TRUE(Eventually([&] { return !TrayIconShown(form2); }));
    EXPECT_TRUE(Eventually([&] { return WineTrayIcons().size() == iconsBefore; }));

    // Once more to the tray, and back by a double click on the icon.
    ASSERT_NE(ClickMenuButton(), nullptr);
    ASSERT_TRUE(Xdotool("key --delay 100 Up Up Return"));
    ASSERT_TRUE(Eventually([&] { return WineTrayIcons().size() == iconsBefore + 1; }));
    EXPECT_TRUE(Eventually([&] { return !::IsWindowVisible(main); }));
    icon = WineTrayIcons().back();
    ASSERT_TRUE(Xdotool("mousemove " + Center(ScreenRect(icon)) + " click --repeat 2 --delay 80 1"));
    EXPECT_TRUE(Eventually([&] { return ::IsWindowVisible(main) != FALSE; })) << "the double click did not restore";
    EXPECT_TRUE(Eventually([&] { return !TrayIconShown(form2); }));
}

// ---- the menu on the screen against the model, in this process ------------------------------

// An item of a menu as the screen shows it.
struct Shown {
    std::string text;  // as drawn: "&&" shows one "&"
    UINT state = 0, id = 0;
    bool isDefault = false;
    std::vector<Shown> children;
};

std::vector<Shown> ReadMenu(HMENU menu) {
    std::vector<Shown> items;
    const UINT defaultId = ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        Shown item;
        item.state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        char text[256] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        item.text = text;
        for (std::size_t at = item.text.find("&&"); at != std::string::npos; at = item.text.find("&&", at + 1))
            item.text.erase(at, 1);
        item.id = ::GetMenuItemID(menu, i);
        item.isDefault = item.id != static_cast<UINT>(-1) && item.id == defaultId;
        if (HMENU sub = ::GetSubMenu(menu, i)) item.children = ReadMenu(sub);
        items.push_back(std::move(item));
    }
    return items;
}

void ExpectShows(const std::vector<Shown>& shown, const std::vector<qm::MenuItem>& items, const std::string& path,
                 int defaultId) {
    ASSERT_EQ(shown.size(), items.size()) << path;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const qm::MenuItem& item = items[i];
        const std::string where = path + "/" + item.name;
        if (item.caption == "-") {
            EXPECT_TRUE(shown[i].state & MF_SEPARATOR) << where;
            continue;
        }
        EXPECT_EQ(shown[i].text, item.caption) << where;
        EXPECT_EQ((shown[i].state & MF_CHECKED) != 0, item.checked) << where;
        EXPECT_EQ((shown[i].state & MF_GRAYED) != 0, !item.enabled) << where;
        EXPECT_EQ(shown[i].isDefault, item.id == defaultId) << where;
        if (item.children.empty())
            EXPECT_EQ(shown[i].id, static_cast<UINT>(item.id)) << where;
        else
            ExpectShows(shown[i].children, item.children, where, defaultId);
    }
}

TEST(ShellMenu, MenuOnTheScreenIsTheModel) {
    qm::win32::Win32Platform platform("quillmoor shell menu test");
    qm::Program program(platform);
    qm::Form2& form2 = program.form2;
    // As start-up and the commands leave it: captions with the user's
    // values, marks, items enabled and greyed.
    form2.SetCaption("handle", "handle: R&B \xB7 joe");
    form2.SetCaption("font2", "font: arial narrow");
    form2.SetChecked("insertdlul", true);
    form2.SetChecked("enabledcp", true);
    for (const char* item : {"setpassword", "setroom", "resumeul"}) form2.SetEnabled(item, true);
    form2.SetEnabled("idleon", false);

    for (qm::MenuItem* root : {&form2.menu, &form2.options}) {
        const std::string defaultItem = root == &form2.menu ? "exit" : "doneedit";
        std::vector<Shown> shown;
        std::thread user([&] {
            HWND menu = nullptr;
            for (int i = 0; i < 500 && !menu; ++i) {
                for (HWND h = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); h && !menu;
                     h = ::FindWindowExA(nullptr, h, "#32768", nullptr)) {
                    DWORD process = 0;
                    ::GetWindowThreadProcessId(h, &process);
                    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(h)) menu = h;
                }
                if (!menu) ::Sleep(20);
            }
            if (!menu) return;
            shown = ReadMenu(reinterpret_cast<HMENU>(::SendMessageA(menu, 0x01E1, 0, 0)));  // MN_GETHMENU
            ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        form2.PopupMenu(*root, platform.TrayWindow(), qm::Point{0, 0}, defaultItem);
        user.join();
        ExpectShows(shown, root->children, root->name, form2.Item(defaultItem).id);
    }
}

}  // namespace
