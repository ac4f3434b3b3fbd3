// The "dcp options" commands, the password file and where it is kept, and
// the client-version setting.
#include <array>

#include "dcp/password.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using Bytes = std::optional<std::string>;

constexpr const char* kSystemFolder = "C:\\WINDOWS\\SYSTEM";
constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";
constexpr const char* kUserFolder = "C:\\Users\\joe\\AppData\\Roaming";
constexpr const char* kUserPasswordFile = "C:\\Users\\joe\\AppData\\Roaming\\quillmoor\\quillmoor.pws";

// A password file as we write it, and as one was written before.
std::string Pws(const std::string& password) { return "[dcp]\r\nPASSWORD=\"" + password + "\"\r\n"; }
std::string OldPws(const std::string& password) { return "[dcp]\r\nPASSWORD=" + password + "\r\n"; }

class Commands : public Running {
protected:
    Commands() { sim.SetUserDataFolder(kUserFolder); }
    void Click(const char* item, Bytes answer = std::nullopt) { Answer(item, std::move(answer)); }
    bool Checked(const char* item) { return menus.Checked(item); }
};

TEST_F(Commands, EnableDcpSwitchesTheTimerAndGreysTheOptionsWhichKeepTheirMarks) {
    const std::string marks = "[dcp]\r\nRE-ENTER ROOM=yes\r\nRESUME UPLOAD=yes\r\n";
    Launch(marks);
    const std::pair<bool, const char*> states[] = {{false, ""}, {true, "AUTO DCP=yes\r\n"}, {false, "AUTO DCP=no\r\n"}};
    for (const auto& [on, file] : states) {
        if (*file) Click("enabledcp");
        EXPECT_EQ(Checked("enabledcp"), on);
        EXPECT_EQ(form.Timer2.Enabled(), on);
        for (const char* item : {"setpassword", "enablereenterroom", "setroom", "resumedl", "resumeul"})
            EXPECT_EQ(menus.Item(item).enabled, on) << item;
        EXPECT_TRUE(Checked("enablereenterroom") && Checked("resumeul") && !Checked("resumedl")) << on;
        EXPECT_EQ(sim.FileBytes(kSettings), marks + file);
    }
}

