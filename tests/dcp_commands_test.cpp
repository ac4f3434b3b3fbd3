// The "dcp options" commands, the password file and where it is kept, and
// the client-version setting.
#include <gtest/gtest.h>

#include "aolsim/sim/sim_client.h"
#include "app/program.h"
#include "app/settings.h"
#include "dcp/password.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

using Bytes = std::optional<std::string>;

constexpr const char* kSettingsFile = "C:\\quillmoor\\quillmoor.dat";
constexpr const char* kSystemFolder = "C:\\WINDOWS\\SYSTEM";
constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";
constexpr const char* kUserFolder = "C:\\Users\\joe\\AppData\\Roaming";
constexpr const char* kUserPasswordFile = "C:\\Users\\joe\\AppData\\Roaming\\quillmoor\\quillmoor.pws";

std::string Pws(const std::string& password) { return "[dcp]\r\nPASSWORD=" + password + "\r\n"; }

class Commands : public ::testing::Test {
protected:
    Commands() {
        sim.SetProgramFolder("C:\\quillmoor");
        sim.SetUserDataFolder(kUserFolder);
    }
    void Start(const std::string& settings) {
        sim.SetFileBytes(kSettingsFile, settings);
        ASSERT_TRUE(program.Start());
    }
    void Click(const char* item, Bytes answer = std::nullopt) {
        sim.ScriptPrompt(answer);
        program.form2.Item(item).Click();
    }
    bool Checked(const char* item) { return program.form2.Checked(item); }

    sim::SimPlatform sim;
    Program program{sim};
};

TEST_F(Commands, EnableDcpSwitchesTheTimerAndGreysTheOptionsWhichKeepTheirMarks) {
    Start("[dcp]\r\nRE-ENTER ROOM=yes\r\nRESUME UPLOAD=yes\r\n");
    auto expect = [&](bool on, Bytes file) {
        EXPECT_EQ(Checked("enabledcp"), on);
        EXPECT_EQ(program.form1.Timer2.Enabled(), on);
        for (const char* item : {"setpassword", "enablereenterroom", "setroom", "resumedl", "resumeul"})
            EXPECT_EQ(program.form2.Item(item).enabled, on) << item;
        EXPECT_TRUE(Checked("enablereenterroom") && Checked("resumeul") && !Checked("resumedl")) << on;
        EXPECT_EQ(sim.FileBytes(kSettingsFile), file);
    };
    const std::string marks = "[dcp]\r\nRE-ENTER ROOM=yes\r\nRESUME UPLOAD=yes\r\n";
    expect(false, marks);
    Click("enabledcp");
    expect(true, marks + "AUTO DCP=yes\r\n");
    Click("enabledcp");
    expect(false, marks + "AUTO DCP=no\r\n");
}

