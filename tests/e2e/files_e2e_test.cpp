// quillmoor.exe's files held open by another program (this test, sharing
// nothing) while it starts and later writes: start-up goes on with what it
// could read, nothing stored is destroyed, and a write that cannot go leaves
// the old file whole; the password goes to the user's own copy instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Eventually;
using e2e::kHead;
using Lines = std::vector<std::string>;

// Holds a file open sharing nothing, as an editor or a backup tool may.
class Held {
public:
    explicit Held(const std::string& path)
        : file_(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~Held() { Release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    bool Holds() const { return file_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Holds()) ::CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE file_;
};

std::string Bytes(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(file);
    return bytes.substr(0, got);
}

void Write(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    ASSERT_TRUE(::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr));
    ::CloseHandle(file);
}

// The names in a folder, in lower case, sorted.
Lines NamesIn(const std::string& folder) {
    Lines names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        std::transform(name.begin(), name.end(), name.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Settings (a handle, a total of 1 day 2 hours 3 minutes), reasons and the
// password in the system folder, all held as quillmoor starts: it starts and
// says its entry lines from what it could read (nothing: the handle is the
// screen name's, the total 0).  "enable dcp" takes though its setting cannot
// be stored (a setting is not written later: the next change of it is), and
// "set password" cannot reach the system folder's file: the user's own copy
// takes it, no message.  Let go, every held file has every byte it had,
// nothing was left beside them, and the new password is the one stored.
TEST(HeldFiles, StartUpAndThePasswordGoOnAndNothingStoredIsLost) {
    const std::string systemFile = "c:\\windows\\system\\quillmoor.pws";
    const DWORD system = ::GetFileAttributesA("c:\\windows\\system");
    if (system == INVALID_FILE_ATTRIBUTES || !(system & FILE_ATTRIBUTE_DIRECTORY))
        GTEST_SKIP() << "no system folder in this prefix (a 64-bit one)";
    char appData[MAX_PATH + 1] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData)));
    const std::string userFile = std::string(appData) + "\\quillmoor\\quillmoor.pws";
    ::DeleteFileA(userFile.c_str());
    ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));

    aolsim::testing::AolsimProcess client;
    e2e::QuillmoorProcess quillmoor;
    const std::string settings = "[aol]\r\nVERSION=8.0\r\n[handle]\r\nHANDLE=hal\r\n[stats]\r\nMINUTE=3\r\nHOUR=2\r\nDAY=1\r\n";
    const std::string reasons = "brb\r\nlunch\r\n", password = "[dcp]\r\nPASSWORD=old\r\n";
    quillmoor.WriteFile("quillmoor.dat", settings);
    quillmoor.WriteFile("quillmoor.rea", reasons);
    ASSERT_NO_FATAL_FAILURE(Write(systemFile, password));
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby \"afk 5\""));
    {
        Held heldSettings(quillmoor.Folder() + "\\quillmoor.dat"), heldReasons(quillmoor.Folder() + "\\quillmoor.rea"),
            heldPassword(systemFile);
        ASSERT_TRUE(heldSettings.Holds() && heldReasons.Holds() && heldPassword.Holds());
        ASSERT_TRUE(quillmoor.Start()) << "start-up failed with its files held";
        ASSERT_TRUE(Eventually([&] { return client.Column("transcript Lobby").size() == 2; }, 30)) << "entry lines";
        const Lines said = client.Column("transcript Lobby");
        EXPECT_EQ(said, (Lines{kHead + "quillmoor idle \xB7 enter: <font color=#0000ff>joe",
                               kHead + "aol: <font color=#0000ff>foreign<font color=#000000> \xB7 stats: " +
                                   e2e::Dhm("0", "0", "0")}));
        EXPECT_EQ(client.Column("input Lobby"), Lines{"afk 5"});

        // "enable dcp" (its setting cannot be stored: the command takes all
        // the same), then "set password", which it ungreys.
        ASSERT_TRUE(quillmoor.Choose("Down Down Down Right Return"));
        ASSERT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow("#32768"); }, 10));
        ASSERT_TRUE(quillmoor.Choose("Down Down Down Right Down Return"));
        HWND prompt = nullptr;
        ASSERT_TRUE(Eventually([&] { return (prompt = quillmoor.FindOwnWindow("#32770", "set aol password")); }, 10));
        ::SendMessageA(::GetDlgItem(prompt, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Qm7new"));
        ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(Eventually([&] { return !::IsWindow(prompt); }, 20));
        EXPECT_TRUE(Eventually([&] { return Bytes(userFile) == "[dcp]\r\nPASSWORD=\"Qm7new\"\r\n"; }, 10))
            << Bytes(userFile);
        EXPECT_EQ(quillmoor.FindOwnWindow("#32770"), nullptr) << "a message came up";
        EXPECT_TRUE(quillmoor.Running());
    }
    EXPECT_EQ(Bytes(quillmoor.Folder() + "\\quillmoor.dat"), settings);
    EXPECT_EQ(Bytes(quillmoor.Folder() + "\\quillmoor.rea"), reasons);
    EXPECT_EQ(Bytes(systemFile), password);
    EXPECT_EQ(NamesIn(quillmoor.Folder()), (Lines{"quillmoor.dat", "quillmoor.exe", "quillmoor.rea"}));
    for (const std::string& name : NamesIn("c:\\windows\\system"))
        EXPECT_FALSE(name.rfind("qm", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp") << name;
    char stored[100] = {};
    ::GetPrivateProfileStringA("dcp", "password", "", stored, sizeof stored, userFile.c_str());
    EXPECT_STREQ(stored, "Qm7new");
    quillmoor.Stop();
    ::DeleteFileA(userFile.c_str());
    ::DeleteFileA(systemFile.c_str());
}

}  // namespace
