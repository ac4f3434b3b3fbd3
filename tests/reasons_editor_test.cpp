// The reasons editor: its window, its menu and its commands on the working
// copy, which replaces the live list and the file only at "done edit".
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

class Editor : public Idling {
protected:
    void Open(const char* reasons = "first\r\nsecond\r\nthird\r\n") {
        Start("", reasons);
        Choose({"idle options", "edit reasons"});
        ASSERT_NE(sim.EditorModel(), nullptr);
    }
    Texts Copy() const { return sim.EditorModel()->ListItems(); }
    void Select(int index) { sim.EditorModel()->Select(index); }
    void Answer(std::optional<std::string> answer, const std::string& option) {
        sim.ScriptPrompt(std::move(answer));
        ChooseOption(option);
    }
};

TEST_F(Editor, OpensTopmostFilledFromTheLiveListAndSaysSo) {
    Open();
    const Hwnd window = sim.EditorWindow();
    EXPECT_EQ(sim.TextOf(window), "reasons");
    EXPECT_TRUE(sim.Visible(window));
    EXPECT_TRUE(sim.Topmost(window));
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third"}));
    EXPECT_EQ(sim.EditorModel()->ListSelection(), -1);
    EXPECT_EQ(Lines(), Texts{Said("edit reasons")});
    const EditorWindowLayout& layout = sim.EditorLayout();
    EXPECT_EQ(std::vector<int>({layout.clientWidth, layout.clientHeight, layout.list.left, layout.list.top,
                                layout.list.width, layout.list.height}),
              std::vector<int>({295, 71, 10, 7, 273, 58}));
    EXPECT_EQ(layout.listBack, 0x00FF8080u);  // RGB 128, 128, 255
    EXPECT_EQ(layout.listText, 0x00FFFFFFu);
    EXPECT_EQ(layout.listTooltip, "right click for options");
}

// Only a right-button release over the list opens the menu, just below the
// list with "done edit" bold; any button on the body moves the window.
TEST_F(Editor, MouseOpensTheMenuAndMovesTheWindow) {
    Open();
    EditorWindowModel& model = *sim.EditorModel();
    model.MouseUp(Control::List1, MouseButton::Left);
    model.MouseUp(Control::Body, MouseButton::Right);
    model.MouseUp(Control::List1, MouseButton::Right);
    ASSERT_EQ(sim.Popups().size(), 2u);
    const sim::PopupCall& opened = sim.Popups()[1];
    EXPECT_EQ(opened.root.caption, "options");
    EXPECT_EQ(opened.owner, sim.EditorWindow());
    EXPECT_EQ(opened.at.value().x, 10);
    EXPECT_EQ(opened.at.value().y, 65);
    EXPECT_EQ(opened.defaultId, menus.Item("doneedit").id);
    model.MouseDown(Control::Body, MouseButton::Left);
    model.MouseDown(Control::Body, MouseButton::Right);
    model.MouseDown(Control::List1, MouseButton::Left);
    EXPECT_EQ(sim.DragCount(sim.EditorWindow()), 2);
}

// Opening while shown keeps the changes and says nothing; after "done
// edit" the same window is refilled from the live list.
TEST_F(Editor, OpeningAgain) {
    Open();
    const Hwnd window = sim.EditorWindow();
    Answer("fourth", "add a reason");
    Choose({"idle options", "edit reasons"});
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third", "fourth"}));
    ChooseOption("done edit");
    form.List1.AddItem("fifth");
    Choose({"idle options", "edit reasons"});
    EXPECT_EQ(sim.EditorWindow(), window);
    EXPECT_TRUE(sim.Visible(window));
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third", "fourth", "fifth"}));
    EXPECT_EQ(Lines(), (Texts{Said("edit reasons"), Said("edit reasons")}));
}

// As typed, duplicates too, the selection kept; nothing or cancel adds
// nothing; the live list waits for "done edit".
TEST_F(Editor, AddAppendsTheAnswer) {
    Open();
    Select(0);
    Answer("  second ", "add a reason");
    Answer("first", "add a reason");
    Answer("", "add a reason");
    Answer(std::nullopt, "add a reason");
    const sim::PromptCall& prompt = sim.Prompts().at(0);
    EXPECT_EQ(prompt.title + "|" + prompt.prompt + "|" + prompt.defaultText, "add idle reason|enter an idle reason.|");
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third", "  second ", "first"}));
    EXPECT_EQ(sim.EditorModel()->ListSelection(), 0);
    EXPECT_EQ(form.List1.ListCount(), 3);
}

