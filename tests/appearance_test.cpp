// The thirteen appearance commands: their prompts, what they accept, and
// where an accepted answer goes (label, menu caption, settings file, the next
// line composed).
#include <gtest/gtest.h>

#include "app/program.h"
#include "app/settings.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

struct Case {
    const char* item;
    const char* title;
    const char* prompt;
    std::string Form1::*label;
    const char* prefix;
    const char* section;
    const char* key;
};

const char* const kHex = "enter a 6 digits hex.  # is not necessary.";

const Case kCases[] = {
    {"handle", "set handle", "enter a handle.", &Form1::lblHandle, "handle: ", "handle",
     "HANDLE"},
    {"color1", "set color 1", kHex, &Form1::lblColor1, "color 1: ", "color", "COLOR 1"},
    {"color2", "set color 2", kHex, &Form1::lblColor2, "color 2: ", "color", "COLOR 2"},
    {"font2", "set font", "enter a font type.", &Form1::lblFont, "font: ", "font", "FONT"},
    {"ascii1", "set ascii 1", "enter an ascii.", &Form1::lblAscii1, "ascii 1: ", "ascii 1",
     "ASCII"},
    {"ascii1color", "set ascii 1 color", kHex, &Form1::lblAscii1Color, "color: ", "ascii 1", "COLOR"},
    {"ascii1font", "set ascii 1 font", "enter a font type.", &Form1::lblAscii1Font, "font: ", "ascii 1",
     "FONT"},
    {"ascii2", "set ascii 2", "enter an ascii.", &Form1::lblAscii2, "ascii 2: ", "ascii 2",
     "ASCII"},
    {"ascii2color", "set ascii 2 color", kHex, &Form1::lblAscii2Color, "color: ", "ascii 2", "COLOR"},
    {"ascii2font", "set ascii 2 font", "enter a font type.", &Form1::lblAscii2Font, "font: ", "ascii 2",
     "FONT"},
    {"ascii3", "set ascii 3", "enter an ascii.", &Form1::lblAscii3, "ascii 3: ", "ascii 3",
     "ASCII"},
    {"ascii3color", "set ascii 3 color", kHex, &Form1::lblAscii3Color, "color: ", "ascii 3", "COLOR"},
    {"ascii3font", "set ascii 3 font", "enter a font type.", &Form1::lblAscii3Font, "font: ", "ascii 3",
     "FONT"},
};

class Appearance : public ::testing::Test {
protected:
    Appearance() {
        sim.SetProgramFolder("C:\\quillmoor");
        client.Start("8.0");
        client.SignOn("Joe");
        room = client.OpenRoom("Lobby");
    }
    void SetUp() override { ASSERT_TRUE(program.Start()); }
    // Runs the item's command with this answer (nullopt: cancelled).
    void Answer(const char* item, std::optional<std::string> answer) {
        sim.ScriptPrompt(std::move(answer));
        program.form2.Item(item).Click();
    }
    std::string File() { return sim.FileBytes("C:\\quillmoor\\quillmoor.dat").value_or("<none>"); }

    sim::SimPlatform sim;
    aolsim::SimClient client{sim};
    aolsim::Handle room = 0;
    Program program{sim};
};

TEST_F(Appearance, EveryCommandAsksWithItsOwnTitleAndText) {
    for (const Case& c : kCases) {
        Answer(c.item, std::nullopt);
        ASSERT_FALSE(sim.Prompts().empty());
        EXPECT_EQ(sim.Prompts().back().title, c.title) << c.item;
        EXPECT_EQ(sim.Prompts().back().prompt, c.prompt) << c.item;
        EXPECT_EQ(sim.Prompts().back().defaultText, "") << c.item;
    }
}

TEST_F(Appearance, AcceptedAnswerGoesToLabelCaptionAndFileAsTypedAndPostsNothing) {
    const std::size_t lines = client.Chat().size();
    for (const Case& c : kCases) {
        const std::string answer = std::string(" Ab") + c.item + "\xB7";  // kept as typed: blanks, case, high bytes
        const std::string value = std::string(c.item).find("color") == 0 ? "12345\xB7" : answer;
        Answer(c.item, value);
        EXPECT_EQ(program.form1.*c.label, value) << c.item;
        EXPECT_EQ(program.form2.Item(c.item).caption, c.prefix + value) << c.item;
        // Read back, a value loses the blanks around it.
        EXPECT_EQ(ReadSetting(sim, c.section, c.key, "C:\\quillmoor\\quillmoor.dat"),
                  value.substr(value.find_first_not_of(' ')))
            << c.item;
        EXPECT_NE(File().find(std::string(c.key) + "=" + value), std::string::npos) << c.item;
    }
    EXPECT_EQ(client.Chat().size(), lines);
}

TEST_F(Appearance, RefusedOrCancelledAnswersChangeNothing) {
    const std::string before = File();
    Answer("handle", "dorwick");
    Answer("handle", "");
    Answer("handle", std::nullopt);
    for (const char* item : {"color1", "color2"})
        for (const char* answer : {"#00ff00", "fff", "0000fff", ""}) Answer(item, answer);
    Answer("font2", std::nullopt);
    EXPECT_EQ(program.form1.lblHandle, "joe");
    EXPECT_EQ(program.form1.lblColor1, "000000");
    EXPECT_EQ(program.form1.lblColor2, "0000ff");
    EXPECT_EQ(program.form2.Item("color1").caption, "color 1: 000000");
    EXPECT_EQ(File(), before);
}

TEST_F(Appearance, OnlyTheTwoMainColoursDemandSixCharactersAndOnlyTheHandleRefusesAName) {
    Answer("handle", "Dorwick");
    EXPECT_EQ(program.form1.lblHandle, "Dorwick");
    Answer("color1", "zzzzzz");  // not hex, still six
    EXPECT_EQ(program.form1.lblColor1, "zzzzzz");
    Answer("ascii2color", "#00ff00");
    EXPECT_EQ(program.form1.lblAscii2Color, "#00ff00");
    Answer("ascii1", " ");
    EXPECT_EQ(program.form1.lblAscii1, " ");
    EXPECT_EQ(program.form2.Item("ascii1").caption, "ascii 1:  ");
    EXPECT_EQ(program.form2.Item("ascii2").caption, "ascii 2: qlR -");  // the others unchanged
}

TEST_F(Appearance, NextLineComposedUsesTheNewValues) {
    Answer("color2", "ff00ff");
    Answer("ascii1", "~*~");
    Answer("handle", "The Joe");
    program.chat.SendChatLine(ComposeAnnouncement(Announcement::EntryLine1, program.form1.Style()));
    EXPECT_EQ(client.Transcript("Lobby").back(),
              "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>~*~ <font face=\"arial narrow\" "
              "color=#000000>quillmoor idle \xB7 enter: <font color=#ff00ff>The Joe");
}

TEST_F(Appearance, StoredValuesComeBackAtTheNextStart) {
    Answer("font2", "tahoma");
    Answer("ascii3", "end ");  // its trailing blank is lost at the next start
    sim::SimPlatform again;
    again.SetProgramFolder("C:\\quillmoor");
    again.SetFileBytes("C:\\quillmoor\\quillmoor.dat", File());
    Program next{again};
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.form1.lblFont, "tahoma");
    EXPECT_EQ(next.form2.Item("font2").caption, "font: tahoma");
    EXPECT_EQ(next.form1.lblAscii3, "end");
}

}  // namespace
}  // namespace qm
