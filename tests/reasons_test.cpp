// Idle reasons: the editor, whose working copy replaces the live list and the
// file only at "done edit", and the file, read within bounds.
#include <gtest/gtest.h>

#include "reasons/reasons_file.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

class Reasons : public Running {
protected:
    void Open(const char* reasons = "first\r\nsecond\r\nthird\r\n") {
        Start("", reasons);
        EditReasons();
        ASSERT_NE(sim.EditorModel(), nullptr);
    }
    void EditReasons() { Choose({"idle options", "edit reasons"}); }
    Texts Copy() const { return sim.EditorModel()->ListItems(); }
    void Select(int index) { sim.EditorModel()->Select(index); }
    // What loading these bytes adds to a list that holds one reason.
    Texts Load(const std::string& bytes, sim::SimPlatform::FileFlags flags = {}) {
        sim.SetFileBytes(kReasonsFile, bytes);
        sim.SetFileFlags(kReasonsFile, flags);
        ReasonList list;
        list.AddItem("before");
        reasons::LoadReasons(sim, kReasonsFile, list);
        return Texts(list.Items().begin() + 1, list.Items().end());
    }
};

TEST_F(Reasons, OpensFilledFromTheLiveListAndItsListOpensTheMenu) {
    Open();
    const Hwnd window = sim.EditorWindow();
    EXPECT_EQ(sim.TextOf(window), "reasons");
    EXPECT_TRUE(sim.Visible(window) && sim.Topmost(window));
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third"}));
    EXPECT_EQ(sim.EditorModel()->ListSelection(), -1);
    EXPECT_EQ(Lines(), Texts{Said("edit reasons")});
    const EditorWindowLayout& l = sim.EditorLayout();
    EXPECT_EQ((std::vector<int>{l.clientWidth, l.clientHeight, l.list.left, l.list.top, l.list.width, l.list.height}),
              (std::vector<int>{295, 71, 10, 7, 273, 58}));
    EXPECT_EQ(l.listBack, 0x00FF8080u);  // RGB 128, 128, 255
    EXPECT_EQ(l.listText, 0x00FFFFFFu);
    EXPECT_EQ(l.listTooltip, "right click for options");
    EditorWindowModel& model = *sim.EditorModel();
    model.MouseUp(Control::List1, MouseButton::Left);
    model.MouseUp(Control::Body, MouseButton::Right);
    model.MouseUp(Control::List1, MouseButton::Right);
    ASSERT_EQ(sim.Popups().size(), 2u);  // the main menu's, and this one
    const sim::PopupCall& opened = sim.Popups()[1];
    EXPECT_EQ(ShownMenus(opened.root),
              Texts{"options: add a reason | delete a reason | edit a reason | - | cancel | done edit"});
    EXPECT_EQ(opened.owner, window);
    EXPECT_EQ(std::to_string(opened.at.value().x) + "," + std::to_string(opened.at.value().y), "10,65");
    EXPECT_EQ(opened.defaultId, menus.Item("doneedit").id);
    model.MouseDown(Control::Body, MouseButton::Left);
    model.MouseDown(Control::Body, MouseButton::Right);
    model.MouseDown(Control::List1, MouseButton::Left);
    EXPECT_EQ(sim.DragCount(window), 2);
}

// Edit moves the reason to the end, and cancelled it stays removed; the live
// list waits.
TEST_F(Reasons, CommandsChangeTheWorkingCopy) {
    Open();
    for (const char* option : {"delete a reason", "edit a reason", "cancel"}) ChooseOption(option);
    EXPECT_TRUE(sim.Prompts().empty());
    Select(0);
    for (const auto& answer : {std::optional<std::string>("  second "), std::optional<std::string>("first"),
                               std::optional<std::string>(""), std::optional<std::string>()}) {
        sim.ScriptPrompt(answer);
        ChooseOption("add a reason");
    }
    EXPECT_EQ(Prompt(0), "add idle reason|enter an idle reason.|");
    EXPECT_EQ(Copy(), (Texts{"first", "second", "third", "  second ", "first"}));
    EXPECT_EQ(sim.EditorModel()->ListSelection(), 0);
    Select(1);
    ChooseOption("delete a reason");
    ChooseOption("delete a reason");
    EXPECT_EQ(Copy(), (Texts{"first", "third", "  second ", "first"}));
    EXPECT_EQ(sim.EditorModel()->ListSelection(), -1);
    Select(1);
    sim.ScriptPrompt("x");
    ChooseOption("edit a reason");
    EXPECT_EQ(Prompt(4), "edit idle reason|edit idle reason.|third");
    Select(0);
    sim.ScriptPrompt(std::nullopt);
    ChooseOption("edit a reason");
    EditReasons();
    EXPECT_EQ(Copy(), (Texts{"  second ", "first", "x"}));
    EXPECT_TRUE(sim.Visible(sim.EditorWindow()));
    EXPECT_EQ(form.List1.Items(), (Texts{"first", "second", "third"}));
    EXPECT_EQ(Lines(), Texts{Said("edit reasons")});
}