TEST_F(Commands, MarksToggleAndResumeMarksExcludeEachOther) {
    Launch("[dcp]\r\nRESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n");  // both, as only a start-up can make
    const struct {
        const char* item;
        std::array<bool, 3> marks;  // re-enter, resume download, resume upload
        const char* file;
    } steps[] = {
        {"resumedl", {false, false, true}, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\n"},
        {"enablereenterroom", {true, false, true}, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\nRE-ENTER ROOM=yes\r\n"},
        {"resumedl", {true, true, false}, "RESUME DOWNLOAD=yes\r\nRESUME UPLOAD=no\r\nRE-ENTER ROOM=yes\r\n"},
        {"resumeul", {true, false, true}, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\nRE-ENTER ROOM=yes\r\n"},
        {"enablereenterroom", {false, false, true}, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\nRE-ENTER ROOM=no\r\n"},
        {"resumeul", {false, false, false}, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=no\r\nRE-ENTER ROOM=no\r\n"},
    };
    for (const auto& s : steps) {
        Click(s.item);
        EXPECT_EQ((std::array{Checked("enablereenterroom"), Checked("resumedl"), Checked("resumeul")}), s.marks)
            << s.item << " to " << s.file;
        EXPECT_EQ(sim.FileBytes(kSettings), std::string("[dcp]\r\n") + s.file);
    }
}

TEST_F(Commands, PromptsAskExactlyThisAndTakeOnlyWhatTheyOffer) {
    client.Start("6.0");
    Launch("[dcp]\r\nROOM=lobby\r\n[aol]\r\nVERSION=4.0\r\n");
    sim.SetFileBytes(kPasswordFile, OldPws("old"));
    const struct {
        const char* item;
        const char* title;
        const char* prompt;
        std::vector<Bytes> refused;
        const char* taken;
    } prompts[] = {
        {"setroom", "set dcp room", "enter an aol url and chat room name.", {std::nullopt, ""}, "aol://2719:2-2-lobby"},
        {"setpassword", "set aol password",
         "enter your aol password for current screen name.  if your password is stored in aol preferences, you "
         "do not need to enter a password.",
         {std::nullopt, ""}, "s3cr\xE9t=x"},
        {"aolversion", "set aol version", "enter 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0 or auto.",
         {std::nullopt, "", "9.0", "8", "8.0 ", "Auto", "foreign", "4.5"}, "5.0"},
    };
    for (const auto& p : prompts) {
        const std::size_t asked = sim.Prompts().size();
        for (const Bytes& answer : p.refused) Click(p.item, answer);
        ASSERT_EQ(sim.Prompts().size(), asked + p.refused.size()) << p.item;
        for (std::size_t i = asked; i < sim.Prompts().size(); ++i) {
            EXPECT_EQ(sim.Prompts()[i].title, p.title);
            EXPECT_EQ(sim.Prompts()[i].prompt, p.prompt);
            EXPECT_EQ(sim.Prompts()[i].defaultText, "");
        }
    }
    EXPECT_EQ(sim.FileBytes(kSettings), "[dcp]\r\nROOM=lobby\r\n[aol]\r\nVERSION=4.0\r\n");
    EXPECT_EQ(program.protection.Password(), "old");
    EXPECT_EQ(program.version(), "4.0");
    EXPECT_EQ(menus.Item("aolversion").caption, "aol version: 4.0");
    for (const auto& p : prompts) Click(p.item, p.taken);
    EXPECT_EQ(sim.FileBytes(kSettings), "[dcp]\r\nROOM=aol://2719:2-2-lobby\r\n[aol]\r\nVERSION=5.0\r\n");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), Pws("s3cr\xE9t=x"));
    EXPECT_EQ(sim.FileBytes(kUserPasswordFile), std::nullopt);
    EXPECT_EQ(menus.Item("aolversion").caption, "aol version: 5.0");
    EXPECT_EQ(program.version(), "5.0");
    Click("aolversion", "auto");  // the client is asked again
    EXPECT_EQ(menus.Item("aolversion").caption, "aol version: auto");
    EXPECT_EQ(sim.FileBytes(kSettings), "[dcp]\r\nROOM=aol://2719:2-2-lobby\r\n[aol]\r\nVERSION=\r\n");
    EXPECT_EQ(program.version(), "6.0");
}

TEST_F(Commands, PasswordNoFileTakesIsStillUsedThisRun) {
    sim.RemoveFolder(kSystemFolder);
    sim.SetUserDataFolder("");
    Launch("");
    Click("setpassword", "lost");
    ASSERT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(sim.MessageBoxes()[0].text, "the password could not be saved; it is used until quillmoor ends.");
    sim.SetFileBytes(kPasswordFile, OldPws("other"));
    EXPECT_EQ(program.protection.Password(), "lost") << "typed after the file was written";
    Click("setpassword", "kept");  // stored: the file speaks again
    EXPECT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(sim.FileBytes(kPasswordFile), Pws("kept"));
    sim.SetFileBytes(kPasswordFile, OldPws("edited"));
    EXPECT_EQ(program.protection.Password(), "edited");
}

TEST_F(Commands, PasswordReadsBackExactlyAndAFileOfBeforeAsItAlwaysDid) {
    Launch("");
    for (const char* password : {"  lead", "trail  ", "\"quoted\"", "'single'", " \" both' ", "\"", "a\"b", "=x=",
                                 "\t\xE9t\xE9 "}) {
        Click("setpassword", password);
        EXPECT_EQ(sim.FileBytes(kPasswordFile), Pws(password));
        EXPECT_EQ(program.protection.Password(), password);
    }
    const std::string longest(kInputBoxMaxLength, 'p');
    Click("setpassword", longest);
    EXPECT_EQ(program.protection.Password(), longest);
    const std::pair<std::string, std::string> before[] = {
        {"plain", "plain"}, {"  blanks  ", "blanks"}, {"\"quoted\"", "quoted"}, {"'single'", "single"}};
    for (const auto& [stored, read] : before) {
        sim.SetFileBytes(kPasswordFile, OldPws(stored));
        EXPECT_EQ(program.protection.Password(), read) << stored;
    }
}

// Nowhere to keep it: PasswordNoFileTakesIsStillUsedThisRun.
TEST(Passwords, SystemFolderFirstTheUsersFolderWhereItRefusesAndTheUsersCopyWhileItHoldsOne) {
    sim::SimPlatform fs;
    fs.SetUserDataFolder(kUserFolder);
    auto expect = [&](Bytes system, Bytes user, const char* read) {
        EXPECT_EQ(fs.FileBytes(kPasswordFile), system);
        EXPECT_EQ(fs.FileBytes(kUserPasswordFile), user);
        EXPECT_EQ(dcp::ReadPassword(fs), read);
    };
    fs.RemoveFolder(kSystemFolder);
    EXPECT_TRUE(dcp::StorePassword(fs, "secret"));
    expect(std::nullopt, Pws("secret"), "secret");
    fs.AddFolder(kSystemFolder);  // the user's copy goes once the system folder takes a write
    EXPECT_TRUE(dcp::StorePassword(fs, "newer"));
    expect(Pws("newer"), std::nullopt, "newer");
    fs.SetFileBytes(kUserPasswordFile, Pws("fresh"));  // it wins while it holds one
    expect(Pws("newer"), Pws("fresh"), "fresh");
    fs.SetFileFlags(kUserPasswordFile, {.readOnly = true});  // it cannot go: the write did not take
    EXPECT_FALSE(dcp::StorePassword(fs, "newest"));
    expect(Pws("newest"), Pws("fresh"), "fresh");
    fs.SetFileBytes(kUserPasswordFile, "[dcp]\r\n");
    expect(Pws("newest"), "[dcp]\r\n", "newest");
}

}  // namespace
}  // namespace qm::testing
