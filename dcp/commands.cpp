// The "dcp options" commands and the client-version setting.  Each changes a
// check mark (or asks for a text) and writes the choice at once; none posts
// anything.
#include "aol/client_version.h"
#include "app/shell.h"
#include "app/settings.h"
#include "dcp/password.h"
#include "dcp/protection.h"

namespace qm {
namespace {

// Greyed while protection is off; their marks stay as they are.
constexpr const char* kDependents[] = {"setpassword", "enablereenterroom", "setroom", "resumedl", "resumeul"};

constexpr const char* kPasswordPrompt =
    "enter your aol password for current screen name.  if your password is stored in aol preferences, you do "
    "not need to enter a password.";

// The two resume marks exclude each other: setting one clears the other.
void ToggleResume(Shell& shell, const char* item, const char* key, const char* other, const char* otherKey) {
    if (shell.ToggleMark(item, "dcp", key)) shell.SetMark(other, false, "dcp", otherKey);
}

}  // namespace

void Protection::enabledcp_Click() {
    const bool on = shell_.ToggleMark("enabledcp", "dcp", "auto dcp");
    shell_.form1.Timer2.SetEnabled(on);
    EnableDependents(on);
}

void Protection::EnableDependents(bool on) {
    for (const char* item : kDependents) shell_.form2.SetEnabled(item, on);
}

void Protection::ShowVersionSetting() {
    const std::string& setting = shell_.version.setting;
    shell_.form2.SetCaption("aolversion", "aol version: " + (setting.empty() ? std::string("auto") : setting));
}

void Protection::enablereenterroom_Click() {
    shell_.ToggleMark("enablereenterroom", "dcp", "re-enter room");
}

void Protection::resumedl_Click() {
    ToggleResume(shell_, "resumedl", "resume download", "resumeul", "resume upload");
}

void Protection::resumeul_Click() {
    ToggleResume(shell_, "resumeul", "resume upload", "resumedl", "resume download");
}

void Protection::setpassword_Click() {
    const std::string answer = shell_.platform.InputBox("set aol password", kPasswordPrompt, "");
    if (answer.empty()) return;
    if (dcp::StorePassword(shell_.platform, answer)) {
        unstoredPassword_.reset();
        return;
    }
    // Not lost where no file takes it: this run still signs on with it, and
    // the user knows it will not outlast the run.
    unstoredPassword_ = answer;
    shell_.platform.MessageBox("dcp password", "the password could not be saved; it is used until quillmoor ends.");
}

void Protection::setroom_Click() {
    const std::string answer = shell_.platform.InputBox("set dcp room", "enter an aol url and chat room name.", "");
    if (answer.empty()) return;
    WriteSetting(shell_.platform, "dcp", "room", answer, SettingsFile(shell_.platform));
}

void Protection::aolversion_Click() {
    const std::string answer =
        shell_.platform.InputBox("set aol version", "enter 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0 or auto.", "");
    if (answer != "auto" && !aol::IsSettableVersion(answer)) return;
    shell_.version.setting = answer == "auto" ? "" : answer;
    ShowVersionSetting();
    WriteSetting(shell_.platform, "aol", "version", shell_.version.setting, SettingsFile(shell_.platform));
}

}  // namespace qm
