// quillmoor.exe idling beside aolsim.exe, driven as the user drives it: its
// menus opened from the menu button and walked with the keyboard, its
// prompts answered; what it said read back from aolsim's room.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "aolsim/win32/tests/aolsim_process.h"
#include "tests/e2e/quillmoor_process.h"

namespace {

using aolsim::testing::AolsimProcess;
using e2e::Eventually;
using Texts = std::vector<std::string>;

const std::string kHead1 = "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial "
                           "narrow\" color=#000000>";

class Idle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Eventually([] { return !::FindWindowA("AOL Frame25", nullptr); }));
        ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby \"brb in 5\""));
        // Another process's menus cannot be read under Wine: the version is set.
        quillmoor.WriteFile("quillmoor.dat", "[aol]\r\nVERSION=8.0\r\n[handle]\r\nHANDLE=joe\r\n");
    }
    void Start(const std::string& reasons) {
        quillmoor.WriteFile("quillmoor.rea", reasons);
        ASSERT_TRUE(quillmoor.Start());
        ASSERT_TRUE(Eventually([&] { return Said().size() == 2; }));  // the entry lines
    }
    Texts Said() { return client.Column("transcript Lobby"); }
    bool SaidLine(const std::string& line) {
        const Texts said = Said();
        return std::find(said.begin(), said.end(), line) != said.end();
    }

    // A whole left click on the menu button (Label1 at 8, 24, 17 x 17), then
    // the keys, one at a time, to the menu that opens.
    void Menu(HWND owner, int x, int y, bool right, std::initializer_list<WORD> keys) {
        const LPARAM at = MAKELPARAM(x, y);
        ::PostMessageA(owner, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
        ::PostMessageA(owner, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
        HWND menu = nullptr;
        ASSERT_TRUE(Eventually([&] { return (menu = quillmoor.FindOwnWindow("#32768")) != nullptr; }));
        for (WORD key : keys) {
            ::Sleep(200);
            ::PostMessageA(menu, WM_KEYDOWN, key, 0);
            ::PostMessageA(menu, WM_KEYUP, key, 0);
        }
    }
    void MainMenu(std::initializer_list<WORD> keys) { Menu(quillmoor.MainWindow(), 16, 32, false, keys); }

    AolsimProcess client;
    e2e::QuillmoorProcess quillmoor;
};

// The title line is greyed, so the second Down reaches "idle options";
// its first item is "idle on".  A tick is a minute of real time.
TEST_F(Idle, IdleOnFromTheMenuThenATickPostsTheIdleLines) {
    Start("brb\r\n");
    MainMenu({VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    const std::string idleOn = kHead1 + "quillmoor idle \xB7 <font color=#0000ff>idle on<font color=#000000> \xB7 "
                                        "interval: <font color=#0000ff>1";
    ASSERT_TRUE(Eventually([&] { return SaidLine(idleOn); }));
    ASSERT_TRUE(Eventually([&] { return Said().size() == 5; }, 90));
    const Texts said = Said();
    EXPECT_EQ(said[3], kHead1 + "quillmoor idle \xB7 <font color=#0000ff>0<font color=#000000>d : <font "
                                "color=#0000ff>0<font color=#000000>h : <font color=#0000ff>1<font color=#000000>m");
    EXPECT_EQ(said[4], kHead1 + "re: <font color=#0000ff>brb");
    EXPECT_EQ(client.Column("input Lobby"), Texts{"brb in 5"});
    const std::optional<std::string> settings = quillmoor.ReadFile("quillmoor.dat");
    ASSERT_TRUE(settings.has_value());
    EXPECT_NE(settings->find("[stats]\r\nMINUTE=1\r\n"), std::string::npos) << *settings;
}

// "edit reasons" is the sixth item of "idle options" (three greyed or
// separated on the way); the options menu opens from the editor's list.
TEST_F(Idle, ReasonAddedInTheEditorReachesTheFileOnDoneEdit) {
    Start("first\r\n");
    MainMenu({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND editor = nullptr;
    ASSERT_TRUE(Eventually([&] { return (editor = quillmoor.FindOwnWindow(nullptr, "reasons")) != nullptr; }))
        << "the reasons editor did not open";
    EXPECT_TRUE(Eventually([&] { return SaidLine(kHead1 + "quillmoor idle \xB7 <font color=#0000ff>edit reasons"); }));
    POINT inList{20, 20};  // the list lies at 10, 7, 273 x 58
    HWND list = ::ChildWindowFromPoint(editor, inList);
    ASSERT_NE(list, editor);
    ::MapWindowPoints(editor, list, &inList, 1);
    Menu(list, inList.x, inList.y, true, {VK_DOWN, VK_RETURN});  // "add a reason"
    HWND prompt = nullptr;
    ASSERT_TRUE(Eventually([&] { return (prompt = quillmoor.FindOwnWindow("#32770", "add idle reason")) != nullptr; }));
    ::SendMessageA(::GetDlgItem(prompt, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("eating, back soon"));
    ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow("#32770", "add idle reason"); }));
    Menu(list, inList.x, inList.y, true, {VK_UP, VK_RETURN});  // "done edit", the last item
    EXPECT_TRUE(Eventually([&] { return quillmoor.ReadFile("quillmoor.rea") == "first\r\neating, back soon\r\n"; }));
    EXPECT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow(nullptr, "reasons"); }));
}

// "exit" is the menu's last item: Up from no selection reaches it.
TEST_F(Idle, ExitPostsTheFarewellAndTheProgramEnds) {
    Start("");
    MainMenu({VK_UP, VK_RETURN});
    ASSERT_TRUE(quillmoor.WaitForEnd(30));
    EXPECT_EQ(quillmoor.ExitCode(), 0u);
    const Texts said = Said();
    ASSERT_EQ(said.size(), 4u);
    EXPECT_EQ(said[2], kHead1 + "quillmoor idle \xB7 exit: <font color=#0000ff>joe");
    EXPECT_EQ(said[3], kHead1 + "aol: <font color=#0000ff>8.0<font color=#000000> \xB7 stats: <font "
                                "color=#0000ff>0<font color=#000000>d : <font color=#0000ff>0<font "
                                "color=#000000>h : <font color=#0000ff>0<font color=#000000>m");
    EXPECT_EQ(client.Column("input Lobby"), Texts{"brb in 5"});
}

}  // namespace