// A file that cannot be written still leaves the new list in use; exit saves
// nothing.
TEST_F(Reasons, DoneEditPutsTheCopyInUseSavesItAndHides) {
    Open();
    const Hwnd window = sim.EditorWindow();
    Select(0);
    ChooseOption("delete a reason");
    Answer("addareason", "eating, back soon");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.Items(), (Texts{"second", "third", "eating, back soon"}));
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "second\r\nthird\r\neating, back soon\r\n");
    EXPECT_FALSE(sim.Visible(window));
    EXPECT_EQ(Lines().size(), 1u);
    form.List1.AddItem("fifth");
    EditReasons();
    EXPECT_EQ(sim.EditorWindow(), window);
    EXPECT_TRUE(sim.Visible(window));
    EXPECT_EQ(Copy(), (Texts{"second", "third", "eating, back soon", "fifth"}));
    for (int i = 0; i < 4; ++i) Select(0), ChooseOption("delete a reason");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "");
    sim.SetFileFlags(kReasonsFile, {.readOnly = true});
    EditReasons();
    Answer("addareason", "new");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.Items(), Texts{"new"});
    EXPECT_FALSE(sim.Visible(window));
    sim.SetFileFlags(kReasonsFile, {});
    EditReasons();
    Answer("addareason", "unsaved");
    Choose({"exit"});
    EXPECT_FALSE(sim.Visible(window));
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "");
}

// A lone CR ends no line; a blank line is an empty reason.
TEST_F(Reasons, EachLineIsOneReasonExactlyAsWritten) {
    EXPECT_EQ(Load("brb\r\neating, back soon\r\n sleeping \r\n\"quoted\"\r\n\xB7 caf\xE9\r\n"),
              (Texts{"brb", "eating, back soon", " sleeping ", "\"quoted\"", "\xB7 caf\xE9"}));
    EXPECT_EQ(Load("a\nb\r\nc\rd\ne"), (Texts{"a", "b", "c\rd", "e"}));
    EXPECT_EQ(Load("\r\na\r\n\r\n"), (Texts{"", "a", ""}));
    EXPECT_EQ(Load(""), Texts{});
    EXPECT_EQ(Load("a\r\n", {.unreadable = true}), Texts{});
    Launch(std::nullopt);  // nor does it stop the start-up
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_TRUE(sim.Visible(form.Window()));
}

// Only whole lines: the line cut by a broken read or the size limit is not
// taken in part.
TEST_F(Reasons, ReadingIsBoundedAndTakesOnlyWholeLines) {
    std::string bytes;
    for (int i = 0; i < ReasonList::kMaxCount + 5; ++i) bytes += std::to_string(i) + "\r\n";
    Texts loaded = Load(bytes);
    EXPECT_EQ(loaded.size(), 32766u);
    EXPECT_EQ(loaded.back(), "32765");

    bytes.clear();
    for (int i = 0; i < 20000; ++i) bytes += "reason " + std::to_string(i) + "\r\n";
    loaded = Load(bytes, {.breaksAfter = reasons::kFirstReadBytes + 10});
    const std::string read = bytes.substr(0, reasons::kFirstReadBytes);
    ASSERT_EQ(loaded.size(), static_cast<std::size_t>(std::count(read.begin(), read.end(), '\n')));
    EXPECT_EQ(loaded.back(), "reason " + std::to_string(loaded.size() - 1));

    const std::string line = std::string(1000, 'x') + "\r\n";
    for (bytes.clear(); bytes.size() < reasons::kMaxFileBytes + line.size();) bytes += line;
    loaded = Load(bytes);
    EXPECT_EQ(loaded.size(), reasons::kMaxFileBytes / line.size());
    EXPECT_EQ(loaded.back(), std::string(1000, 'x'));
    bytes.resize(reasons::kMaxFileBytes - 1);
    EXPECT_EQ(Load(bytes + "z").back(), std::string(reasons::kMaxFileBytes % line.size() - 1, 'x') + "z");
}

