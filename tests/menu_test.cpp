// The menu tree, how it opens and what a fresh or a stored start shows in it.
#include "ui/form2.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

class Menu : public ::testing::Test {
protected:
    Menu() { sim.SetProgramFolder("C:\\quillmoor"); }
    void Settings(const std::string& bytes) { sim.SetFileBytes("C:\\quillmoor\\quillmoor.dat", bytes); }
    // The tree as lines: two blanks a level, the name, the caption, and
    // "(greyed)" / "(checked)" where they apply.
    static void Flatten(const MenuItem& item, int level, std::vector<std::string>& out) {
        std::string line(static_cast<std::size_t>(2 * level), ' ');
        line += item.name + " \"" + item.caption + "\"";
        if (!item.enabled) line += " (greyed)";
        if (item.checked) line += " (checked)";
        out.push_back(line);
        for (const MenuItem& child : item.children) Flatten(child, level + 1, out);
    }
    std::vector<std::string> Tree() {
        std::vector<std::string> out;
        Flatten(program.form2.menu, 0, out);
        Flatten(program.form2.options, 0, out);
        return out;
    }
    // Captions and flags of the items named, as the open menu showed them.
    static const PopupItem* Shown(const PopupItem& root, const std::string& caption) {
        if (root.caption == caption) return &root;
        for (const PopupItem& child : root.children)
            if (const PopupItem* found = Shown(child, caption)) return found;
        return nullptr;
    }

    sim::SimPlatform sim;
    Program program{sim};
    Form2& form2 = program.form2;
};

TEST_F(Menu, FreshTreeHoldsEveryItemInOrderWithItsFirstState) {
    const std::vector<std::string> expected = {
        "menu \"menu\"",
        "  quillmooridle \"quillmoor idle\" (greyed)",
        "  line0 \"-\"",
        "  idleoptions \"idle options\"",
        "    idleon \"idle on\"",
        "    idleoff \"idle off\" (greyed)",
        "    idlepause \"idle pause\" (greyed)",
        "    line2 \"-\"",
        "    bragidlestats \"brag idle stats\"",
        "    editreasons \"edit reasons\"",
        "    insertdlul \"insert dl/ul stats\"",
        "    interval \"interval: 1\"",
        "  dcpoptions \"dcp options\"",
        "    enabledcp \"enable dcp\"",
        "    line3 \"-\"",
        "    setpassword \"set password\" (greyed)",
        "    line11 \"-\"",
        "    enablereenterroom \"enable re-enter\" (greyed)",
        "    setroom \"set room name\" (greyed)",
        "    line4 \"-\"",
        "    resumedl \"resume dl\" (greyed)",
        "    resumeul \"resume ul\" (greyed)",
        "  upchatoptions \"upchat options\"",
        "    enableautoupchat \"enable auto upchat\"",
        "    line8 \"-\"",
        "    bragdlulstats \"brag dl/ul stats\"",
        "    upchaton \"upchat on\"",
        "    upchatoff \"upchat off\"",
        "  otheroptions \"other options\"",
        "    handle \"handle: dorwick\"",
        "    line5 \"-\"",
        "    color1 \"color 1: 000000\"",
        "    color2 \"color 2: 0000ff\"",
        "    font2 \"font: arial narrow\"",
        "    line9 \"-\"",
        "    ascii1 \"ascii 1:\"",
        "    ascii1color \"color: 0000ff\"",
        "    ascii1font \"font: arial narrow\"",
        "    line6 \"-\"",
        "    ascii2 \"ascii 2:\"",
        "    ascii2color \"color: 0000ff\"",
        "    ascii2font \"font: arial narrow\"",
        "    line7 \"-\"",
        "    ascii3 \"ascii 3:\"",
        "    ascii3color \"color: 0000ff\"",
        "    ascii3font \"font: arial narrow\"",
        "    line12 \"-\"",
        "    aolversion \"aol version: auto\"",
        "  line1 \"-\"",
        "  cancel \"cancel\"",
        "  minimize \"minimize\"",
        "  exit \"exit\"",
        "options \"options\"",
        "  addareason \"add a reason\"",
        "  deleteareason \"delete a reason\"",
        "  editareason \"edit a reason\"",
        "  line10 \"-\"",
        "  cancel2 \"cancel\"",
        "  doneedit \"done edit\"",
    };
    EXPECT_EQ(Tree(), expected);
}

