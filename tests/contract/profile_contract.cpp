// The settings store behaves the same on every backend: the profile services
// of Windows and the portable INI reader/writer of the simulated platform run
// these cases and must agree.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "tests/contract/contract_backend.h"

namespace qm {
namespace {

struct Entry {
    std::string section, key, value;
};

// A settings file as it was (nullopt: missing), what reads give from it,
// the entries then written to it in order, what reads give afterwards, and
// its bytes at the end (nullopt: not compared).
struct Case {
    const char* name;
    std::optional<std::string> before;
    std::vector<Entry> reads, writes, readsAfter;
    std::optional<std::string> after;
};

TEST(ProfileContract, SettingsAreReadAndWrittenAsTheProfileServicesDo) {
    const std::string high = "a\xB7" "b\xE9\xFF";
    const Case cases[] = {
        {"missing file", std::nullopt, {{"stats", "day", ""}}, {}, {}, "<missing>"},
        {"names in any letter case; a missing section or key", "[STATS]\r\nDay=3\r\n",
         {{"stats", "day", "3"}, {"Stats", "DAY", "3"}, {"color", "day", ""}, {"stats", "hour", ""}}, {}, {},
         std::nullopt},
        {"file, section and upper-case key made; a key written again replaced in place", std::nullopt, {},
         {{"dcp", "auto dcp", "yes"}, {"dcp", "auto dcp", "no"}}, {{"dcp", "auto dcp", "no"}},
         "[dcp]\r\nAUTO DCP=no\r\n"},
        {"an entry keeps its name and place; a new key ends its section, a new section the file",
         "; kept as it was\r\n[stats]\r\nDay=3\r\nhour=4\r\n[color]\r\ncolor 1=000000\r\n", {},
         {{"stats", "day", "5"}, {"stats", "minute", "7"}, {"font", "font", "arial"}},
         {{"stats", "day", "5"}, {"stats", "minute", "7"}, {"font", "font", "arial"}},
         "; kept as it was\r\n[stats]\r\nDay=5\r\nhour=4\r\nMINUTE=7\r\n[color]\r\ncolor 1=000000\r\n"
         "[font]\r\nFONT=arial\r\n"},
        {"a long value read cut to 749 bytes", std::nullopt, {}, {{"ascii 1", "ascii", std::string(800, 'v')}},
         {{"ascii 1", "ascii", std::string(749, 'v')}}, std::nullopt},
        {"quotes and blanks around a value dropped",
         "[s]\r\ndouble=\"quoted value\"\r\nsingle='x'\r\nblanks=  \t a b \t \r\nlone=\"\r\nmixed='a\"\r\n"
         "inner=\"a\"b\"\r\n",
         {{"s", "double", "quoted value"}, {"s", "single", "x"}, {"s", "blanks", "a b"}, {"s", "lone", "\""},
          {"s", "mixed", "'a\""}, {"s", "inner", "a\"b"}},
         {}, {}, std::nullopt},
        {"a trailing blank stored but not read back", std::nullopt, {}, {{"ascii 2", "ascii", "qlR - "}},
         {{"ascii 2", "ascii", "qlR -"}}, "[ascii 2]\r\nASCII=qlR - \r\n"},
        {"'=', high bytes and nothing as values", std::nullopt, {},
         {{"dcp", "room", "a=b"}, {"ascii 1", "ascii", high}, {"stats", "hour", ""}},
         {{"dcp", "room", "a=b"}, {"ascii 1", "ascii", high}, {"stats", "hour", ""}},
         "[dcp]\r\nROOM=a=b\r\n[ascii 1]\r\nASCII=" + high + "\r\n[stats]\r\nHOUR=\r\n"},
        {"the first of duplicate sections and keys counts", "[a]\r\nk=1\r\nk=2\r\n[b]\r\nk=3\r\n[a]\r\nk=4\r\nj=5\r\n",
         {{"a", "k", "1"}, {"a", "j", ""}}, {{"a", "k", "9"}, {"a", "j", "8"}}, {{"a", "k", "9"}, {"a", "j", "8"}},
         "[a]\r\nk=9\r\nk=2\r\nJ=8\r\n[b]\r\nk=3\r\n[a]\r\nk=4\r\nj=5\r\n"},
        {"line feeds only", "[stats]\nday=3\nhour=4\n[color]\ncolor 1=00ff00\n",
         {{"stats", "hour", "4"}, {"color", "color 1", "00ff00"}}, {{"stats", "hour", "5"}, {"stats", "minute", "6"}},
         {{"stats", "day", "3"}, {"stats", "hour", "5"}, {"stats", "minute", "6"}, {"color", "color 1", "00ff00"}},
         std::nullopt},
        {"no final line end", "[stats]\r\nday=3", {{"stats", "day", "3"}},
         {{"stats", "hour", "4"}, {"color", "color 2", "ff00ff"}},
         {{"stats", "day", "3"}, {"stats", "hour", "4"}, {"color", "color 2", "ff00ff"}}, std::nullopt},
        {"blank lines and comments",
         "; settings\r\n\r\n[stats]\r\n\r\nday = 3\r\n\r\n[other]\r\nnote without equals\r\nx=1\r\n",
         {{"stats", "day", "3"}, {"other", "x", "1"}}, {{"stats", "hour", "2"}},
         {{"stats", "hour", "2"}, {"other", "x", "1"}}, std::nullopt}};
    Platform& p = contract::TestPlatform();
    for (const Case& c : cases) {
        const std::string file = contract::NewFolder("profile") + "\\quillmoor.dat";
        if (c.before) {
            ASSERT_TRUE(p.WriteFile(file, *c.before)) << c.name;
        }
        auto read = [&](const std::vector<Entry>& reads, const char* when) {
            for (const Entry& e : reads)
                EXPECT_EQ(ReadSetting(p, e.section, e.key, file), e.value) << c.name << ", " << when << ": " << e.key;
        };
        read(c.reads, "before");
        for (const Entry& e : c.writes) WriteSetting(p, e.section, e.key, e.value, file);
        read(c.readsAfter, "after");
        const std::string bytes = p.ReadFile(file, 1 << 20).value_or("<missing>");
        EXPECT_EQ(bytes, c.after.value_or(bytes)) << c.name;
    }
}

TEST(ProfileContract, WriteIntoAMissingFolderFailsSilently) {
    Platform& p = contract::TestPlatform();
    const std::string missing = contract::NewFolder("gone") + "\\no such folder\\quillmoor.pws";
    WriteSetting(p, "dcp", "password", "secret", missing);
    EXPECT_EQ(ReadSetting(p, "dcp", "password", missing), "");
    EXPECT_FALSE(p.FileExists(missing));
}

// A settings file another program has open (sharing nothing, or reading
// it): the write fails and the file keeps every byte, nothing is left
// beside it; once it is let go the entry is written in its place.
TEST(ProfileContract, WriteIntoAFileAnotherProgramHoldsFailsAndKeepsIt) {
    Platform& p = contract::TestPlatform();
    const std::string body = "[interval]\r\ninterval=5\r\n[stats]\r\nminute=3\r\n; " + std::string(300, 'c') + "\r\n";
    for (contract::Hold how : {contract::Hold::Locked, contract::Hold::InUse}) {
        const char* label = how == contract::Hold::Locked ? "locked" : "in use";
        const std::string folder = contract::NewFolder("held");
        const std::string file = contract::MakeFile(folder + "\\quillmoor.dat", body);
        contract::HoldFile(file, how);
        EXPECT_FALSE(p.WriteProfileString("stats", "minute", "4", file)) << label;
        contract::ReleaseFile(file);
        EXPECT_EQ(p.ReadFile(file, 1 << 20), body) << label;
        EXPECT_EQ(contract::FilesIn(folder), std::vector<std::string>{"quillmoor.dat"}) << label;
        EXPECT_TRUE(p.WriteProfileString("stats", "minute", "4", file)) << label;
        EXPECT_EQ(p.GetProfileString("stats", "minute", file, 100), "4") << label;
        EXPECT_EQ(p.GetProfileString("interval", "interval", file, 100), "5") << label;
    }
}

}  // namespace
}  // namespace qm
