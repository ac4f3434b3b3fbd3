// Disconnect protection with quillmoor.exe and aolsim.exe as separate
// processes.  Another process's menus cannot be read under Wine, so the
// client's version comes from quillmoor's settings; a 64-bit Wine prefix has
// no C:\windows\system, so there the password lands in the user's own folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Eventually;
using Lines = std::vector<std::string>;

constexpr const char* kSystemPasswordFile = "c:\\windows\\system\\quillmoor.pws";

class DisconnectProtection : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH + 1] = {};
        ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder)));
        userFile = std::string(folder) + "\\quillmoor\\quillmoor.pws";
        TearDown();  // the prefix is the tests' own: no password of an earlier run stays
        ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));
    }
    void TearDown() override {
        ::DeleteFileA(userFile.c_str());
        ::DeleteFileA(kSystemPasswordFile);
    }

    std::string userFile;
    aolsim::testing::AolsimProcess client;
    e2e::QuillmoorProcess program;
};

TEST_F(DisconnectProtection, SignsBackOnWithThePasswordSetInItsPromptReturnsToTheRoomAndResumes) {
    ASSERT_TRUE(client.Start("start 5.0; signon \"Joe Blow\"; room Lobby; password Qm7pass; "
                             "download big.zip 40 \"About 3 minutes remaining.\""));
    program.WriteFile("quillmoor.dat", "[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nROOM=Lobby\r\n"
                                       "RESUME DOWNLOAD=yes\r\n[aol]\r\nVERSION=5.0\r\n");
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 2; }, 30)) << "entry lines";

    // "set password": past the greyed title, "idle options" and "dcp
    // options", into it, past "enable dcp" and the separator; then the prompt.
    ASSERT_TRUE(program.Choose("Down Down Down Right Down Return"));
    HWND prompt = nullptr;
    ASSERT_TRUE(Eventually([&] { return (prompt = program.FindOwnWindow("#32770", "set aol password")); }, 10));
    ::SendMessageA(::GetDlgItem(prompt, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Qm7pass"));
    ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Eventually([&] { return !::IsWindow(prompt); }, 20));
    const DWORD system = ::GetFileAttributesA("c:\\windows\\system");
    const bool hasSystem = system != INVALID_FILE_ATTRIBUTES && (system & FILE_ATTRIBUTE_DIRECTORY);
    const std::string stored = hasSystem ? kSystemPasswordFile : userFile;
    char password[100] = {};
    ASSERT_TRUE(Eventually([&] {
        return ::GetPrivateProfileStringA("dcp", "password", "", password, sizeof password, stored.c_str()) &&
               password == std::string("Qm7pass");
    }, 10)) << stored;
    EXPECT_EQ(program.ReadFile("quillmoor.dat")->find("Qm7pass"), std::string::npos);

    ASSERT_TRUE(client.Run("disconnect status").ok);
    EXPECT_TRUE(Eventually([&] {
        const Lines lines = client.Column("transcript Lobby");
        return lines.size() == 3 && lines.back() == e2e::Said("dcp re-enter");
    }, 120)) << "no \"dcp re-enter\" line in the room";
    EXPECT_EQ(client.Column("passwords"), Lines{"Qm7pass"});
    EXPECT_EQ(client.Column("keywords"), Lines{"Lobby"});
    EXPECT_TRUE(Eventually([&] { return client.Column("popup-picks") == Lines{"&Download Manager"}; }, 30));
    EXPECT_TRUE(Eventually([&] { return client.Records("resume-presses") == std::vector<Lines>{{"1", "0"}}; }, 30));
    EXPECT_EQ(client.Records("state"), (std::vector<Lines>{{"running", "5.0", "signed-on", "Joe Blow"}}));
    auto closed = [&](const char* caption) {
        const std::vector<Lines> events = client.Records("events");
        return std::find(events.begin(), events.end(), Lines{"closed", "AOL Child", caption}) != events.end();
    };
    EXPECT_TRUE(closed("Status"));
    EXPECT_TRUE(Eventually([&] { return closed("Download Manager"); }, 10));
    for (const std::string& line : client.Column("transcript Lobby")) EXPECT_EQ(line.find("Qm7pass"), line.npos);
}

}  // namespace
