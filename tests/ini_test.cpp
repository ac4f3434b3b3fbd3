// The portable INI reader/writer beyond what the cross-backend contract
// covers: exact bytes where the Windows services rewrite whole files.
#include "platform/sim/ini.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qm {
namespace {

TEST(Ini, ReadsFollowTheProfileServices) {
    // File, section, key, buffer size, value read.
    const std::tuple<const char*, const char*, const char*, std::size_t, const char*> reads[] = {
        {"[s]\r\nk=abcdef\r\n", "s", "k", 4, "abc"},  // cut to the buffer
        {"[s]\r\nk=abcdef\r\n", "s", "k", 0, ""},
        {"[s]\r\nk=\"abcdef\"\r\n", "s", "k", 4, "abc"},  // the quotes dropped before the cut
        {"k=1\r\n[s]\r\nj=2\r\n", "s", "k", 750, ""},     // before the first section: in none
        {"k=1\r\n[s]\r\nj=2\r\n", "", "k", 750, ""},
        {"  [ stats ]  \r\nday=3\r\n", "stats", "day", 750, "3"},  // trimmed inside the brackets
        {"[s]\r\n[t\r\nk=1\r\n", "t", "k", 750, ""},              // an unclosed bracket is no section
        {"[s]\r\n[t\r\nk=1\r\n", "s", "k", 750, "1"},
        {"[s]\r\nflag\r\nk=1\r\n", "s", "flag", 750, ""}};  // an entry without a value
    for (auto [file, section, key, size, value] : reads)
        EXPECT_EQ(ini::Read(file, section, key, size), value) << file << " [" << section << "] " << key << " " << size;
}

TEST(Ini, WritesChangeOnlyTheirLineAndKeepEveryOtherByte) {
    const std::string file = "; top\n\n[stats]\nday=3\n\n[color]  \r\ncolor 1 = 000000\t\r\n";
    // File, section, key, value, file written.
    const std::tuple<std::string, const char*, const char*, const char*, std::string> writes[] = {
        {file, "stats", "DAY", "4", "; top\n\n[stats]\nday=4\n\n[color]  \r\ncolor 1 = 000000\t\r\n"},
        {file, "stats", "HOUR", "1", "; top\n\n[stats]\nday=3\nHOUR=1\r\n\n[color]  \r\ncolor 1 = 000000\t\r\n"},
        {file, "color", "COLOR 1", "ff0000", "; top\n\n[stats]\nday=3\n\n[color]  \r\ncolor 1=ff0000\r\n"},
        {"[s]\r\nflag\r\nk=1\r\n", "s", "FLAG", "on", "[s]\r\nflag=on\r\nk=1\r\n"},
        {"[s]\r\nk=1", "s", "J", "2", "[s]\r\nk=1\r\nJ=2\r\n"},  // after a last line without its end
        {"[s]\r\nk=1", "t", "J", "2", "[s]\r\nk=1\r\n[t]\r\nJ=2\r\n"},
        {"[s]", "s", "J", "2", "[s]\r\nJ=2\r\n"},
        {"[s]\r\nk=1\r", "s", "J", "2", "[s]\r\nk=1\r\r\nJ=2\r\n"},  // a lone CR ends no line
        {"[a]\r\nk=1\r\n[s]\r\n", "s", "J", "2", "[a]\r\nk=1\r\n[s]\r\nJ=2\r\n"}};  // an empty section at the end
    for (const auto& [before, section, key, value, after] : writes)
        EXPECT_EQ(ini::Write(before, section, key, value), after) << before << " [" << section << "] " << key;
}

}  // namespace
}  // namespace qm
