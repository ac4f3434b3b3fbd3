// The program's shell: start-up, the main window and its menu, the tray, and
// the appearance commands.
#include <gtest/gtest.h>

#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

const char* const kHex = "enter a 6 digits hex.  # is not necessary.";
const struct Command {
    const char *item, *title, *prompt;
    std::string Form1::*label;
    const char *prefix, *section, *key;
} kCommands[] = {
    {"handle", "set handle", "enter a handle.", &Form1::lblHandle, "handle: ", "handle", "HANDLE"},
    {"color1", "set color 1", kHex, &Form1::lblColor1, "color 1: ", "color", "COLOR 1"},
    {"color2", "set color 2", kHex, &Form1::lblColor2, "color 2: ", "color", "COLOR 2"},
    {"font2", "set font", "enter a font type.", &Form1::lblFont, "font: ", "font", "FONT"},
    {"ascii1", "set ascii 1", "enter an ascii.", &Form1::lblAscii1, "ascii 1: ", "ascii 1", "ASCII"},
    {"ascii1color", "set ascii 1 color", kHex, &Form1::lblAscii1Color, "color: ", "ascii 1", "COLOR"},
    {"ascii1font", "set ascii 1 font", "enter a font type.", &Form1::lblAscii1Font, "font: ", "ascii 1", "FONT"},
    {"ascii2", "set ascii 2", "enter an ascii.", &Form1::lblAscii2, "ascii 2: ", "ascii 2", "ASCII"},
    {"ascii2color", "set ascii 2 color", kHex, &Form1::lblAscii2Color, "color: ", "ascii 2", "COLOR"},
    {"ascii2font", "set ascii 2 font", "enter a font type.", &Form1::lblAscii2Font, "font: ", "ascii 2", "FONT"},
    {"ascii3", "set ascii 3", "enter an ascii.", &Form1::lblAscii3, "ascii 3: ", "ascii 3", "ASCII"},
    {"ascii3color", "set ascii 3 color", kHex, &Form1::lblAscii3Color, "color: ", "ascii 3", "COLOR"},
    {"ascii3font", "set ascii 3 font", "enter a font type.", &Form1::lblAscii3Font, "font: ", "ascii 3", "FONT"},
};

class Shell : public Running {
protected:
    // The 88 bytes the tray gets: size, window, id 1, flags (message, icon,
    // tip), the callback message, the icon (the backend's), the tip.
    std::vector<std::uint8_t> Record() {
        std::vector<std::uint8_t> r;
        for (std::uint32_t v : {88u, sim.TrayWindow(), 1u, 7u, 0x0200u, 0u})
            for (int i = 0; i < 4; ++i) r.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        const std::string tip = std::string("quillmoor idle by dorwick") + '\0' + std::string(38, ' ');
        r.insert(r.end(), tip.begin(), tip.end());
        return r;
    }
    // The tray calls so far ("+" add, "-" delete), each checked against Record().
    std::string Calls() {
        std::string ops;
        for (const sim::TrayCall& call : sim.TrayCalls()) {
            ops += call.op == TrayOp::Add ? "+" : "-";
            EXPECT_EQ(call.record, Record()) << ops;
        }
        return ops;
    }
    // Shown, in the task list, and the window command's caption.
    std::string Window() {
        return std::string(sim.Visible(form.Window()) ? "shown" : "hidden") + (sim.TaskListEntry() ? " listed " : " ") +
               menus.Item("minimize").caption;
    }
    std::string File() { return sim.FileBytes(kSettings).value_or("<none>"); }
};

