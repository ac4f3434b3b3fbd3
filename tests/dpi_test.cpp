// The windows' sizes at the screen's DPI: exact at 96, in proportion above,
// never below, and sane whatever the screen reports.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app/form1.h"
#include "platform/dpi.h"

namespace qm {
namespace {

std::vector<int> Numbers(const Rect& r) { return {r.left, r.top, r.width, r.height}; }
std::vector<int> Numbers(const MainWindowLayout& l) {
    std::vector<int> n{l.clientWidth, l.clientHeight};
    for (const Rect& r : {l.label1, l.label2})
        for (int v : Numbers(r)) n.push_back(v);
    return n;
}

TEST(Dpi, TheMainWindowIsExactlyItsDesignAt96) {
    EXPECT_EQ(Numbers(ScaleForDpi(kMainLayout, UsableDpi(96))),
              (std::vector<int>{116, 51, 8, 24, 17, 17, 32, 25, 73, 17}));
}

TEST(Dpi, TheMainWindowGrowsInProportionAtTheCommonSettings) {
    // 125 %, 150 %, 200 %
    EXPECT_EQ(Numbers(ScaleForDpi(kMainLayout, UsableDpi(120))),
              (std::vector<int>{145, 64, 10, 30, 21, 21, 40, 31, 91, 22}));
    EXPECT_EQ(Numbers(ScaleForDpi(kMainLayout, UsableDpi(144))),
              (std::vector<int>{174, 77, 12, 36, 26, 26, 48, 38, 110, 25}));
    EXPECT_EQ(Numbers(ScaleForDpi(kMainLayout, UsableDpi(192))),
              (std::vector<int>{232, 102, 16, 48, 34, 34, 64, 50, 146, 34}));
}

TEST(Dpi, ValuesRoundToTheNearestPixelEitherSide) {
    EXPECT_EQ(ScaleForDpi(1, 120), 1);    // 1.25
    EXPECT_EQ(ScaleForDpi(2, 144), 3);    // 3.0
    EXPECT_EQ(ScaleForDpi(3, 120), 4);    // 3.75
    EXPECT_EQ(ScaleForDpi(-3, 120), -4);  // as far below 0 as 3 is above
    EXPECT_EQ(ScaleForDpi(0, 960), 0);
}

TEST(Dpi, RectanglesThatTouchStillTouchWhenScaled) {
    // Two boxes side by side at 96 DPI: at 120 their edges round alike, so
    // no gap opens and neither covers the other.
    const Rect a{1, 1, 3, 3}, b{4, 1, 3, 3};
    const Rect sa = ScaleForDpi(a, 120), sb = ScaleForDpi(b, 120);
    EXPECT_EQ(sa.left + sa.width, sb.left);
    EXPECT_EQ(Numbers(sa), (std::vector<int>{1, 1, 4, 4}));
    EXPECT_EQ(Numbers(sb), (std::vector<int>{5, 1, 4, 4}));
}

TEST(Dpi, AScreenBelow96OrBeyondBeliefIsDrawnAt96) {
    EXPECT_EQ(UsableDpi(72), 96);
    EXPECT_EQ(UsableDpi(0), 96);
    EXPECT_EQ(UsableDpi(-144), 96);
    EXPECT_EQ(UsableDpi(961), 96);
    EXPECT_EQ(UsableDpi(960), 960);
    EXPECT_EQ(UsableDpi(97), 97);
}

TEST(Dpi, ASizeTooLargeToScaleStopsAtTheLargestNumber) {
    EXPECT_EQ(ScaleForDpi(INT_MAX, kMaxDpi), INT_MAX);
    EXPECT_EQ(ScaleForDpi(INT_MIN, kMaxDpi), INT_MIN);
    EXPECT_EQ(ScaleForDpi(INT_MAX / 10, kMaxDpi), INT_MAX / 10 * 10);
}

TEST(Dpi, TheEditorScalesItsSizeAndListButKeepsItsColoursAndTip) {
    EditorWindowLayout layout;
    layout.clientWidth = 295;
    layout.clientHeight = 71;
    layout.list = {10, 7, 273, 58};
    layout.listBack = 0x00112233;
    layout.listText = 0x00445566;
    layout.listTooltip = "right-click";
    const EditorWindowLayout at96 = ScaleForDpi(layout, 96), at144 = ScaleForDpi(layout, 144);
    EXPECT_EQ((std::vector<int>{at96.clientWidth, at96.clientHeight}), (std::vector<int>{295, 71}));
    EXPECT_EQ(Numbers(at96.list), (std::vector<int>{10, 7, 273, 58}));
    EXPECT_EQ((std::vector<int>{at144.clientWidth, at144.clientHeight}), (std::vector<int>{443, 107}));
    EXPECT_EQ(Numbers(at144.list), (std::vector<int>{15, 11, 410, 87}));
    EXPECT_EQ(at144.listBack, 0x00112233u);
    EXPECT_EQ(at144.listText, 0x00445566u);
    EXPECT_EQ(at144.listTooltip, "right-click");
}

}  // namespace
}  // namespace qm
