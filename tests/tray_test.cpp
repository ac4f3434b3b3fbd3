// The window command and the tray icon: to the tray and back, the record the
// shell gets byte by byte, and what the icon's mouse does.
#include <gtest/gtest.h>

#include "app/program.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

constexpr std::uint32_t kMouseMove = 0x0200, kLeftDown = 0x0201, kLeftUp = 0x0202, kLeftDoubleClick = 0x0203,
                        kRightDown = 0x0204, kRightUp = 0x0205;

class Tray : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(program.Start()); }
    void Choose(const std::string& caption) {
        sim.ScriptPopup({caption});
        sim.MainModel()->Click(Control::Label1);
    }
    static std::vector<std::uint8_t> Le32(std::uint32_t v) {
        return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
                static_cast<std::uint8_t>(v >> 24)};
    }
    std::vector<std::uint8_t> AddRecord() {
        std::vector<std::uint8_t> r;
        for (std::uint32_t v : {88u, sim.TrayWindow(), 1u, 7u, 0x0200u, 0u})
            for (std::uint8_t b : Le32(v)) r.push_back(b);
        const std::string tip = std::string("quillmoor idle by dorwick") + '\0' + std::string(38, ' ');
        r.insert(r.end(), tip.begin(), tip.end());
        return r;
    }
    std::string MinimizeCaption() { return program.form2.Item("minimize").caption; }

    sim::SimPlatform sim;
    Program program{sim};
    Hwnd main() { return program.form1.Window(); }
};

TEST_F(Tray, MinimizeAddsTheIconWithTheCaptionAsTipHidesTheWindowAndLeavesTheTaskList) {
    Choose("minimize");
    ASSERT_EQ(sim.TrayCalls().size(), 1u);
    EXPECT_EQ(sim.TrayCalls()[0].op, TrayOp::Add);
    EXPECT_EQ(sim.TrayCalls()[0].record, AddRecord());
    EXPECT_EQ(sim.TrayCalls()[0].record.size(), 88u);
    EXPECT_FALSE(sim.Visible(main()));
    EXPECT_FALSE(sim.TaskListEntry());
    EXPECT_EQ(MinimizeCaption(), "maximize");
}

TEST_F(Tray, MaximizeFromTheMenuRemovesTheIconAndShowsTheWindow) {
    Choose("minimize");
    Choose("maximize");
    ASSERT_EQ(sim.TrayCalls().size(), 2u);
    EXPECT_EQ(sim.TrayCalls()[1].op, TrayOp::Delete);
    // cbSize, window and id set again; the rest as the add left it.
    EXPECT_EQ(sim.TrayCalls()[1].record, AddRecord());
    EXPECT_TRUE(sim.Visible(main()));
    EXPECT_EQ(MinimizeCaption(), "minimize");
    EXPECT_FALSE(sim.TaskListEntry());  // out of the task list until the end
}

TEST_F(Tray, LeftDoubleClickRestoresRemovesTheIconAndResetsTheCaption) {
    Choose("minimize");
    sim.TrayMouse(kLeftDoubleClick);
    EXPECT_TRUE(sim.Visible(main()));
    EXPECT_FALSE(sim.Minimized(main()));
    EXPECT_EQ(sim.TrayCalls().back().op, TrayOp::Delete);
    EXPECT_EQ(MinimizeCaption(), "minimize");
}

TEST_F(Tray, RightButtonReleaseOpensTheMainMenuWithExitBoldAndNothingElseReacts) {
    Choose("minimize");
    const std::size_t popups = sim.Popups().size(), calls = sim.TrayCalls().size();
    for (std::uint32_t m : {kMouseMove, kLeftDown, kLeftUp, kRightDown}) sim.TrayMouse(m);
    EXPECT_EQ(sim.Popups().size(), popups);
    EXPECT_EQ(sim.TrayCalls().size(), calls);
    EXPECT_FALSE(sim.Visible(main()));
    sim.TrayMouse(kRightUp);
    ASSERT_EQ(sim.Popups().size(), popups + 1);
    const sim::PopupCall& opened = sim.Popups().back();
    EXPECT_EQ(opened.root.caption, "menu");
    EXPECT_EQ(opened.owner, sim.TrayWindow());
    EXPECT_FALSE(opened.at.has_value());  // beside the icon, where the pointer is
    EXPECT_EQ(opened.defaultId, program.form2.Item("exit").id);
}

TEST_F(Tray, RefusedIconLeavesTheWindowOnTheScreen) {
    sim.SetTrayRefuses(true);
    Choose("minimize");
    EXPECT_TRUE(sim.Visible(main()));
    EXPECT_TRUE(sim.TaskListEntry());
    EXPECT_EQ(MinimizeCaption(), "minimize");
    sim.SetTrayRefuses(false);
    Choose("minimize");
    EXPECT_FALSE(sim.Visible(main()));
    EXPECT_EQ(MinimizeCaption(), "maximize");
}

TEST_F(Tray, IconComesBackWhenTheTaskbarIsMadeAnew) {
    sim.TaskbarCreated();
    EXPECT_TRUE(sim.TrayCalls().empty());  // not in the tray: nothing to bring back
    Choose("minimize");
    sim.TaskbarCreated();
    ASSERT_EQ(sim.TrayCalls().size(), 2u);
    EXPECT_EQ(sim.TrayCalls()[1].op, TrayOp::Add);
    EXPECT_EQ(sim.TrayCalls()[1].record, AddRecord());
}

TEST_F(Tray, EndingInTheTrayLeavesNoIconBehind) {
    Choose("minimize");
    program.End();
    EXPECT_EQ(sim.TrayCalls().back().op, TrayOp::Delete);
    EXPECT_TRUE(sim.QuitCalled());
}

}  // namespace
}  // namespace qm
