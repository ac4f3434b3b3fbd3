// Disconnect protection with quillmoor.exe and aolsim.exe as separate
// processes.  Another process's menus cannot be read under Wine, so the
// client's version comes from quillmoor's settings (and the late versions'
// menu is worked from the keyboard); a 64-bit Wine prefix has no
// C:\windows\system, so there the password lands in the user's own folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Eventually;
using Lines = std::vector<std::string>;

constexpr const char* kSystemPasswordFile = "c:\\windows\\system\\quillmoor.pws";
constexpr const char* kPassword = "  \"Qm7 pass\"";

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
    ASSERT_TRUE(client.Start("start 5.0; signon \"Joe Blow\"; room Lobby; "
                             "download big.zip 40 \"About 3 minutes remaining.\""));
    // Blanks and quotes at its ends are part of it.
    ASSERT_TRUE(client.Run("password \"  \\\"Qm7 pass\\\"\"").ok);
    program.WriteFile("quillmoor.dat", "[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nROOM=Lobby\r\n"
                                       "RESUME DOWNLOAD=yes\r\n[aol]\r\nVERSION=5.0\r\n");
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 2; }, 30)) << "entry lines";

    // "set password": past the greyed title, "idle options" and "dcp
    // options", into it, past "enable dcp" and the separator; then the prompt.
    ASSERT_TRUE(program.Choose("Down Down Down Right Down Return"));
    HWND prompt = nullptr;
    ASSERT_TRUE(Eventually([&] { return (prompt = program.FindOwnWindow("#32770", "set aol password")); }, 10));
    ::SendMessageA(::GetDlgItem(prompt, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kPassword));
    ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Eventually([&] { return !::IsWindow(prompt); }, 20));
    const DWORD system = ::GetFileAttributesA("c:\\windows\\system");
    const bool hasSystem = system != INVALID_FILE_ATTRIBUTES && (system & FILE_ATTRIBUTE_DIRECTORY);
    const std::string stored = hasSystem ? kSystemPasswordFile : userFile;
    char password[100] = {};
    ASSERT_TRUE(Eventually([&] {
        return ::GetPrivateProfileStringA("dcp", "password", "", password, sizeof password, stored.c_str()) &&
               password == std::string(kPassword);
    }, 10)) << stored;
    EXPECT_EQ(program.ReadFile("quillmoor.dat")->find("Qm7"), std::string::npos);

    ASSERT_TRUE(client.Run("disconnect status").ok);
    EXPECT_TRUE(Eventually([&] {
        const Lines lines = client.Column("transcript Lobby");
        return lines.size() == 3 && lines.back() == e2e::Said("dcp re-enter");
    }, 120)) << "no \"dcp re-enter\" line in the room";
    EXPECT_EQ(client.Column("passwords"), Lines{kPassword});
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
    for (const std::string& line : client.Column("transcript Lobby")) EXPECT_EQ(line.find("Qm7"), line.npos);
}

// Signed on with the welcome window closed and a message with a box in front:
// the looks type nothing there.  Signed off later, the password goes into the
// sign-on window's box, and a 7.0 client's download is resumed through its
// File menu from the keyboard (its menus cannot be read here).
TEST_F(DisconnectProtection, TypesNothingIntoAMessageAndResumesALateDownloadFromTheKeyboard) {
    ASSERT_TRUE(client.Start("start 7.0; signon \"Joe Blow\"; download big.zip 40 \"About 3 minutes remaining.\"; "
                             "close \"Welcome, Joe Blow!\"; close \"AOL Channels\"; "
                             "document \"Joe Blow: Instant Message\" icon=1 combobox=1 static=1 edit=1; "
                             "document Status icon=1"));
    ASSERT_TRUE(::CreateDirectoryA(userFile.substr(0, userFile.rfind('\\')).c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::WritePrivateProfileStringA("dcp", "PASSWORD", "\"Qm7pass\"", userFile.c_str()));
    program.WriteFile("quillmoor.dat", "[dcp]\r\nAUTO DCP=yes\r\nRESUME DOWNLOAD=yes\r\n[aol]\r\nVERSION=7.0\r\n");
    ASSERT_TRUE(program.Start());

    // Each look closes a "Status" document first: once the second look has,
    // the first one has run to its end.
    auto statusClosed = [&] {
        const std::vector<Lines> events = client.Records("events");
        return std::count(events.begin(), events.end(), Lines{"closed", "AOL Child", "Status"});
    };
    ASSERT_TRUE(Eventually([&] { return statusClosed() == 1; }, 60));
    ASSERT_TRUE(client.Run("document Status icon=1").ok);
    ASSERT_TRUE(Eventually([&] { return statusClosed() == 2; }, 60));
    EXPECT_TRUE(client.Column("passwords").empty());
    HWND main = e2e::WindowOf(client.ProcessId(), "AOL Frame25");
    HWND mdi = ::FindWindowExA(main, nullptr, "MDIClient", nullptr);
    HWND im = ::FindWindowExA(mdi, nullptr, "AOL Child", "Joe Blow: Instant Message");
    HWND box = ::FindWindowExA(im, nullptr, "_AOL_Edit", nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetWindowTextLengthA(box), 0);

    ASSERT_TRUE(client.Run("disconnect").ok);
    ASSERT_TRUE(Eventually([&] { return client.Column("passwords") == Lines{"Qm7pass"}; }, 60));
    EXPECT_TRUE(Eventually([&] { return client.Records("resume-presses") == std::vector<Lines>{{"1", "0"}}; }, 90));
    EXPECT_EQ(client.Column("menu-commands"), Lines{"&Download Manager"});
    EXPECT_EQ(::GetWindowTextLengthA(box), 0);
    EXPECT_EQ(client.Records("state"), (std::vector<Lines>{{"running", "7.0", "signed-on", "Joe Blow"}}));
    EXPECT_TRUE(Eventually([&] { return !e2e::WindowOf(client.ProcessId(), "#32768", nullptr, false); }, 10))
        << "no menu of the client left open";
}

}  // namespace
