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

constexpr const char* kSettingsFile = "C:\\quillmoor\\quillmoor.dat";
constexpr const char* kSystemFolder = "C:\\WINDOWS\\SYSTEM";
constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";
constexpr const char* kUserFolder = "C:\\Users\\joe\\AppData\\Roaming";
constexpr const char* kUserPasswordFile = "C:\\Users\\joe\\AppData\\Roaming\\quillmoor\\quillmoor.pws";
constexpr const char* kDependents[] = {"setpassword", "enablereenterroom", "setroom", "resumedl", "resumeul"};
constexpr const char* kPasswordPrompt =
    "enter your aol password for current screen name.  if your password is stored in aol preferences, you do "
    "not need to enter a password.";

class Commands : public ::testing::Test {
protected:
    Commands() {
        sim.SetProgramFolder("C:\\quillmoor");
        sim.SetUserDataFolder(kUserFolder);
    }
    void Start(const std::string& settings = "") {
        if (!settings.empty()) sim.SetFileBytes(kSettingsFile, settings);
        ASSERT_TRUE(program.Start());
    }
    void Click(const char* item) { program.form2.Item(item).Click(); }
    std::string Setting(const char* section, const char* key) {
        return ReadSetting(sim, section, key, kSettingsFile);
    }
    bool Checked(const char* item) { return program.form2.Checked(item); }
    bool Enabled(const char* item) { return program.form2.Item(item).enabled; }

    sim::SimPlatform sim;
    Program program{sim};
};

// ---- switching protection and its options ---------------------------------------------------------

TEST_F(Commands, EnableDcpSwitchesTheTimerTheItemsAndTheSetting) {
    Start();
    for (const char* item : kDependents) EXPECT_FALSE(Enabled(item)) << item;
    Click("enabledcp");
    EXPECT_TRUE(Checked("enabledcp"));
    EXPECT_TRUE(program.form1.Timer2.Enabled());
    for (const char* item : kDependents) EXPECT_TRUE(Enabled(item)) << item;
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nAUTO DCP=yes\r\n");
    Click("enabledcp");
    EXPECT_FALSE(Checked("enabledcp"));
    EXPECT_FALSE(program.form1.Timer2.Enabled());
    for (const char* item : kDependents) EXPECT_FALSE(Enabled(item)) << item;
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nAUTO DCP=no\r\n");
}

TEST_F(Commands, GreyedItemsKeepTheirMarks) {
    Start("[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nRESUME UPLOAD=yes\r\n");
    Click("enabledcp");
    EXPECT_FALSE(Enabled("enablereenterroom"));
    EXPECT_TRUE(Checked("enablereenterroom"));
    EXPECT_TRUE(Checked("resumeul"));
    Click("enabledcp");
    EXPECT_TRUE(Checked("enablereenterroom"));
    EXPECT_EQ(Setting("dcp", "re-enter room"), "yes");
}

TEST_F(Commands, EnableReEnterToggles) {
    Start();
    Click("enablereenterroom");
    EXPECT_TRUE(Checked("enablereenterroom"));
    EXPECT_EQ(Setting("dcp", "re-enter room"), "yes");
    Click("enablereenterroom");
    EXPECT_FALSE(Checked("enablereenterroom"));
    EXPECT_EQ(Setting("dcp", "re-enter room"), "no");
}

TEST_F(Commands, ResumeMarksExcludeEachOther) {
    Start("[dcp]\r\nRESUME UPLOAD=yes\r\n");
    Click("resumedl");
    EXPECT_TRUE(Checked("resumedl"));
    EXPECT_FALSE(Checked("resumeul"));
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nRESUME UPLOAD=no\r\nRESUME DOWNLOAD=yes\r\n");
    Click("resumeul");
    EXPECT_TRUE(Checked("resumeul"));
    EXPECT_FALSE(Checked("resumedl"));
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nRESUME UPLOAD=yes\r\nRESUME DOWNLOAD=no\r\n");
}