TEST_F(Commands, MarksToggleAndResumeMarksExcludeEachOther) {
    // Both resume marks, as only a start-up with both stored can make.
    Start("[dcp]\r\nRESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n");
    const struct {
        const char* item;
        bool reenter, dl, ul;
        const char* file;
    } steps[] = {
        {"resumedl", false, false, true, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\n"},
        {"enablereenterroom", true, false, true, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\nRE-ENTER ROOM=yes\r\n"},
        {"resumedl", true, true, false, "RESUME DOWNLOAD=yes\r\nRESUME UPLOAD=no\r\nRE-ENTER ROOM=yes\r\n"},
        {"resumeul", true, false, true, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\nRE-ENTER ROOM=yes\r\n"},
        {"enablereenterroom", false, false, true, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\nRE-ENTER ROOM=no\r\n"},
        {"resumeul", false, false, false, "RESUME DOWNLOAD=no\r\nRESUME UPLOAD=no\r\nRE-ENTER ROOM=no\r\n"},
    };
    for (const auto& s : steps) {
        Click(s.item);
        EXPECT_EQ(Checked("enablereenterroom"), s.reenter) << s.item << " to " << s.file;
        EXPECT_EQ(Checked("resumedl"), s.dl) << s.item << " to " << s.file;
        EXPECT_EQ(Checked("resumeul"), s.ul) << s.item << " to " << s.file;
        EXPECT_EQ(sim.FileBytes(kSettingsFile), std::string("[dcp]\r\n") + s.file) << s.item;
    }
}

TEST_F(Commands, PromptsAskExactlyThisAndTakeNothingElse) {
    Start("[dcp]\r\nROOM=lobby\r\n[aol]\r\nVERSION=4.0\r\n");
    sim.SetFileBytes(kPasswordFile, Pws("old"));
    const struct {
        const char* item;
        const char* title;
        const char* prompt;
        std::vector<Bytes> refused;
    } prompts[] = {
        {"setroom", "set dcp room", "enter an aol url and chat room name.", {std::nullopt, ""}},
        {"setpassword", "set aol password",
         "enter your aol password for current screen name.  if your password is stored in aol preferences, you "
         "do not need to enter a password.",
         {std::nullopt, ""}},
        {"aolversion", "set aol version", "enter 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0 or auto.",
         {std::nullopt, "", "9.0", "8", "8.0 ", "Auto", "foreign", "4.5"}},
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
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nROOM=lobby\r\n[aol]\r\nVERSION=4.0\r\n");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), Pws("old"));
    EXPECT_EQ(program.protection.Password(), "old");
    EXPECT_EQ(program.version(), "4.0");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: 4.0");
}

TEST_F(Commands, RoomAndPasswordAreStoredAsTypedEachInItsFile) {
    Start("");
    Click("setroom", "aol://2719:2-2-lobby");
    Click("setpassword", "s3cr\xE9t=x");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nROOM=aol://2719:2-2-lobby\r\n");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), Pws("s3cr\xE9t=x"));
    EXPECT_EQ(ReadSetting(sim, "dcp", "password", kPasswordFile), "s3cr\xE9t=x");
    EXPECT_EQ(sim.FileBytes(kUserPasswordFile), std::nullopt);
}

TEST_F(Commands, PasswordNoFileTakesIsStillUsedThisRun) {
    sim.RemoveFolder(kSystemFolder);
    sim.SetUserDataFolder("");
    Start("");
    Click("setpassword", "lost");
    sim.SetFileBytes(kPasswordFile, Pws("other"));
    EXPECT_EQ(program.protection.Password(), "lost") << "typed after the file was written";
    // Once a later one is stored, the file speaks again.
    Click("setpassword", "kept");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), Pws("kept"));
    sim.SetFileBytes(kPasswordFile, Pws("edited"));
    EXPECT_EQ(program.protection.Password(), "edited");
}

TEST(Passwords, SystemFolderFirstTheUsersFolderWhereItRefuses) {
    const struct {
        const char* what;
        bool systemFolder, userFolder;
        Bytes systemBefore, userBefore;
        bool userReadOnly;
        const char* store;  // nullptr: none
        bool stored;
        Bytes systemAfter, userAfter;
        const char* read;
    } cases[] = {
        {"the system folder refuses", false, true, {}, {}, false, "secret", true, {}, Pws("secret"), "secret"},
        {"the user's copy goes", true, true, {}, Pws("older"), false, "newer", true, Pws("newer"), {}, "newer"},
        {"the user's copy cannot go", true, true, {}, Pws("older"), true, "newer", false, Pws("newer"), Pws("older"),
         "older"},
        {"nowhere to keep it", false, false, {}, {}, false, "lost", false, {}, {}, ""},
        {"the user's copy is newer", true, true, Pws("stale"), Pws("fresh"), false, nullptr, false, Pws("stale"),
         Pws("fresh"), "fresh"},
        {"the user's copy is empty", true, true, Pws("stale"), "[dcp]\r\n", false, nullptr, false, Pws("stale"),
         "[dcp]\r\n", "stale"},
    };
    for (const auto& c : cases) {
        sim::SimPlatform fs;
        fs.SetUserDataFolder(c.userFolder ? kUserFolder : "");
        if (!c.systemFolder) fs.RemoveFolder(kSystemFolder);
        if (c.systemBefore) fs.SetFileBytes(kPasswordFile, *c.systemBefore);
        if (c.userBefore) fs.SetFileBytes(kUserPasswordFile, *c.userBefore);
        if (c.userReadOnly) fs.SetFileFlags(kUserPasswordFile, {.readOnly = true});
        if (c.store) { EXPECT_EQ(dcp::StorePassword(fs, c.store), c.stored) << c.what; }
        EXPECT_EQ(fs.FileBytes(kPasswordFile), c.systemAfter) << c.what;
        EXPECT_EQ(fs.FileBytes(kUserPasswordFile), c.userAfter) << c.what;
        EXPECT_EQ(dcp::ReadPassword(fs), c.read) << c.what;
    }
}

TEST_F(Commands, VersionSetIsStoredAndUsedAndAutoAsksTheClientAgain) {
    aolsim::SimClient client{sim};
    client.Start("6.0");
    Start("");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: auto");
    EXPECT_EQ(program.version(), "6.0");
    Click("aolversion", "5.0");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: 5.0");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[aol]\r\nVERSION=5.0\r\n");
    EXPECT_EQ(program.version(), "5.0");
    Click("aolversion", "auto");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: auto");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[aol]\r\nVERSION=\r\n");
    EXPECT_EQ(program.version(), "6.0");
}

TEST_F(Commands, EntryLineShowsTheSetVersion) {
    aolsim::SimClient client{sim};
    client.Start("8.0");
    client.SignOn("Joe Blow");
    client.OpenRoom("Lobby");
    sim.SetMenusUnreadable(true);
    Start("[aol]\r\nVERSION=6.0\r\n");
    ASSERT_EQ(client.Transcript("Lobby").size(), 2u);
    EXPECT_EQ(client.Transcript("Lobby")[1],
              "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" "
              "color=#000000>aol: <font color=#0000ff>6.0<font color=#000000> \xB7 stats: <font "
              "color=#0000ff>0<font color=#000000>d : <font color=#0000ff>0<font color=#000000>h : <font "
              "color=#0000ff>0<font color=#000000>m");
}

}  // namespace
}  // namespace qm
