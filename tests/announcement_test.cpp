#include "app/announcement.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

AnnouncementStyle Defaults(const std::string& handle) {
    AnnouncementStyle s;
    s.handle = handle;
    s.color1 = "000000";
    s.color2 = "0000ff";
    s.font = "arial narrow";
    for (auto& d : s.ascii) d = {"qlR -", "0000ff", "arial narrow"};
    return s;
}

// Every field distinct, so a piece taken from the wrong field shows.
AnnouncementStyle Marked() {
    AnnouncementStyle s;
    s.handle = "H";
    s.color1 = "C1";
    s.color2 = "C2";
    s.font = "F";
    s.ascii[0] = {"A1", "K1", "F1"};
    s.ascii[1] = {"A2", "K2", "F2"};
    s.ascii[2] = {"A3", "K3", "F3"};
    return s;
}

std::string Head(int n) {
    const std::string d = std::to_string(n);
    return "</b></u></i></s><font face=\"F" + d + "\" color=#K" + d + ">A" + d + " <font face=\"F\" color=#C1>";
}

TEST(Announcement, EntryLineWithDefaultStyle) {
    EXPECT_EQ(ComposeAnnouncement(Announcement::EntryLine1, Defaults("dorwick")),
              "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" "
              "color=#000000>quillmoor idle \xB7 enter: <font color=#0000ff>dorwick");
}

TEST(Announcement, IdleClockLineWorkedExample) {
    AnnouncementStyle s = Defaults("x");
    s.ascii[0] = {"~", "000000", "arial"};
    s.font = "arial";
    EXPECT_EQ(ComposeAnnouncement(Announcement::IdleClock, s, {"0", "2", "5"}),
              "</b></u></i></s><font face=\"arial\" color=#000000>~ <font face=\"arial\" color=#000000>quillmoor "
              "idle \xB7 <font color=#0000ff>0<font color=#000000>d : <font color=#0000ff>2<font "
              "color=#000000>h : <font color=#0000ff>5<font color=#000000>m");
}

TEST(Announcement, BragLinesForJoe) {
    AnnouncementStyle s = Defaults("joe");
    const std::string head1 = "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font "
                              "face=\"arial narrow\" color=#000000>";
    EXPECT_EQ(ComposeAnnouncement(Announcement::StatsLine1, s),
              head1 + "quillmoor idle \xB7 <font color=#0000ff>joe<font color=#000000>'s stats");
    EXPECT_EQ(ComposeAnnouncement(Announcement::StatsLine2, s, {"2", "5", "7"}),
              head1 + "total idled: <font color=#0000ff>2<font color=#000000>d : <font color=#0000ff>5<font "
                      "color=#000000>h : <font color=#0000ff>7<font color=#000000>m");
}

