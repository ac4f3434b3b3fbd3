// Another program's text controls read from their end: the whole text when
// it fits the bound, else its newest whole lines within it; a line the
// control wrapped stays with its paragraph.  Also the wall clock, the last
// input and the file rename the away log relies on.
#include <string>

#include "tests/contract/contract_test.h"

namespace qm::contract {
namespace {

class TextTail : public ContractTest, public ::testing::WithParamInterface<TextControl> {
protected:
    Hwnd Control(const std::string& text, int width = 2000) {
        const Hwnd made = MakeTextControl(GetParam(), text, width);
        controls_.push_back(made);
        return made;
    }
    void TearDown() override {
        for (Hwnd made : controls_) DestroyWindow(made);
        ContractTest::TearDown();
    }

private:
    std::vector<Hwnd> controls_;
};

// "line 000" ... : 8 bytes a line, CR LF between.
std::string Lines(int from, int to) {
    std::string text;
    for (int i = from; i < to; ++i) {
        const std::string n = std::to_string(i);
        text += (i > from ? "\r\nline " : "line ") + std::string(3 - n.size(), '0') + n;
    }
    return text;
}

TEST_P(TextTail, WholeTextWhenItFits) {
    const std::string text = Lines(0, 5);
    const Hwnd control = Control(text);
    EXPECT_EQ(p.GetTextTail(control, static_cast<int>(text.size())), text);
    EXPECT_EQ(p.GetTextTail(control, 65536), text);
    EXPECT_EQ(p.GetTextTail(Control(""), 100), "");
    EXPECT_EQ(p.GetTextTail(0, 100), "");
}

// 200 lines, 1998 bytes: 95 bytes hold the last 9 (88 bytes); a bound
// shorter than the last line gives "".
TEST_P(TextTail, NewestWholeLinesWithinTheBound) {
    const Hwnd control = Control(Lines(0, 200));
    EXPECT_EQ(p.GetTextTail(control, 95), Lines(191, 200));
    EXPECT_EQ(p.GetTextTail(control, 98), Lines(190, 200));
    EXPECT_EQ(p.GetTextTail(control, 1997), Lines(1, 200));
    EXPECT_EQ(p.GetTextTail(control, 8), Lines(199, 200));
    EXPECT_EQ(p.GetTextTail(control, 7), "");
}

// Paragraphs far wider than the control: its wrapped lines are read whole
// with their paragraph, and a paragraph that does not fit whole is left out.
TEST_P(TextTail, WrappedParagraphsStayWhole) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i) + " ";
    const std::string first = "first " + words, second = "second " + words, third = "third " + words + "end";
    const std::string text = first + "\r\n" + second + "\r\n" + third;
    const Hwnd control = Control(text, 120);
    EXPECT_EQ(p.GetTextTail(control, static_cast<int>(text.size())), text);
    EXPECT_EQ(p.GetTextTail(control, static_cast<int>(text.size()) - 1), second + "\r\n" + third);
    EXPECT_EQ(p.GetTextTail(control, static_cast<int>(second.size() + third.size()) + 1), third);
    EXPECT_EQ(p.GetTextTail(control, static_cast<int>(third.size()) - 1), "");
}

TEST_P(TextTail, GoneWindowIsUnknown) {
    const Hwnd control = MakeTextControl(GetParam(), Lines(0, 3), 2000);
    DestroyWindow(control);
    EXPECT_EQ(p.GetTextTail(control, 100), std::nullopt);
    EXPECT_EQ(p.GetTextTail(control, 5), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Controls, TextTail, ::testing::Values(TextControl::Edit, TextControl::RichEdit),
                         [](const ::testing::TestParamInfo<TextControl>& info) {
                             return info.param == TextControl::Edit ? "Edit" : "RichEdit";
                         });

using AwayContract = ContractTest;

TEST_F(AwayContract, WallClockAndLastInputArePlausible) {
    const LocalTime t = p.LocalNow();
    EXPECT_GE(t.year, 2000);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31) << t.month << "/" << t.day;
    EXPECT_TRUE(t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 61);
    const std::optional<double> since = p.SecondsSinceInput();
    ASSERT_TRUE(since.has_value());
    EXPECT_GE(*since, 0.0);
}

}  // namespace
}  // namespace qm::contract
