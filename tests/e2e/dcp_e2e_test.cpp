// Disconnect protection with quillmoor.exe and aolsim.exe as separate
// processes: the password is set through quillmoor's own menu and prompt,
// the client loses its connection, and quillmoor signs it back on with that
// password, submits the room's keyword, announces itself in the room, and
// resumes the broken-off download through the toolbar's pop-up menu.
//
// Another process's menus cannot be read under Wine, so the client's version
// comes from quillmoor's settings ("[aol]").  A 64-bit Wine prefix has no
// C:\windows\system: there the password must land in the user's own folder.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "aolsim/win32/tests/aolsim_process.h"
#include "tests/e2e/quillmoor_process.h"

namespace {

using aolsim::testing::AolsimProcess;
using e2e::Eventually;
using Lines = std::vector<std::string>;

constexpr const char* kSystemPasswordFile = "c:\\windows\\system\\quillmoor.pws";
const std::string kReenterLine =
    "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" "
    "color=#000000>quillmoor idle \xB7 <font color=#0000ff>dcp re-enter";

std::string UserPasswordFile() {
    char folder[MAX_PATH + 1] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder))) return "";
    return std::string(folder) + "\\quillmoor\\quillmoor.pws";
}

bool FolderExists(const char* path) {
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Password(const std::string& file) {
    char value[100] = {};
    ::GetPrivateProfileStringA("dcp", "password", "", value, sizeof value, file.c_str());
    return value;
}

class DisconnectProtection : public ::testing::Test {
protected:
    void SetUp() override {
        userFile = UserPasswordFile();
        ASSERT_FALSE(userFile.empty());
        // The prefix is the tests' own: no password of an earlier run stays.
        ::DeleteFileA(userFile.c_str());
        ::DeleteFileA(kSystemPasswordFile);
        ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));
    }
    void TearDown() override {
        program.Stop();
        client.Stop();
        ::DeleteFileA(userFile.c_str());
        ::DeleteFileA(kSystemPasswordFile);
    }

    // "set password" from quillmoor's menu, answered as the user would.
    void SetPasswordThroughTheMenu(const std::string& password) {
        HWND window = program.MainWindow();
        ASSERT_NE(window, nullptr);
        POINT label1{16, 32};  // the menu button's middle
        ::ClientToScreen(window, &label1);
        e2e::MouseClick(label1.x, label1.y);
        HWND menu = nullptr;
        ASSERT_TRUE(Eventually([&] { return (menu = program.FindOwnWindow("#32768")) != nullptr; }, 10));
        // The title line (greyed, where the arrow stops), "idle options",
        // "dcp options" and into it: "enable dcp", then past the separator.
        for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) {
            HWND front = program.FindOwnWindow("#32768");
            ::PostMessageA(front ? front : menu, WM_KEYDOWN, key, 0);
            ::PostMessageA(front ? front : menu, WM_KEYUP, key, 0);
            ::Sleep(300);
        }
        HWND prompt = nullptr;
        ASSERT_TRUE(Eventually(
            [&] { return (prompt = program.FindOwnWindow("#32770", "set aol password")) != nullptr; },
            10));
        HWND edit = ::FindWindowExA(prompt, nullptr, "Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        for (char c : password) ::PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
        ASSERT_TRUE(Eventually([&] {
            char typed[64] = {};
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutA(edit, WM_GETTEXT, sizeof typed, reinterpret_cast<LPARAM>(typed), SMTO_ABORTIFHUNG,
                                  2000, &ignored);
            return password == typed;
        }, 10));
        ::PostMessageA(::FindWindowExA(prompt, nullptr, "Button", "OK"), BM_CLICK, 0, 0);
        ASSERT_TRUE(Eventually([&] { return !::IsWindow(prompt); }, 20));
    }

    std::string userFile;
    AolsimProcess client;
    e2e::QuillmoorProcess program;
};

TEST_F(DisconnectProtection, SignsBackOnWithThePasswordSetInItsPromptReturnsToTheRoomAndResumes) {
    ASSERT_TRUE(client.Start("start 5.0; signon \"Joe Blow\"; room Lobby; password Qm7pass; "
                             "download big.zip 40 \"About 3 minutes remaining.\""));
    program.WriteFile("quillmoor.dat", "[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nROOM=Lobby\r\n"
                                       "RESUME DOWNLOAD=yes\r\n[aol]\r\nVERSION=5.0\r\n");
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 2; }, 30)) << "entry lines";

    ASSERT_NO_FATAL_FAILURE(SetPasswordThroughTheMenu("Qm7pass"));
    // Where the system folder is missing (a 64-bit prefix), the user's own
    // folder keeps it.
    const std::string stored = FolderExists("c:\\windows\\system") ? kSystemPasswordFile : userFile;
    ASSERT_TRUE(Eventually([&] { return Password(stored) == "Qm7pass"; }, 10)) << stored;
    EXPECT_EQ(program.ReadFile("quillmoor.dat")->find("Qm7pass"), std::string::npos);

    ASSERT_TRUE(client.Run("disconnect status").ok);
    const bool back = Eventually(
        [&] {
            const Lines lines = client.Column("transcript Lobby");
            return lines.size() == 3 && lines.back() == kReenterLine;
        },
        120);
    EXPECT_TRUE(back) << "no \"dcp re-enter\" line in the room";
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
    for (const std::string& line : client.Column("transcript Lobby")) EXPECT_EQ(line.find("Qm7pass"), std::string::npos);
}

}  // namespace
