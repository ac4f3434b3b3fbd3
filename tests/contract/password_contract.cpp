// The password file behaves the same on every backend: what is stored reads
// back exactly, ends and quotes included, and a file written before (without
// the quotes we add) reads as it always did.
#include <gtest/gtest.h>

#include <string>

#include "dcp/password.h"
#include "platform/platform.h"
#include "tests/contract/contract_backend.h"

namespace qm {
namespace {

TEST(PasswordContract, StoredPasswordReadsBackExactly) {
    Platform& p = contract::TestPlatform();
    const std::string passwords[] = {"secret",   "  lead",     "trail  ",     "\"quoted\"", "'single'",
                                     "\"",       "''",         " \" both' ",  "a\"b=c",     "\t\xB7\xE9\xFF ",
                                     std::string(kInputBoxMaxLength, 'p'),    "\"" + std::string(kInputBoxMaxLength - 2, 'q') + "\""};
    for (const std::string& password : passwords) {
        const std::string file = contract::NewFolder("password") + "\\quillmoor.pws";
        ASSERT_TRUE(dcp::WritePasswordTo(p, file, password)) << password;
        EXPECT_EQ(dcp::ReadPasswordFrom(p, file), password);
        EXPECT_EQ(p.ReadFile(file, 4096), "[dcp]\r\nPASSWORD=\"" + password + "\"\r\n") << password;
    }
}

TEST(PasswordContract, FileOfBeforeReadsAsItAlwaysDid) {
    Platform& p = contract::TestPlatform();
    const std::pair<const char*, const char*> stored[] = {
        {"plain", "plain"}, {"  blanks  ", "blanks"}, {"\"quoted\"", "quoted"}, {"'single'", "single"}, {"", ""}};
    for (const auto& [value, read] : stored) {
        const std::string file = contract::NewFolder("old-password") + "\\quillmoor.pws";
        ASSERT_TRUE(p.WriteFile(file, std::string("[dcp]\r\npassword=") + value + "\r\n"));
        EXPECT_EQ(dcp::ReadPasswordFrom(p, file), read) << value;
    }
}

}  // namespace
}  // namespace qm