TEST_F(Commands, UnmarkingOneResumeWritesOnlyItsOwnSetting) {
    // Both marked, as only a start-up with both stored as "yes" can make.
    Start("[dcp]\r\nRESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n");
    Click("resumedl");
    EXPECT_FALSE(Checked("resumedl"));
    EXPECT_TRUE(Checked("resumeul"));
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nRESUME DOWNLOAD=no\r\nRESUME UPLOAD=yes\r\n");
    Click("resumeul");
    EXPECT_FALSE(Checked("resumeul"));
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nRESUME DOWNLOAD=no\r\nRESUME UPLOAD=no\r\n");
}

// ---- the room -----------------------------------------------------------------------------------------

TEST_F(Commands, RoomIsAskedForAndStored) {
    Start();
    sim.ScriptPrompt("aol://2719:2-2-lobby");
    Click("setroom");
    ASSERT_EQ(sim.Prompts().size(), 1u);
    EXPECT_EQ(sim.Prompts()[0].title, "set dcp room");
    EXPECT_EQ(sim.Prompts()[0].prompt, "enter an aol url and chat room name.");
    EXPECT_EQ(sim.Prompts()[0].defaultText, "");
    EXPECT_EQ(Setting("dcp", "room"), "aol://2719:2-2-lobby");
}

TEST_F(Commands, CancelledOrEmptyRoomChangesNothing) {
    Start("[dcp]\r\nROOM=lobby\r\n");
    sim.ScriptPrompt(std::nullopt);
    Click("setroom");
    sim.ScriptPrompt("");
    Click("setroom");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[dcp]\r\nROOM=lobby\r\n");
}

// ---- the password ----------------------------------------------------------------------------------------

TEST_F(Commands, PasswordIsStoredAsTypedInItsOwnFile) {
    Start();
    sim.ScriptPrompt("s3cr\xE9t=x");
    Click("setpassword");
    ASSERT_EQ(sim.Prompts().size(), 1u);
    EXPECT_EQ(sim.Prompts()[0].title, "set aol password");
    EXPECT_EQ(sim.Prompts()[0].prompt, kPasswordPrompt);
    EXPECT_EQ(sim.Prompts()[0].defaultText, "");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), "[dcp]\r\nPASSWORD=s3cr\xE9t=x\r\n");
    EXPECT_EQ(ReadSetting(sim, "dcp", "password", kPasswordFile), "s3cr\xE9t=x");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), std::nullopt);
    EXPECT_EQ(sim.FileBytes(kUserPasswordFile), std::nullopt);
}

TEST_F(Commands, CancelledPasswordLeavesTheStoredOne) {
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=old\r\n");
    Start();
    sim.ScriptPrompt(std::nullopt);
    Click("setpassword");
    sim.ScriptPrompt("");
    Click("setpassword");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), "[dcp]\r\nPASSWORD=old\r\n");
    EXPECT_EQ(program.protection.Password(), "old");
}

TEST_F(Commands, UnwritableSystemFolderKeepsThePasswordInTheUsersFolder) {
    sim.RemoveFolder(kSystemFolder);
    Start();
    sim.ScriptPrompt("secret");
    Click("setpassword");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), std::nullopt);
    EXPECT_EQ(sim.FileBytes(kUserPasswordFile), "[dcp]\r\nPASSWORD=secret\r\n");
    EXPECT_EQ(dcp::ReadPassword(sim), "secret");
}

TEST_F(Commands, UsersCopyGoesOnceTheSystemFolderTakesTheWriteAgain) {
    sim.SetFileBytes(kUserPasswordFile, "[dcp]\r\nPASSWORD=older\r\n");
    Start();
    sim.ScriptPrompt("newer");
    Click("setpassword");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), "[dcp]\r\nPASSWORD=newer\r\n");
    EXPECT_EQ(sim.FileBytes(kUserPasswordFile), std::nullopt);
    EXPECT_EQ(dcp::ReadPassword(sim), "newer");
}

