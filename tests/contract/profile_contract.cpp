// The settings store behaves the same on every backend: the profile services
// of Windows and the portable INI reader/writer of the simulated platform run
// these cases and must agree.
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "tests/contract/contract_backend.h"

namespace qm {
namespace {

class ProfileContract : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        file_ = contract::NewFolder(info->name()) + "\\quillmoor.dat";
    }
    Platform& P() { return contract::TestPlatform(); }
    void Put(const std::string& bytes) { ASSERT_TRUE(P().WriteFile(file_, bytes)); }
    std::string Bytes() { return P().ReadFile(file_, 1 << 20).value_or("<missing>"); }
    std::string Read(const std::string& section, const std::string& key) {
        return ReadSetting(P(), section, key, file_);
    }
    void Write(const std::string& section, const std::string& key, const std::string& value) {
        WriteSetting(P(), section, key, value, file_);
    }
    std::string file_;
};

TEST_F(ProfileContract, MissingFileReadsEmpty) {
    EXPECT_EQ(Read("stats", "day"), "");
    EXPECT_EQ(Bytes(), "<missing>");
}

TEST_F(ProfileContract, NamesMatchInAnyLetterCase) {
    Put("[STATS]\r\nDay=3\r\n");
    EXPECT_EQ(Read("stats", "day"), "3");
    EXPECT_EQ(Read("Stats", "DAY"), "3");
}

TEST_F(ProfileContract, MissingSectionOrKeyReadsEmpty) {
    Put("[stats]\r\nday=3\r\n");
    EXPECT_EQ(Read("color", "day"), "");
    EXPECT_EQ(Read("stats", "hour"), "");
}

TEST_F(ProfileContract, FirstWriteCreatesFileSectionAndUpperCaseKey) {
    Write("dcp", "auto dcp", "yes");
    EXPECT_EQ(Bytes(), "[dcp]\r\nAUTO DCP=yes\r\n");
    EXPECT_EQ(Read("dcp", "auto dcp"), "yes");
}

TEST_F(ProfileContract, RewritingAKeyReplacesItInPlace) {
    Write("dcp", "auto dcp", "yes");
    Write("dcp", "auto dcp", "no");
    EXPECT_EQ(Bytes(), "[dcp]\r\nAUTO DCP=no\r\n");
}

TEST_F(ProfileContract, ExistingEntryKeepsItsNameAndPlace) {
    Put("[stats]\r\nDay=3\r\nhour=4\r\n[color]\r\ncolor 1=000000\r\n");
    Write("stats", "day", "5");
    EXPECT_EQ(Bytes(), "[stats]\r\nDay=5\r\nhour=4\r\n[color]\r\ncolor 1=000000\r\n");
}

TEST_F(ProfileContract, NewKeyGoesAtTheEndOfItsSection) {
    Put("[stats]\r\nday=3\r\n[color]\r\ncolor 1=000000\r\n");
    Write("stats", "minute", "7");
    EXPECT_EQ(Bytes(), "[stats]\r\nday=3\r\nMINUTE=7\r\n[color]\r\ncolor 1=000000\r\n");
}

TEST_F(ProfileContract, NewSectionGoesAtTheEndOfTheFile) {
    Put("; kept as it was\r\n[stats]\r\nday=3\r\n");
    Write("font", "font", "arial");
    EXPECT_EQ(Bytes(), "; kept as it was\r\n[stats]\r\nday=3\r\n[font]\r\nFONT=arial\r\n");
}

TEST_F(ProfileContract, LongValueIsCutTo749Bytes) {
    const std::string value(800, 'v');
    Write("ascii 1", "ascii", value);
    EXPECT_EQ(Read("ascii 1", "ascii"), value.substr(0, 749));
}

TEST_F(ProfileContract, QuotesAndBlanksAroundAValueAreDropped) {
    Put("[s]\r\ndouble=\"quoted value\"\r\nsingle='x'\r\nblanks=  \t a b \t \r\nlone=\"\r\n"
        "mixed='a\"\r\ninner=\"a\"b\"\r\n");
    EXPECT_EQ(Read("s", "double"), "quoted value");
    EXPECT_EQ(Read("s", "single"), "x");
    EXPECT_EQ(Read("s", "blanks"), "a b");
    EXPECT_EQ(Read("s", "lone"), "\"");
    EXPECT_EQ(Read("s", "mixed"), "'a\"");
    EXPECT_EQ(Read("s", "inner"), "a\"b");
}