// Defaults are never written back.
TEST(StartUpFresh, DefaultsEverywhereAndNothingWritten) {
    for (const std::optional<std::string>& file : {std::optional<std::string>(), std::optional<std::string>(""),
                                                   std::optional<std::string>("[aol]\r\nVERSION=9.0\r\n")}) {
        World w;
        w.Launch(file);
        sim::SimPlatform& sim = w.sim;
        sim.MainModel()->Click(Control::Label1);
        ASSERT_EQ(sim.Popups().size(), 1u);
        EXPECT_EQ(ShownMenus(sim.Popups()[0].root),
                  (Texts{"menu: quillmoor idle (greyed) | - | idle options | dcp options | upchat options | other "
                         "options | - | cancel | minimize | exit",
                         "idle options: idle on | idle off (greyed) | idle pause (greyed) | - | brag idle stats | edit "
                         "reasons | insert dl/ul stats | interval: 1 | - | away log: off | show away log | auto idle: "
                         "off",
                         "dcp options: enable dcp | - | set password (greyed) | - | enable re-enter (greyed) | set "
                         "room name (greyed) | - | resume dl (greyed) | resume ul (greyed)",
                         "upchat options: enable auto upchat | - | brag dl/ul stats | upchat on | upchat off",
                         "other options: handle:  | - | color 1: 000000 | color 2: 0000ff | font: arial narrow | - | "
                         "ascii 1: qlR - | color: 0000ff | font: arial narrow | - | ascii 2: qlR - | color: 0000ff | "
                         "font: arial narrow | - | ascii 3: qlR - | color: 0000ff | font: arial narrow | - | aol "
                         "version: auto"}))
            << file.value_or("missing");
        EXPECT_EQ(w.program.version.setting, "");
        const Form1& form = w.form;
        EXPECT_EQ(form.lblInterval + form.lblDay + form.lblHrs + form.lblMins + " " + form.Label2, "1000 0d : 0h : 0m");
        EXPECT_FALSE(form.Timer1.Enabled() || form.Timer2.Enabled() || form.Timer3.Enabled());
        EXPECT_EQ(sim.FileBytes(kSettings), file);
    }
}

// Stored values as they stand, a mark only for an exact "yes"; the stored
// handle is not lower-cased (the screen name is: see the idle exit), the
// stored version beats the client's; the clock counts this run from 0; the
// entry lines go a pause apart and leave the user's text.
TEST_F(Shell, StoredSettingsBecomeLabelsCaptionsMarksTimersAndTheEntryLines) {
    Client("8.0", "Joe Blow", "typing");
    RecordEnters();
    Launch("[handle]\r\nHANDLE=Joe & Co\r\n[interval]\r\nINTERVAL=05\r\n[insert]\r\nDL/UL=yes\r\n[dcp]\r\nAUTO "
           "DCP=yes\r\nRE-ENTER ROOM=Yes\r\nRESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n[upchat]\r\nAUTO UPCHAT=YES\r\n"
           "[color]\r\nCOLOR 1=ff0000\r\nCOLOR 2=00ff00\r\n[font]\r\nFONT=tahoma\r\n[ascii 2]\r\nASCII=~*~\r\n"
           "COLOR=123456\r\nFONT=courier\r\n[stats]\r\nday=2\r\nhour=5\r\nminute=7\r\n[aol]\r\nVERSION=6.0\r\n");
    form.Label1_Click();
    const Texts shown = ShownMenus(sim.Popups().at(0).root);
    EXPECT_EQ(Texts(shown.begin() + 1, shown.end()),
              (Texts{"idle options: idle on | idle off (greyed) | idle pause (greyed) | - | brag idle stats | edit "
                     "reasons | insert dl/ul stats (checked) | interval: 05 | - | away log: off | show away log | "
                     "auto idle: off",
                     "dcp options: enable dcp (checked) | - | set password | - | enable re-enter | set room name | - | "
                     "resume dl (checked) | resume ul (checked)",
                     "upchat options: enable auto upchat | - | brag dl/ul stats | upchat on | upchat off",
                     "other options: handle: Joe & Co | - | color 1: ff0000 | color 2: 00ff00 | font: tahoma | - | "
                     "ascii 1: qlR - | color: 0000ff | font: arial narrow | - | ascii 2: ~*~ | color: 123456 | font: "
                     "courier | - | ascii 3: qlR - | color: 0000ff | font: arial narrow | - | aol version: 6.0"}));
    EXPECT_EQ(client.Transcript("Lobby"),
              (Texts{"</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"tahoma\" "
                     "color=#ff0000>quillmoor idle \xB7 enter: <font color=#00ff00>Joe & Co",
                     "</b></u></i></s><font face=\"courier\" color=#123456>~*~ <font face=\"tahoma\" "
                     "color=#ff0000>aol: <font color=#00ff00>6.0<font color=#ff0000> \xB7 stats: <font "
                     "color=#00ff00>2<font color=#ff0000>d : <font color=#00ff00>5<font color=#ff0000>h : <font "
                     "color=#00ff00>7<font color=#ff0000>m"}));
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_GE(enters[1] - enters[0], 0.4);
    EXPECT_EQ(client.InputText(room), "typing");
    EXPECT_EQ(client.Captions(aolsim::WindowEvent::Hidden), Texts{"Welcome, Joe Blow!"});
    EXPECT_EQ(form.lblDay + form.lblHrs + form.lblMins + " " + form.Label2, "000 0d : 0h : 0m");
    EXPECT_TRUE(form.Timer2.Enabled());
    EXPECT_FALSE(form.Timer1.Enabled() || form.Timer3.Enabled());
}

