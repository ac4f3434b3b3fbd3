// The reasons file: read back exactly as it was written, one reason a line,
// and never more than the list can hold or memory should carry.
#include "reasons/reasons_file.h"

#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

class ReasonsFile : public ::testing::Test {
protected:
    ReasonsFile() { sim.SetProgramFolder(kFolder); }
    Texts Load(const std::string& bytes, sim::SimPlatform::FileFlags flags = {}) {
        sim.SetFileBytes(kReasonsFile, bytes);
        sim.SetFileFlags(kReasonsFile, flags);
        ReasonList list;
        list.AddItem("before");
        reasons::LoadReasons(sim, kReasonsFile, list);
        Texts items = list.Items();
        items.erase(items.begin());
        return items;
    }
    sim::SimPlatform sim;
};

// CR LF or a lone LF ends a line, a lone CR does not; the last line may
// lack its end; a blank line is an empty reason; nothing else is touched.
TEST_F(ReasonsFile, EachLineIsOneReasonExactlyAsWritten) {
    EXPECT_EQ(Load("brb\r\neating, back soon\r\n sleeping \r\n\"quoted\"\r\n\xB7 caf\xE9\r\n"),
              (Texts{"brb", "eating, back soon", " sleeping ", "\"quoted\"", "\xB7 caf\xE9"}));
    EXPECT_EQ(Load("a\nb\r\nc\rd\ne"), (Texts{"a", "b", "c\rd", "e"}));
    EXPECT_EQ(Load("\r\na\r\n\r\n"), (Texts{"", "a", ""}));
    EXPECT_EQ(Load(""), Texts{});
    EXPECT_EQ(Load("a\r\n", {.unreadable = true}), Texts{});
}

TEST_F(ReasonsFile, LoadingStopsWhenTheListIsFull) {
    std::string bytes;
    for (int i = 0; i < ReasonList::kMaxCount + 5; ++i) bytes += std::to_string(i) + "\r\n";
    const Texts loaded = Load(bytes);
    ASSERT_EQ(loaded.size(), 32766u);  // after the one already there
    EXPECT_EQ(loaded.back(), "32765");
}

// A read that breaks midway leaves the whole lines read before it.
TEST_F(ReasonsFile, FileThatBreaksMidwayGivesTheLinesReadBefore) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += "reason " + std::to_string(i) + "\r\n";
    const Texts loaded = Load(bytes, {.breaksAfter = reasons::kFirstReadBytes + 10});
    const std::string read = bytes.substr(0, reasons::kFirstReadBytes);
    ASSERT_EQ(loaded.size(), static_cast<std::size_t>(std::count(read.begin(), read.end(), '\n')));
    EXPECT_EQ(loaded.back(), "reason " + std::to_string(loaded.size() - 1));
}

// Beyond the limit only its whole lines are read: the line it cuts is not
// taken in part.  A file of just the limit is read whole.
TEST_F(ReasonsFile, HugeFileIsReadOnlyToTheLimitInWholeLines) {
    const std::string line = std::string(1000, 'x') + "\r\n";
    std::string bytes;
    while (bytes.size() < reasons::kMaxFileBytes + line.size()) bytes += line;
    const Texts loaded = Load(bytes);
    EXPECT_EQ(loaded.size(), reasons::kMaxFileBytes / line.size());
    EXPECT_EQ(loaded.back(), std::string(1000, 'x'));
    bytes.resize(reasons::kMaxFileBytes - 1);
    bytes += "z";
    EXPECT_EQ(Load(bytes).back(), std::string(reasons::kMaxFileBytes % line.size() - 1, 'x') + "z");
}

TEST_F(ReasonsFile, SavedListIsOneLineEachEndedByCrLfAndReadsBack) {
    ReasonList list;
    for (const char* r : {"brb", "eating, back soon", " sleeping", ""}) list.AddItem(r);
    ASSERT_TRUE(reasons::SaveReasons(sim, kReasonsFile, list));
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "brb\r\neating, back soon\r\n sleeping\r\n\r\n");
    EXPECT_EQ(Load(*sim.FileBytes(kReasonsFile)), list.Items());
    ASSERT_TRUE(reasons::SaveReasons(sim, kReasonsFile, ReasonList{}));
    EXPECT_EQ(sim.FileBytes(kReasonsFile), "");
    EXPECT_FALSE(reasons::SaveReasons(sim, "C:\\gone\\quillmoor.rea", list));
}

TEST(StartUpReasons, UnreadableFileDoesNotStopStartUp) {
    sim::SimPlatform sim;
    sim.SetProgramFolder(kFolder);
    sim.SetFileBytes(kReasonsFile, "a\r\n");
    sim.SetFileFlags(kReasonsFile, {.unreadable = true});
    Program program(sim);
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.form1.List1.ListCount(), 0);
    EXPECT_TRUE(sim.Visible(program.form1.Window()));
}

}  // namespace
}  // namespace qm::testing