TEST_F(ProfileContract, ATrailingBlankIsStoredButNotReadBack) {
    Write("ascii 2", "ascii", "qlR - ");
    EXPECT_EQ(Bytes(), "[ascii 2]\r\nASCII=qlR - \r\n");
    EXPECT_EQ(Read("ascii 2", "ascii"), "qlR -");
}

TEST_F(ProfileContract, ValueMayHoldEqualsSigns) {
    Write("dcp", "room", "aol://2719:2-2-a=b");
    EXPECT_EQ(Read("dcp", "room"), "aol://2719:2-2-a=b");
}

TEST_F(ProfileContract, FirstOfDuplicateSectionsAndKeysCounts) {
    Put("[a]\r\nk=1\r\nk=2\r\n[b]\r\nk=3\r\n[a]\r\nk=4\r\nj=5\r\n");
    EXPECT_EQ(Read("a", "k"), "1");
    EXPECT_EQ(Read("a", "j"), "");
    Write("a", "k", "9");
    Write("a", "j", "8");
    EXPECT_EQ(Bytes(), "[a]\r\nk=9\r\nk=2\r\nJ=8\r\n[b]\r\nk=3\r\n[a]\r\nk=4\r\nj=5\r\n");
}

TEST_F(ProfileContract, LineFeedOnlyFilesReadAndWrite) {
    Put("[stats]\nday=3\nhour=4\n[color]\ncolor 1=00ff00\n");
    EXPECT_EQ(Read("stats", "hour"), "4");
    EXPECT_EQ(Read("color", "color 1"), "00ff00");
    Write("stats", "hour", "5");
    Write("stats", "minute", "6");
    EXPECT_EQ(Read("stats", "day"), "3");
    EXPECT_EQ(Read("stats", "hour"), "5");
    EXPECT_EQ(Read("stats", "minute"), "6");
    EXPECT_EQ(Read("color", "color 1"), "00ff00");
}

TEST_F(ProfileContract, FileWithoutFinalNewline) {
    Put("[stats]\r\nday=3");
    EXPECT_EQ(Read("stats", "day"), "3");
    Write("stats", "hour", "4");
    Write("color", "color 2", "ff00ff");
    EXPECT_EQ(Read("stats", "day"), "3");
    EXPECT_EQ(Read("stats", "hour"), "4");
    EXPECT_EQ(Read("color", "color 2"), "ff00ff");
}

TEST_F(ProfileContract, BlankLinesAndCommentsDoNotDisturbLookups) {
    Put("; settings\r\n\r\n[stats]\r\n\r\nday = 3\r\n\r\n[other]\r\nnote without equals\r\nx=1\r\n");
    EXPECT_EQ(Read("stats", "day"), "3");
    EXPECT_EQ(Read("other", "x"), "1");
    Write("stats", "hour", "2");
    EXPECT_EQ(Read("stats", "hour"), "2");
    EXPECT_EQ(Read("other", "x"), "1");
}

TEST_F(ProfileContract, HighBytesSurviveUnchanged) {
    const std::string value = "a\xB7" "b\xE9\xFF";
    Write("ascii 1", "ascii", value);
    EXPECT_EQ(Read("ascii 1", "ascii"), value);
    EXPECT_EQ(Bytes(), "[ascii 1]\r\nASCII=" + value + "\r\n");
}

TEST_F(ProfileContract, EmptyValueIsWrittenAsAnEmptyEntry) {
    Write("stats", "hour", "");
    EXPECT_EQ(Bytes(), "[stats]\r\nHOUR=\r\n");
    EXPECT_EQ(Read("stats", "hour"), "");
}

TEST_F(ProfileContract, WriteIntoMissingFolderFailsSilently) {
    const std::string missing = contract::NewFolder("gone") + "\\no such folder\\quillmoor.pws";
    WriteSetting(P(), "dcp", "password", "secret", missing);
    EXPECT_EQ(ReadSetting(P(), "dcp", "password", missing), "");
    EXPECT_FALSE(P().FileExists(missing));
}

}  // namespace
}  // namespace qm