TEST_F(Menu, EmptySettingsShowTheDefaultsAndGreyWhatWaitsForProtection) {
    Settings("");
    ASSERT_TRUE(program.Start());
    sim.MainModel()->Click(Control::Label1);
    ASSERT_EQ(sim.Popups().size(), 1u);
    const PopupItem& root = sim.Popups()[0].root;
    for (const char* greyed : {"quillmoor idle", "idle off", "idle pause", "set password", "enable re-enter",
                               "set room name", "resume dl", "resume ul"}) {
        ASSERT_NE(Shown(root, greyed), nullptr) << greyed;
        EXPECT_FALSE(Shown(root, greyed)->enabled) << greyed;
    }
    for (const char* caption : {"handle: ", "interval: 1", "color 1: 000000", "color 2: 0000ff",
                                "font: arial narrow", "ascii 1: qlR -", "ascii 2: qlR -", "ascii 3: qlR -"})
        EXPECT_NE(Shown(root, caption), nullptr) << caption;
    EXPECT_NE(Shown(root, "color: 0000ff"), nullptr);
    for (const char* unchecked : {"insert dl/ul stats", "enable dcp", "enable auto upchat"})
        EXPECT_FALSE(Shown(root, unchecked)->checked) << unchecked;
    EXPECT_EQ(sim.FileBytes("C:\\quillmoor\\quillmoor.dat"), "");  // defaults are never written back
}

TEST_F(Menu, StoredSettingsBecomeCaptionsAndCheckMarksOnlyForAnExactYes) {
    Settings("[handle]\r\nHANDLE=Joe & Co\r\n[interval]\r\nINTERVAL=05\r\n[insert]\r\nDL/UL=yes\r\n"
             "[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=Yes\r\nRESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n"
             "[upchat]\r\nAUTO UPCHAT=YES\r\n[color]\r\nCOLOR 1=ff0000\r\n[ascii 2]\r\nASCII=~*~\r\n"
             "COLOR=123456\r\nFONT=courier\r\n[aol]\r\nVERSION=7.0\r\n");
    ASSERT_TRUE(program.Start());
    std::vector<std::string> tree = Tree();
    auto line = [&](const std::string& name) {
        for (const std::string& l : tree)
            if (l.find(" " + name + " \"") != std::string::npos || l.rfind(name + " \"", 0) == 0) return l;
        return std::string("<missing>");
    };
    EXPECT_EQ(line("handle"), "    handle \"handle: Joe & Co\"");
    EXPECT_EQ(line("interval"), "    interval \"interval: 05\"");
    EXPECT_EQ(line("insertdlul"), "    insertdlul \"insert dl/ul stats\" (checked)");
    EXPECT_EQ(line("enabledcp"), "    enabledcp \"enable dcp\" (checked)");
    EXPECT_EQ(line("setpassword"), "    setpassword \"set password\"");
    EXPECT_EQ(line("enablereenterroom"), "    enablereenterroom \"enable re-enter\"");  // "Yes" is not "yes"
    EXPECT_EQ(line("setroom"), "    setroom \"set room name\"");
    EXPECT_EQ(line("resumedl"), "    resumedl \"resume dl\" (checked)");
    EXPECT_EQ(line("resumeul"), "    resumeul \"resume ul\" (checked)");
    EXPECT_EQ(line("enableautoupchat"), "    enableautoupchat \"enable auto upchat\"");
    EXPECT_EQ(line("color1"), "    color1 \"color 1: ff0000\"");
    EXPECT_EQ(line("ascii2"), "    ascii2 \"ascii 2: ~*~\"");
    EXPECT_EQ(line("ascii2color"), "    ascii2color \"color: 123456\"");
    EXPECT_EQ(line("ascii2font"), "    ascii2font \"font: courier\"");
    EXPECT_EQ(line("ascii3font"), "    ascii3font \"font: arial narrow\"");
    EXPECT_EQ(line("aolversion"), "    aolversion \"aol version: 7.0\"");
    EXPECT_TRUE(program.form1.Timer2.Enabled());
    EXPECT_FALSE(program.form1.Timer3.Enabled());
}

TEST_F(Menu, UnknownStoredVersionMeansAuto) {
    Settings("[aol]\r\nVERSION=9.0\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form2.Item("aolversion").caption, "aol version: auto");
    EXPECT_EQ(program.version.setting, "");
}

TEST_F(Menu, ChosenItemRunsItsHandlerOnceTheMenuClosed) {
    ASSERT_TRUE(program.Start());
    std::vector<std::string> ran;
    form2.Item("bragidlestats").Click = [&] { ran.push_back("brag"); };
    form2.Item("idleoff").Click = [&] { ran.push_back("idle off"); };
    sim.ScriptPopup({"idle options", "brag idle stats"});
    sim.ScriptPopup({"idle options", "idle off"});  // greyed: cannot be chosen
    sim.ScriptPopup({"cancel"});
    sim.ScriptPopup({});  // closed without a choice
    for (int i = 0; i < 4; ++i) sim.MainModel()->Click(Control::Label1);
    EXPECT_EQ(ran, std::vector<std::string>{"brag"});
    ASSERT_EQ(sim.Popups().size(), 4u);
    EXPECT_EQ(sim.Popups()[2].chosen, form2.Item("cancel").id);
}

}  // namespace
}  // namespace qm