// What did not fit in the list, or could not be read, outlives "done edit":
// the edited list takes the place of what was loaded, the rest follows.
TEST_F(Reasons, DoneEditKeepsWhatWasNotLoaded) {
    std::string lines;
    for (int i = 0; i < 40000; ++i) lines += std::to_string(i) + "\r\n";
    Open(lines.c_str());
    ASSERT_EQ(Copy().size(), static_cast<std::size_t>(ReasonList::kMaxCount));
    Select(0);
    ChooseOption("delete a reason");
    Answer("addareason", "new");
    ChooseOption("done edit");
    const std::size_t firstLine = std::string("0\r\n").size();
    const std::size_t kept = lines.find("32767\r\n");
    EXPECT_EQ(sim.FileBytes(kReasonsFile),
              lines.substr(firstLine, kept - firstLine) + "new\r\n" + lines.substr(kept));
    // Again: the part the list holds is now the one just written.
    EditReasons();
    Select(0);
    ChooseOption("delete a reason");
    ChooseOption("done edit");
    const std::size_t secondLine = firstLine + std::string("1\r\n").size();
    EXPECT_EQ(sim.FileBytes(kReasonsFile),
              lines.substr(secondLine, kept - secondLine) + "new\r\n" + lines.substr(kept));
}

TEST_F(Reasons, DoneEditKeepsTheFileBeyondTheReadLimit) {
    const std::string line = std::string(1000, 'x') + "\r\n";
    std::string bytes;
    int count = 0;
    while (bytes.size() < reasons::kMaxFileBytes + (std::size_t{1} << 20)) bytes += std::to_string(count++) + line;
    Open(bytes.c_str());
    ASSERT_LT(Copy().size(), static_cast<std::size_t>(count));
    Select(0);
    ChooseOption("delete a reason");
    ChooseOption("done edit");
    EXPECT_EQ(sim.FileBytes(kReasonsFile), bytes.substr(bytes.find('\n') + 1));
}

// A file that could not be read is not written over; once it reads again,
// the new reasons come first and all of it follows.
TEST_F(Reasons, DoneEditNeverWritesOverAFileThatCouldNotBeRead) {
    Client();
    sim.SetFileBytes(kReasonsFile, "mine\r\n");
    sim.SetFileFlags(kReasonsFile, {.unreadable = true});
    Launch(kDecorations);
    EXPECT_EQ(form.List1.ListCount(), 0);
    EditReasons();
    Answer("addareason", "new");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.Items(), Texts{"new"});
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "mine\r\n");
    sim.SetFileFlags(kReasonsFile, {});
    EditReasons();
    ChooseOption("done edit");
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "new\r\nmine\r\n");
    EditReasons();
    Answer("addareason", "newer");
    ChooseOption("done edit");
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "new\r\nnewer\r\nmine\r\n");
}

// Too large to be kept whole: left as it is rather than cut.
TEST_F(Reasons, DoneEditLeavesAFileTooLargeToKeep) {
    std::string bytes(reasons::kMaxKeptBytes + 1, 'x');
    bytes[10] = '\n';
    Open(bytes.c_str());
    EXPECT_EQ(Copy(), Texts{std::string(10, 'x')});
    Answer("addareason", "new");
    ChooseOption("done edit");
    EXPECT_EQ(form.List1.Items(), (Texts{std::string(10, 'x'), "new"}));
    EXPECT_EQ(sim.FileBytes(kReasonsFile)->size(), bytes.size());
}

TEST_F(Reasons, SavedListIsALineEachExactlyAsItStands) {
    ReasonList list;
    for (const char* r : {"brb", " sleeping", "a \"b\", c", ""}) list.AddItem(r);
    reasons::SaveReasons(sim, kReasonsFile, list);
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "brb\r\n sleeping\r\na \"b\", c\r\n\r\n");
}

}  // namespace
}  // namespace qm::testing
