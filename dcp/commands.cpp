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
    Form2& menu = program.form2;
    const std::string file = SettingsFile(program.platform);
    const bool on = !menu.Checked(item);
    menu.SetChecked(item, on);
    WriteSetting(program.platform, "dcp", key, on ? "yes" : "no", file);
    if (!on) return;
    menu.SetChecked(other, false);
    WriteSetting(program.platform, "dcp", otherKey, "no", file);
}

}  // namespace

void Protection::enabledcp_Click() {
    Form2& menu = program_.form2;
    const bool on = !menu.Checked("enabledcp");
    menu.SetChecked("enabledcp", on);
    program_.form1.Timer2.SetEnabled(on);
    for (const char* item : kDependents) menu.SetEnabled(item, on);
    WriteSetting(program_.platform, "dcp", "auto dcp", on ? "yes" : "no", SettingsFile(program_.platform));
}

void Protection::enablereenterroom_Click() {
    Form2& menu = program_.form2;
    const bool on = !menu.Checked("enablereenterroom");
    menu.SetChecked("enablereenterroom", on);
    WriteSetting(program_.platform, "dcp", "re-enter room", on ? "yes" : "no", SettingsFile(program_.platform));
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
    program_.form2.SetCaption("aolversion", "aol version: " + (answer == "auto" ? std::string("auto") : answer));
    WriteSetting(program_.platform, "aol", "version", program_.version.setting, SettingsFile(program_.platform));
}

}  // namespace qm
