// The "dcp options" commands and the client-version setting.  Each changes a
// check mark (or asks for a text) and writes the choice at once; none posts
// anything.
#include "aol/client_version.h"
#include "app/program.h"
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
void ToggleResume(Program& program, const char* item, const char* key, const char* other, const char* otherKey) {
    if (program.ToggleMark(item, "dcp", key)) program.SetMark(other, false, "dcp", otherKey);
}

}  // namespace

void Protection::enabledcp_Click() {
    const bool on = program_.ToggleMark("enabledcp", "dcp", "auto dcp");
    program_.form1.Timer2.SetEnabled(on);
    EnableDependents(on);
}

void Protection::EnableDependents(bool on) {
    for (const char* item : kDependents) program_.form2.SetEnabled(item, on);
}

void Protection::ShowVersionSetting() {
    const std::string& setting = program_.version.setting;
    program_.form2.SetCaption("aolversion", "aol version: " + (setting.empty() ? std::string("auto") : setting));
}

void Protection::enablereenterroom_Click() {
    program_.ToggleMark("enablereenterroom", "dcp", "re-enter room");
}

void Protection::resumedl_Click() {
    ToggleResume(program_, "resumedl", "resume download", "resumeul", "resume upload");
}

void Protection::resumeul_Click() {
    ToggleResume(program_, "resumeul", "resume upload", "resumedl", "resume download");
}

void Protection::setpassword_Click() {
    const std::string answer = program_.platform.InputBox("set aol password", kPasswordPrompt, "");
    if (answer.empty()) return;
    if (dcp::StorePassword(program_.platform, answer)) {
        unstoredPassword_.reset();
        return;
    }
    // Not lost where no file takes it: this run still signs on with it, and
    // the user knows it will not outlast the run.
    unstoredPassword_ = answer;
    program_.platform.MessageBox("dcp password", "the password could not be saved; it is used until quillmoor ends.");
}

void Protection::setroom_Click() {
    const std::string answer = program_.platform.InputBox("set dcp room", "enter an aol url and chat room name.", "");
    if (answer.empty()) return;
    WriteSetting(program_.platform, "dcp", "room", answer, SettingsFile(program_.platform));
}

void Protection::aolversion_Click() {
    const std::string answer =
        program_.platform.InputBox("set aol version", "enter 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0 or auto.", "");
    if (answer != "auto" && !aol::IsSettableVersion(answer)) return;
    program_.version.setting = answer == "auto" ? "" : answer;
    ShowVersionSetting();
    WriteSetting(program_.platform, "aol", "version", program_.version.setting, SettingsFile(program_.platform));
}

}  // namespace qm
