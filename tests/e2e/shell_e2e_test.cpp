// quillmoor.exe from the outside, beside aolsim.exe in another process: the
// mouse and the keyboard given for real through the X display (xdotool);
// what happened read from quillmoor's windows, its files, the notification
// area and aolsim's room.  Another process's menus cannot be read under
// Wine: the settings say the client is 8.0.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Dhm;
using e2e::Eventually;
using e2e::kHead;
using e2e::Xdotool;

constexpr RECT kLabel1{8, 24, 25, 41};  // the menu button, in the main window's client area

// The icons shown in Wine's own notification area (explorer.exe draws one
// when the X display has none), one window each.
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

class Shell : public ::testing::Test {
protected:
    void StartQuillmoor() {
        if (!quillmoor.ReadFile("quillmoor.dat")) quillmoor.WriteFile("quillmoor.dat", "[aol]\r\nVERSION=8.0\r\n");
        ASSERT_TRUE(quillmoor.Start()) << "quillmoor's window never came up";
        main = quillmoor.MainWindow();
    }
    std::string Settings() { return quillmoor.ReadFile("quillmoor.dat").value_or(""); }
    // The lines posted after the entry lines.
    std::vector<std::string> Said() {
        const std::vector<std::string> said = client.Column("transcript Lobby");
        return said.size() < 2 ? std::vector<std::string>{"<no entry lines>"}
                               : std::vector<std::string>(said.begin() + 2, said.end());
    }

    aolsim::testing::AolsimProcess client;
    e2e::QuillmoorProcess quillmoor;
    HWND main = nullptr;
};

// A click on the menu button opens the menu just below it (at its left edge
// unless the screen's edge pushes it left); Escape closes it.  Then past the
// greyed title to "other options", into it, past "handle" and the line under
// it to "color 1", the prompt answered by typing: the command posts nothing,
// the next start's lines wear the new colour.
TEST_F(Shell, ColourChosenFromTheMenuButtonAndTypedIntoThePromptReachesTheFileAndTheNextLines) {
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby"));
    StartQuillmoor();
    ASSERT_TRUE(Eventually([&] { return Said().empty(); }));
    const RECT window = ScreenRect(main);
    HWND menu = quillmoor.OpenMenu();
    ASSERT_NE(menu, nullptr) << "no menu after four clicks on the menu button";
    const RECT shown = ScreenRect(menu);
    EXPECT_EQ(shown.top, window.top + kLabel1.bottom);
    EXPECT_EQ(shown.left, std::min<int>(window.left + kLabel1.left,
                                        ::GetSystemMetrics(SM_CXSCREEN) - (shown.right - shown.left)));
    ASSERT_TRUE(Xdotool("key Escape"));
    EXPECT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow("#32768"); }, 10));
    EXPECT_TRUE(::IsWindowVisible(main));
    ASSERT_TRUE(quillmoor.Choose("Down Down Down Down Down Right Down Return"));
    HWND prompt = nullptr;
    ASSERT_TRUE(Eventually([&] { return (prompt = quillmoor.FindOwnWindow("#32770", "set color 1")) != nullptr; }));
    EXPECT_EQ(::GetForegroundWindow(), prompt);
    ASSERT_TRUE(Xdotool("type --delay 100 00ff00"));
    ASSERT_TRUE(Xdotool("key Return"));
    EXPECT_TRUE(Eventually([&] { return quillmoor.FindOwnWindow("#32770") == nullptr; }));
    EXPECT_TRUE(Eventually([&] { return Settings().find("[color]\r\nCOLOR 1=00ff00\r\n") != std::string::npos; }));
    EXPECT_EQ(Said(), std::vector<std::string>{});

    quillmoor.Stop();
    StartQuillmoor();
    ASSERT_TRUE(Eventually([&] { return Said().size() == 2; }));
    const std::string head = kHead.substr(0, kHead.size() - 7) + "00ff00>";
    EXPECT_EQ(Said().at(0), head + "quillmoor idle \xB7 enter: <font color=#0000ff>joe");
    EXPECT_EQ(Said().at(1).substr(0, head.size()), head);
}

