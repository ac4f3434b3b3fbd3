// The portable INI reader/writer beyond what the cross-backend contract
// covers: exact bytes where the Windows services rewrite whole files.
#include "platform/sim/ini.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(Ini, ReadCutsToTheBuffer) {
    EXPECT_EQ(ini::Read("[s]\r\nk=abcdef\r\n", "s", "k", 4), "abc");
    EXPECT_EQ(ini::Read("[s]\r\nk=abcdef\r\n", "s", "k", 1), "");
    EXPECT_EQ(ini::Read("[s]\r\nk=abcdef\r\n", "s", "k", 0), "");
}

TEST(Ini, QuotesAreDroppedBeforeTheCut) {
    EXPECT_EQ(ini::Read("[s]\r\nk=\"abcdef\"\r\n", "s", "k", 4), "abc");
}

TEST(Ini, EntriesBeforeTheFirstSectionBelongToNone) {
    EXPECT_EQ(ini::Read("k=1\r\n[s]\r\nj=2\r\n", "s", "k", 750), "");
    EXPECT_EQ(ini::Read("k=1\r\n[s]\r\nj=2\r\n", "", "k", 750), "");
}

TEST(Ini, SectionNamesAreTrimmedInsideTheBrackets) {
    EXPECT_EQ(ini::Read("  [ stats ]  \r\nday=3\r\n", "stats", "day", 750), "3");
}

TEST(Ini, UnclosedBracketIsNotASection) {
    EXPECT_EQ(ini::Read("[s]\r\n[t\r\nk=1\r\n", "t", "k", 750), "");
    EXPECT_EQ(ini::Read("[s]\r\n[t\r\nk=1\r\n", "s", "k", 750), "1");
}

TEST(Ini, LineWithoutEqualsIsAnEntryWithoutValue) {
    const std::string file = "[s]\r\nflag\r\nk=1\r\n";
    EXPECT_EQ(ini::Read(file, "s", "flag", 750), "");
    EXPECT_EQ(ini::Write(file, "s", "FLAG", "on"), "[s]\r\nflag=on\r\nk=1\r\n");
}

TEST(Ini, WriteKeepsEveryOtherLineByteForByte) {
    const std::string file = "; top\n\n[stats]\nday=3\n\n[color]  \r\ncolor 1 = 000000\t\r\n";
    EXPECT_EQ(ini::Write(file, "stats", "DAY", "4"), "; top\n\n[stats]\nday=4\n\n[color]  \r\ncolor 1 = 000000\t\r\n");
    EXPECT_EQ(ini::Write(file, "stats", "HOUR", "1"),
              "; top\n\n[stats]\nday=3\nHOUR=1\r\n\n[color]  \r\ncolor 1 = 000000\t\r\n");
    EXPECT_EQ(ini::Write(file, "color", "COLOR 1", "ff0000"), "; top\n\n[stats]\nday=3\n\n[color]  \r\ncolor 1=ff0000\r\n");
}

TEST(Ini, WriteAfterALastLineWithoutLineEnd) {
    EXPECT_EQ(ini::Write("[s]\r\nk=1", "s", "J", "2"), "[s]\r\nk=1\r\nJ=2\r\n");
    EXPECT_EQ(ini::Write("[s]\r\nk=1", "t", "J", "2"), "[s]\r\nk=1\r\n[t]\r\nJ=2\r\n");
    EXPECT_EQ(ini::Write("[s]", "s", "J", "2"), "[s]\r\nJ=2\r\n");
}

TEST(Ini, WriteIntoEmptySectionAtTheEnd) {
    EXPECT_EQ(ini::Write("[a]\r\nk=1\r\n[s]\r\n", "s", "J", "2"), "[a]\r\nk=1\r\n[s]\r\nJ=2\r\n");
}

}  // namespace
}  // namespace qm