TEST_F(Shell, SecondCopyDoesNothing) {
    Client();
    sim.SetPreviousInstance(true);
    sim.SetFileBytes(kSettings, "[dcp]\r\nAUTO DCP=yes\r\n");
    EXPECT_FALSE(program.Start());
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(form.Window(), 0u);
    EXPECT_EQ(form.lblInterval, "");
    EXPECT_FALSE(form.Timer2.Enabled());
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_TRUE(client.WindowEvents().empty());
}

// A program nobody could reach would run on unseen: it says why and ends,
// before it touches the client.
TEST(StartUpWithoutWindow, SaysSoAndEndsTouchingNothing) {
    struct NoWindows : sim::SimPlatform {
        Hwnd CreateMainWindow(const std::string&, const MainWindowLayout&, MainWindowModel&) override { return 0; }
    } sim;
    sim.SetProgramFolder(kFolder);
    aolsim::SimClient client(sim);
    client.Start("8.0");
    client.SignOn("Joe");
    client.OpenRoom("Lobby", "brb");
    sim.SetFileBytes(kSettings, "[dcp]\r\nAUTO DCP=yes\r\n[upchat]\r\nAUTO UPCHAT=yes\r\n");
    Program program(sim);
    EXPECT_FALSE(program.Start());
    ASSERT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(sim.MessageBoxes()[0].title, "quillmoor idle");
    EXPECT_EQ(sim.MessageBoxes()[0].text, "quillmoor idle could not make its window and ends.");
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(sim.TimersRunning(), 0);
    EXPECT_TRUE(sim.TrayCalls().empty());
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_TRUE(client.WindowEvents().empty());
}

// Signed off: no lines, but the window.  An item runs once the menu has closed.
TEST_F(Shell, MainWindowAndItsMenu) {
    Client("7.0", "");
    Launch(std::nullopt);
    EXPECT_EQ(form.lblHandle, "");
    EXPECT_TRUE(client.Chat().empty());
    const Hwnd w = form.Window();
    EXPECT_TRUE(sim.Visible(w));  // its caption, class, size and place on top are pinned under Wine
    MainWindowModel& model = *sim.MainModel();
    model.MouseDown(Control::Body, MouseButton::Right);
    model.MouseDown(Control::Label2, MouseButton::Left);
    model.MouseDown(Control::Label1, MouseButton::Left);
    EXPECT_EQ(sim.DragCount(w), 2);

    Texts ran;
    menus.Item("bragidlestats").Click = [&] { ran.push_back("brag"); };
    menus.Item("idleoff").Click = [&] { ran.push_back("idle off"); };
    for (const Texts& path : {Texts{"idle options", "brag idle stats"}, Texts{"idle options", "idle off"},
                              Texts{"cancel"}, Texts{}}) {
        sim.ScriptPopup(path);
        model.Click(Control::Label1);
    }
    EXPECT_EQ(ran, Texts{"brag"});
    ASSERT_EQ(sim.Popups().size(), 4u);
    EXPECT_EQ(sim.Popups()[1].chosen, 0) << "a greyed item is not chosen";
    const sim::PopupCall& opened = sim.Popups()[2];
    EXPECT_EQ(opened.chosen, menus.Item("cancel").id);
    EXPECT_EQ(opened.owner, w);
    EXPECT_EQ(std::to_string(opened.at.value().x) + "," + std::to_string(opened.at.value().y), "8,41");
    EXPECT_EQ(opened.defaultId, menus.Item("exit").id);

    const int painted = sim.InvalidateCount();
    form.SetLabel2("0d : 0h : 1m");
    EXPECT_EQ(model.Label2Text(), "0d : 0h : 1m");
    EXPECT_EQ(sim.InvalidateCount(), painted + 1);
}

