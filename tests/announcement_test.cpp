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

// The program's tests pin every kind's text, but mostly with decorations
// that look alike; the idle transfer line is pinned below.
TEST(Announcement, RunsTakeTheirFieldsAndAMissingValueReadsAsEmpty) {
    const AnnouncementStyle s = Marked();
    const struct {
        Announcement kind;
        std::vector<LineValue> values;
        std::string expected;
    } cases[] = {
        {Announcement::EntryLine1, {}, Head(1) + "quillmoor idle \xB7 enter: <font color=#C2>H"},
        {Announcement::DcpReenter, {}, Head(1) + "quillmoor idle \xB7 <font color=#C2>dcp re-enter"},
        {Announcement::TransferReport2, {"7"},
         Head(2) + "completed: <font color=#C2>7<font color=#C1>% \xB7 min left: <font color=#C2>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeAnnouncement(c.kind, s, c.values), c.expected) << "kind " << static_cast<int>(c.kind);
}

// Empty style values keep every literal piece; values go in unescaped.
TEST(Announcement, LiteralPiecesAndValuesAsTheyStand) {
    EXPECT_EQ(ComposeAnnouncement(Announcement::IdleReason, AnnouncementStyle{}, {""}),
              "</b></u></i></s><font face=\"\" color=#> <font face=\"\" color=#>re: <font color=#>");
    AnnouncementStyle s = Marked();
    s.handle = "<b>joe\"";
    EXPECT_EQ(ComposeAnnouncement(Announcement::ExitLine1, s),
              Head(1) + "quillmoor idle \xB7 exit: <font color=#C2><b>joe\"");
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
