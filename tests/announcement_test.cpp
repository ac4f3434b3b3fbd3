#include "app/announcement.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Every field distinct, so a piece taken from the wrong field shows.
AnnouncementStyle Marked() {
    AnnouncementStyle s;
    s.handle = "H", s.color1 = "C1", s.color2 = "C2", s.font = "F";
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        s.ascii[i] = {"A" + n, "K" + n, "F" + n};
    }
    return s;
}

std::string Head(int n) {
    const std::string d = std::to_string(n);
    return "</b></u></i></s><font face=\"F" + d + "\" color=#K" + d + ">A" + d + " <font face=\"F\" color=#C1>";
}

TEST(Announcement, EveryKindTakesItsDecorationTitleAndRuns) {
    const AnnouncementStyle s = Marked();
    const std::string clock = "<font color=#C2>d<font color=#C1>d : <font color=#C2>h<font color=#C1>h : "
                              "<font color=#C2>m<font color=#C1>m";
    const std::string versionTotal = "<font color=#C2>v<font color=#C1> \xB7 stats: " + clock;
    const std::string idle = "quillmoor idle \xB7 ";
    const struct {
        Announcement kind;
        std::vector<LineValue> values;
        std::string expected;
    } cases[] = {
        {Announcement::EntryLine1, {}, Head(1) + idle + "enter: <font color=#C2>H"},
        {Announcement::EntryLine2, {"v", "d", "h", "m"}, Head(2) + "aol: " + versionTotal},
        {Announcement::ExitLine1, {}, Head(1) + idle + "exit: <font color=#C2>H"},
        {Announcement::ExitLine2, {"v", "d", "h", "m"}, Head(2) + "aol: " + versionTotal},
        {Announcement::IdleClock, {"d", "h", "m"}, Head(1) + idle + clock},
        {Announcement::IdleReason, {"brb"}, Head(2) + "re: <font color=#C2>brb"},
        {Announcement::IdleTransfer, {"a.zip", "45", "3"},
         Head(3) + "file: <font color=#C2>a.zip<font color=#C1> \xB7 <font color=#C2>45<font color=#C1>% \xB7 "
                   "<font color=#C2>3<font color=#C1>ml"},
        {Announcement::IdleOn, {"5"},
         Head(1) + idle + "<font color=#C2>idle on<font color=#C1> \xB7 interval: <font color=#C2>5"},
        {Announcement::IdleOff, {}, Head(1) + idle + "<font color=#C2>idle off"},
        {Announcement::IdlePaused, {}, Head(1) + idle + "<font color=#C2>idle paused"},
        {Announcement::IdleUnpaused, {}, Head(1) + idle + "<font color=#C2>idle unpaused"},
        {Announcement::SetInterval, {"15"}, Head(1) + idle + "set idle interval: <font color=#C2>15"},
        {Announcement::StatsLine1, {}, Head(1) + idle + "<font color=#C2>H<font color=#C1>'s stats"},
        {Announcement::StatsLine2, {"d", "h", "m"}, Head(2) + "total idled: " + clock},
        {Announcement::EditReasons, {}, Head(1) + idle + "<font color=#C2>edit reasons"},
        {Announcement::DcpReenter, {}, Head(1) + idle + "<font color=#C2>dcp re-enter"},
        {Announcement::AutoUpchat, {}, Head(1) + idle + "<font color=#C2>auto upchat"},
        {Announcement::TransferReport1, {"a.zip"}, Head(1) + "file: <font color=#C2>a.zip"},
        {Announcement::TransferReport2, {"45", "3"},
         Head(2) + "completed: <font color=#C2>45<font color=#C1>% \xB7 min left: <font color=#C2>3"},
        // A value missing reads as empty.
        {Announcement::TransferReport2, {"7"},
         Head(2) + "completed: <font color=#C2>7<font color=#C1>% \xB7 min left: <font color=#C2>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeAnnouncement(c.kind, s, c.values), c.expected) << "kind " << static_cast<int>(c.kind);
}

// Empty style values keep every literal piece; values go in unescaped; the
// style is taken afresh for each line.
TEST(Announcement, LiteralPiecesValuesAndStyleAsTheyStand) {
    EXPECT_EQ(ComposeAnnouncement(Announcement::IdleReason, AnnouncementStyle{}, {""}),
              "</b></u></i></s><font face=\"\" color=#> <font face=\"\" color=#>re: <font color=#>");
    AnnouncementStyle s = Marked();
    s.handle = "<b>joe\"";
    EXPECT_EQ(ComposeAnnouncement(Announcement::ExitLine1, s),
              Head(1) + "quillmoor idle \xB7 exit: <font color=#C2><b>joe\"");
    s.color2 = "ff00ff";
    EXPECT_EQ(ComposeAnnouncement(Announcement::TransferReport1, s, {"a"}), Head(1) + "file: <font color=#ff00ff>a");
}

TEST(Announcement, ReadersRunOncePerValueInLineOrder) {
    std::string order;
    auto reader = [&](const char* name) {
        return [&order, name] { return order += name, std::string(name); };
    };
    const std::string line =
        ComposeAnnouncement(Announcement::IdleTransfer, Marked(), {reader("f"), reader("p"), reader("m")});
    EXPECT_EQ(order, "fpm");
    EXPECT_EQ(line, Head(3) + "file: <font color=#C2>f<font color=#C1> \xB7 <font color=#C2>p<font color=#C1>% \xB7 "
                              "<font color=#C2>m<font color=#C1>ml");
}

}  // namespace
}  // namespace qm