TEST(Announcement, EveryKindTakesItsDecorationTitleAndRuns) {
    const AnnouncementStyle s = Marked();
    const std::string clock = "<font color=#C2>d<font color=#C1>d : <font color=#C2>h<font color=#C1>h : "
                              "<font color=#C2>m<font color=#C1>m";
    const std::string versionTotal = "<font color=#C2>v<font color=#C1> \xB7 stats: " + clock;
    struct Case {
        Announcement kind;
        std::vector<LineValue> values;
        std::string expected;
    };
    const Case cases[] = {
        {Announcement::EntryLine1, {}, Head(1) + "quillmoor idle \xB7 enter: <font color=#C2>H"},
        {Announcement::EntryLine2, {"v", "d", "h", "m"}, Head(2) + "aol: " + versionTotal},
        {Announcement::ExitLine1, {}, Head(1) + "quillmoor idle \xB7 exit: <font color=#C2>H"},
        {Announcement::ExitLine2, {"v", "d", "h", "m"}, Head(2) + "aol: " + versionTotal},
        {Announcement::IdleClock, {"d", "h", "m"}, Head(1) + "quillmoor idle \xB7 " + clock},
        {Announcement::IdleReason, {"brb"}, Head(2) + "re: <font color=#C2>brb"},
        {Announcement::IdleTransfer, {"a.zip", "45", "3"},
         Head(3) + "file: <font color=#C2>a.zip<font color=#C1> \xB7 <font color=#C2>45<font color=#C1>% \xB7 "
                   "<font color=#C2>3<font color=#C1>ml"},
        {Announcement::IdleOn, {"5"},
         Head(1) + "quillmoor idle \xB7 <font color=#C2>idle on<font color=#C1> \xB7 interval: <font color=#C2>5"},
        {Announcement::IdleOff, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>idle off"},
        {Announcement::IdlePaused, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>idle paused"},
        {Announcement::IdleUnpaused, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>idle unpaused"},
        {Announcement::SetInterval, {"15"}, Head(1) + "quillmoor idle \xB7 set idle interval: <font color=#C2>15"},
        {Announcement::StatsLine1, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>H<font color=#C1>'s stats"},
        {Announcement::StatsLine2, {"d", "h", "m"}, Head(2) + "total idled: " + clock},
        {Announcement::EditReasons, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>edit reasons"},
        {Announcement::DcpReenter, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>dcp re-enter"},
        {Announcement::AutoUpchat, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>auto upchat"},
        {Announcement::TransferReport1, {"a.zip"}, Head(1) + "file: <font color=#C2>a.zip"},
        {Announcement::TransferReport2, {"45", "3"},
         Head(2) + "completed: <font color=#C2>45<font color=#C1>% \xB7 min left: <font color=#C2>3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComposeAnnouncement(c.kind, s, c.values), c.expected) << "kind " << static_cast<int>(c.kind);
}

TEST(Announcement, AllStyleValuesEmptyKeepEveryLiteralPiece) {
    EXPECT_EQ(ComposeAnnouncement(Announcement::IdleReason, AnnouncementStyle{}, {""}),
              "</b></u></i></s><font face=\"\" color=#> <font face=\"\" color=#>re: <font color=#>");
}

TEST(Announcement, ValuesGoInUnescaped) {
    AnnouncementStyle s = Marked();
    s.handle = "<b>joe\"";
    EXPECT_EQ(ComposeAnnouncement(Announcement::ExitLine1, s), Head(1) + "quillmoor idle \xB7 exit: <font color=#C2><b>joe\"");
}

TEST(Announcement, StyleIsTakenPerLine) {
    AnnouncementStyle s = Marked();
    const std::string first = ComposeAnnouncement(Announcement::TransferReport1, s, {"a"});
    s.color2 = "ff00ff";
    const std::string second = ComposeAnnouncement(Announcement::TransferReport2, s, {"1", "2"});
    EXPECT_EQ(first, Head(1) + "file: <font color=#C2>a");
    EXPECT_EQ(second, Head(2) + "completed: <font color=#ff00ff>1<font color=#C1>% \xB7 min left: <font color=#ff00ff>2");
}

TEST(Announcement, ReadersRunOncePerValueInLineOrder) {
    std::string order;
    auto reader = [&](const char* name) {
        return [&order, name] {
            order += name;
            return std::string(name);
        };
    };
    const std::string line =
        ComposeAnnouncement(Announcement::IdleTransfer, Marked(), {reader("f"), reader("p"), reader("m")});
    EXPECT_EQ(order, "fpm");
    EXPECT_EQ(line, Head(3) + "file: <font color=#C2>f<font color=#C1> \xB7 <font color=#C2>p<font color=#C1>% \xB7 "
                              "<font color=#C2>m<font color=#C1>ml");
}

TEST(Announcement, MissingValuesReadAsEmpty) {
    EXPECT_EQ(ComposeAnnouncement(Announcement::TransferReport2, Marked(), {"7"}),
              Head(2) + "completed: <font color=#C2>7<font color=#C1>% \xB7 min left: <font color=#C2>");
}

}  // namespace
}  // namespace qm