TEST_F(Commands, UsersCopyThatCannotGoKeepsTheNewPasswordForThisRun) {
    sim.SetFileBytes(kUserPasswordFile, "[dcp]\r\nPASSWORD=older\r\n");
    sim.SetFileFlags(kUserPasswordFile, {.readOnly = true});
    Start();
    sim.ScriptPrompt("newer");
    Click("setpassword");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), "[dcp]\r\nPASSWORD=newer\r\n");
    EXPECT_EQ(dcp::ReadPassword(sim), "older");
    EXPECT_EQ(program.protection.Password(), "newer");
}

TEST_F(Commands, UsersCopyWinsOverAnOlderSystemCopy) {
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=stale\r\n");
    sim.SetFileBytes(kUserPasswordFile, "[dcp]\r\nPASSWORD=fresh\r\n");
    EXPECT_EQ(dcp::ReadPassword(sim), "fresh");
    sim.SetFileBytes(kUserPasswordFile, "[dcp]\r\n");
    EXPECT_EQ(dcp::ReadPassword(sim), "stale");
    sim.RemoveFile(kUserPasswordFile);
    EXPECT_EQ(dcp::ReadPassword(sim), "stale");
}

TEST_F(Commands, PasswordNoFileTakesIsStillUsedThisRun) {
    sim.RemoveFolder(kSystemFolder);
    sim.SetUserDataFolder("");
    Start();
    sim.ScriptPrompt("lost");
    Click("setpassword");
    EXPECT_EQ(program.protection.Password(), "lost");
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=other\r\n");
    EXPECT_EQ(program.protection.Password(), "lost") << "typed after the file was written";
    // Once a later one is stored, the file speaks again.
    sim.ScriptPrompt("kept");
    Click("setpassword");
    EXPECT_EQ(sim.FileBytes(kPasswordFile), "[dcp]\r\nPASSWORD=kept\r\n");
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=edited\r\n");
    EXPECT_EQ(program.protection.Password(), "edited");
}

// ---- the client's version ------------------------------------------------------------------------------

TEST_F(Commands, VersionIsAskedForStoredAndUsed) {
    Start();
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: auto");
    sim.ScriptPrompt("5.0");
    Click("aolversion");
    ASSERT_EQ(sim.Prompts().size(), 1u);
    EXPECT_EQ(sim.Prompts()[0].title, "set aol version");
    EXPECT_EQ(sim.Prompts()[0].prompt, "enter 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0 or auto.");
    EXPECT_EQ(sim.Prompts()[0].defaultText, "");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: 5.0");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[aol]\r\nVERSION=5.0\r\n");
    EXPECT_EQ(program.version(), "5.0");
}

TEST_F(Commands, AutoAsksTheClientAgain) {
    aolsim::SimClient client{sim};
    client.Start("6.0");
    Start("[aol]\r\nVERSION=8.0\r\n");
    ASSERT_EQ(program.version(), "8.0");
    sim.ScriptPrompt("auto");
    Click("aolversion");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: auto");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[aol]\r\nVERSION=\r\n");
    EXPECT_EQ(program.version(), "6.0");
}

TEST_F(Commands, OnlyTheOfferedVersionsAreTaken) {
    Start("[aol]\r\nVERSION=4.0\r\n");
    for (const char* refused : {"9.0", "8", "8.0 ", "Auto", "foreign", "4.5"}) {
        sim.ScriptPrompt(refused);
        Click("aolversion");
    }
    sim.ScriptPrompt(std::nullopt);
    Click("aolversion");
    EXPECT_EQ(program.version(), "4.0");
    EXPECT_EQ(program.form2.Item("aolversion").caption, "aol version: 4.0");
    EXPECT_EQ(sim.FileBytes(kSettingsFile), "[aol]\r\nVERSION=4.0\r\n");
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