TEST_F(Editor, DeleteRemovesTheSelectedReasonAndTheSelection) {
    Open();
    Select(1);
    ChooseOption("delete a reason");
    ChooseOption("delete a reason");
    EXPECT_EQ(Copy(), (Texts{"first", "third"}));
    EXPECT_EQ(sim.EditorModel()->ListSelection(), -1);
}

// The edited reason moves to the end; cancelled, it stays removed.
TEST_F(Editor, EditTakesTheSelectedReasonOut) {
    Open();
    Select(1);
    Answer("x", "edit a reason");
    const sim::PromptCall& prompt = sim.Prompts().at(0);
    EXPECT_EQ(prompt.title + "|" + prompt.prompt + "|" + prompt.defaultText, "edit idle reason|edit idle reason.|second");
    EXPECT_EQ(Copy(), (Texts{"first", "third", "x"}));
    Select(0);
    Answer(std::nullopt, "edit a reason");
    EXPECT_EQ(Copy(), (Texts{"third", "x"}));
}

TEST_F(Editor, DeleteEditOrCancelWithoutASelectionDoNothing) {
    Open();
    ChooseOption("delete a reason");
    ChooseOption("edit a reason");
    ChooseOption("cancel");
    EXPECT_TRUE(sim.Prompts().empty());
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third"}));
    EXPECT_TRUE(sim.Visible(sim.EditorWindow()));
}

// The live list, then the file, then the editor goes; nothing is said.
TEST_F(Editor, DoneEditReplacesTheLiveListSavesAndHides) {
    Open();
    Select(0);
    ChooseOption("delete a reason");
    Answer("eating, back soon", "add a reason");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.Items(), (Texts{"second", "third", "eating, back soon"}));
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "second\r\nthird\r\neating, back soon\r\n");
    EXPECT_FALSE(sim.Visible(sim.EditorWindow()));
    EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(Editor, DoneEditWithAnEmptyListLeavesAnEmptyFile) {
    Open("only\r\n");
    Select(0);
    ChooseOption("delete a reason");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "");
}

// A save that fails still puts the new reasons in use and hides the editor.
TEST_F(Editor, DoneEditThatCannotSaveStillReplacesTheLiveList) {
    Open();
    sim.SetFileFlags(kReasonsFile, {.readOnly = true});
    Answer("new", "add a reason");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.ListCount(), 4);
    EXPECT_FALSE(sim.Visible(sim.EditorWindow()));
}

TEST_F(Editor, EditsReachTheAnnouncementsOnlyAtDoneEdit) {
    Open("a\r\n");
    IdleOn();
    Answer("b", "add a reason");
    Minutes(2);
    ChooseOption("done edit");
    Minutes(2);
    EXPECT_EQ(ReasonsSaid(), (Texts{"a", "a", "b", "a"}));
}

TEST_F(Editor, ExitHidesTheEditorAndSavesNothing) {
    Open();
    Answer("unsaved", "add a reason");
    Choose({"exit"});
    EXPECT_FALSE(sim.Visible(sim.EditorWindow()));
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "first\r\nsecond\r\nthird\r\n");
}

// What the user typed comes back after a restart exactly: commas, quotes
// and leading blanks included.
TEST(ReasonsRoundTrip, SavedReasonsComeBackAfterARestartAsTyped) {
    const Texts typed = {"brb", "eating, back soon", " sleeping", "\"quoted\"", "a \"b\", c", "\xB7 caf\xE9 \xB7"};
    sim::SimPlatform before, after;
    for (sim::SimPlatform* sim : {&before, &after}) sim->SetProgramFolder(kFolder);
    {
        Program program(before);
        ASSERT_TRUE(program.Start());
        program.form2.Item("editreasons").Click();
        for (const std::string& reason : typed) {
            before.ScriptPrompt(reason);
            program.form2.Item("addareason").Click();
        }
        program.form2.Item("doneedit").Click();
    }
    after.SetFileBytes(kReasonsFile, before.FileBytes(kReasonsFile).value());
    Program program(after);
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.form1.List1.Items(), typed);
}

}  // namespace
}  // namespace qm::testing