// "minimize" is the last item but one, "maximize" where it was; back from
// the tray through the icon's menu (right click), then by a double click.
TEST_F(Shell, WindowCommandSendsTheWindowToTheTrayAndBack) {
    StartQuillmoor();
    const std::size_t iconsBefore = WineTrayIcons().size();
    auto inTray = [&](bool tray) {
        EXPECT_TRUE(Eventually([&] { return (::IsWindowVisible(main) != FALSE) != tray; })) << "tray " << tray;
        return Eventually([&] { return WineTrayIcons().size() == iconsBefore + tray; });
    };
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(quillmoor.Choose("Up Up Return"));
        ASSERT_TRUE(inTray(true));
        const RECT icon = ScreenRect(WineTrayIcons().back());
        if (round == 0) {
            ASSERT_NE(quillmoor.OpenMenu([&] { return icon; }, 3), nullptr);
            ASSERT_TRUE(Xdotool("key --delay 100 Up Up Return"));
        } else {
            ASSERT_TRUE(Xdotool(e2e::MoveTo(icon) + " click --repeat 2 --delay 80 1"));
        }
        EXPECT_TRUE(inTray(false)) << "round " << round;
    }
}

// A reason added through the editor reaches the file at "done edit"; idle
// on, and a tick (a minute of real time) posts the idle lines and counts the
// minute; exit posts the farewell with that minute and the program ends.
TEST_F(Shell, EditReasonsIdleAndExit) {
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby \"brb in 5\""));
    quillmoor.WriteFile("quillmoor.dat", "[aol]\r\nVERSION=8.0\r\n[handle]\r\nHANDLE=joe\r\n");
    quillmoor.WriteFile("quillmoor.rea", "brb\r\n");
    StartQuillmoor();
    ASSERT_TRUE(Eventually([&] { return Said().empty(); }));

    // "edit reasons": the sixth item of "idle options", past the greyed title
    // and a separator.  In the list's menu "add a reason" is the first item,
    // "done edit" the last.
    ASSERT_TRUE(quillmoor.Choose("Down Down Right Down Down Down Down Return"));
    HWND editor = nullptr;
    ASSERT_TRUE(Eventually([&] { return (editor = quillmoor.FindOwnWindow(nullptr, "reasons")) != nullptr; }));
    HWND list = ::ChildWindowFromPoint(editor, POINT{20, 20});  // the list lies at 10, 7, 273 x 58
    ASSERT_NE(list, editor);
    ASSERT_NE(quillmoor.OpenMenu([&] { return ScreenRect(list); }, 3), nullptr);
    ASSERT_TRUE(Xdotool("key --delay 100 Down Return"));
    HWND prompt = nullptr;
    ASSERT_TRUE(Eventually([&] { return (prompt = quillmoor.FindOwnWindow("#32770", "add idle reason")) != nullptr; }));
    ASSERT_TRUE(Xdotool("type --delay 100 'eating, back soon'"));
    ASSERT_TRUE(Xdotool("key Return"));
    ASSERT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow("#32770", "add idle reason"); }));
    ASSERT_NE(quillmoor.OpenMenu([&] { return ScreenRect(list); }, 3), nullptr);
    ASSERT_TRUE(Xdotool("key --delay 100 Up Return"));
    EXPECT_TRUE(Eventually([&] { return quillmoor.ReadFile("quillmoor.rea") == "brb\r\neating, back soon\r\n"; }));
    EXPECT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow(nullptr, "reasons"); }));

    ASSERT_TRUE(quillmoor.Choose("Down Down Right Return"));  // "idle on", the first item
    ASSERT_TRUE(Eventually([&] { return Said().size() == 4; }, 90));
    const std::string idle = kHead + "quillmoor idle \xB7 ";
    EXPECT_EQ(Said(), (std::vector<std::string>{
                          idle + "<font color=#0000ff>edit reasons",
                          idle + "<font color=#0000ff>idle on<font color=#000000> \xB7 interval: <font color=#0000ff>1",
                          idle + Dhm("0", "0", "1"), kHead + "re: <font color=#0000ff>brb"}));
    EXPECT_NE(Settings().find("[stats]\r\nMINUTE=1\r\n"), std::string::npos);

    ASSERT_TRUE(quillmoor.Choose("Up Return"));  // "exit", the last item
    ASSERT_TRUE(quillmoor.WaitForEnd(30));
    EXPECT_EQ(quillmoor.ExitCode(), 0u);
    const std::vector<std::string> said = Said();
    EXPECT_EQ(std::vector<std::string>(said.begin() + 4, said.end()),
              (std::vector<std::string>{
                  idle + "exit: <font color=#0000ff>joe",
                  kHead + "aol: <font color=#0000ff>8.0<font color=#000000> \xB7 stats: " + Dhm("0", "0", "1")}));
    EXPECT_EQ(client.Column("input Lobby"), std::vector<std::string>{"brb in 5"});
}

}  // namespace