// A refused icon leaves the window on the screen; only a right-button release
// on the icon opens the menu; the icon comes back with a new taskbar.
TEST_F(Shell, ToTheTrayAndBack) {
    Launch(std::nullopt);
    sim.SetTrayRefuses(true);
    Choose({"minimize"});
    EXPECT_EQ(Window(), "shown listed minimize");
    sim.SetTrayRefuses(false);
    sim.TaskbarCreated();  // not in the tray: nothing to bring back
    Choose({"minimize"});
    EXPECT_EQ(Calls() + " " + Window(), "++ hidden maximize");
    for (std::uint32_t m : {0x0200u, 0x0201u, 0x0202u, 0x0204u}) sim.TrayMouse(m);  // move, left, right down
    EXPECT_EQ(sim.Popups().size(), 2u);
    sim.TrayMouse(tray::kRightButtonUp);
    ASSERT_EQ(sim.Popups().size(), 3u);
    const sim::PopupCall& opened = sim.Popups().back();
    EXPECT_EQ(opened.root.caption, "menu");
    EXPECT_EQ(opened.owner, sim.TrayWindow());
    EXPECT_FALSE(opened.at.has_value());
    EXPECT_EQ(opened.defaultId, menus.Item("exit").id);
    sim.TaskbarCreated();
    EXPECT_EQ(Calls(), "+++");
    Choose({"maximize"});
    EXPECT_EQ(Calls() + " " + Window(), "+++- shown minimize");  // out of the task list until the end
    Choose({"minimize"});
    sim.TrayMouse(tray::kLeftDoubleClick);
    EXPECT_EQ(Calls() + " " + Window(), "+++-+- shown minimize");
    EXPECT_FALSE(sim.Minimized(form.Window()));
    Choose({"minimize"});
    program.End();
    EXPECT_EQ(Calls(), "+++-+-+-");
    EXPECT_TRUE(sim.QuitCalled());
}

// Kept as typed; the file's reader loses the blanks around a value.
TEST_F(Shell, EveryCommandAsksAndPutsAnAcceptedAnswerEverywhere) {
    Client();
    Launch(std::nullopt);
    for (const Command& c : kCommands) {
        const std::string item = c.item, answer = item.starts_with("color") ? "12345\xB7" : " Ab" + item + "\xB7";
        Answer(c.item, answer);
        EXPECT_EQ(Prompt(sim.Prompts().size() - 1), c.title + std::string("|") + c.prompt + "|") << c.item;
        EXPECT_EQ(form.*c.label, answer) << c.item;
        EXPECT_EQ(menus.Item(c.item).caption, c.prefix + answer) << c.item;
        EXPECT_EQ(ReadSetting(sim, c.section, c.key, kSettings), answer.substr(answer.find_first_not_of(' ')))
            << c.item;
        EXPECT_NE(File().find(std::string(c.key) + "=" + answer + "\r\n"), std::string::npos) << c.item;
    }
    EXPECT_EQ(Lines(), Texts{});
    auto head = [](const std::string& ascii) {
        return "</b></u></i></s><font face=\"" + ascii + "font\xB7\" color=#" + ascii + "color\xB7>" + ascii +
               "\xB7 <font face=\" Abfont2\xB7\" color=#12345\xB7>";
    };
    EXPECT_EQ(ComposeAnnouncement(Announcement::StatsLine1, form.Style()),
              head(" Abascii1") + "quillmoor idle \xB7 <font color=#12345\xB7> Abhandle\xB7<font "
                                  "color=#12345\xB7>'s stats");
    EXPECT_EQ(ComposeAnnouncement(Announcement::IdleReason, form.Style(), {"x"}),
              head(" Abascii2") + "re: <font color=#12345\xB7>x");
    const std::string head3 = head(" Abascii3");
    EXPECT_EQ(ComposeAnnouncement(Announcement::IdleTransfer, form.Style(), {"f"}).substr(0, head3.size()), head3);
}

// The handle refuses the author's own name only as written.
TEST_F(Shell, RefusedAnswersChangeNothing) {
    Client();
    Launch(std::nullopt);
    const struct {
        const char *item, *answer;
        bool accepted;
    } cases[] = {
        {"handle", "dorwick", false}, {"handle", "", false},        {"handle", nullptr, false},
        {"font2", nullptr, false},    {"color1", "#00ff00", false}, {"color2", "fff", false},
        {"color1", "0000fff", false}, {"color2", "", false},        {"handle", "Dorwick", true},
        {"color1", "zzzzzz", true},   {"ascii2color", "#00ff00", true}, {"ascii1", " ", true},
    };
    for (const auto& c : cases) {
        const Command& command = *std::find_if(std::begin(kCommands), std::end(kCommands),
                                               [&](const Command& k) { return k.item == std::string(c.item); });
        const std::string before = form.*command.label, file = File();
        Answer(c.item, c.answer ? std::optional<std::string>(c.answer) : std::nullopt);
        const std::string now = c.accepted ? c.answer : before;
        EXPECT_EQ(form.*command.label, now) << c.item << " " << (c.answer ? c.answer : "cancel");
        EXPECT_EQ(menus.Item(c.item).caption, command.prefix + now) << c.item;
        EXPECT_EQ(File() == file, !c.accepted) << c.item;
    }
    EXPECT_EQ(menus.Item("ascii2").caption, "ascii 2: qlR -");
}

}  // namespace
}  // namespace qm::testing
