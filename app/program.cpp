#include "app/program.h"

#include "app/settings.h"

namespace qm {

Program::Program(Platform& platform)
    : platform(platform),
      version(platform),
      chat(platform, [this] { return version(); }),
      form2(*this),
      form1(*this),
      appearance(*this),
      idle(*this),
      reasons(*this),
      transfers(*this),
      protection(*this) {
    form2.Item("minimize").Click = [this] { form2.minimize_Click(); };
}

bool Program::Start() {
    if (!form1.Form_Load()) return false;
    platform.OnTrayMessage([this](std::uint32_t message) { form2.Form_MouseMove(message); });
    platform.OnTaskbarCreated([this] { form2.TaskbarCreated(); });
    form1.Show();
    return true;
}

void Program::SetMark(const char* item, bool on, const char* section, const char* key) {
    form2.SetChecked(item, on);
    WriteSetting(platform, section, key, on ? "yes" : "no", SettingsFile(platform));
}

bool Program::ToggleMark(const char* item, const char* section, const char* key) {
    const bool on = !form2.Checked(item);
    SetMark(item, on, section, key);
    return on;
}

void Program::End() {
    if (ending_) return;
    ending_ = true;
    for (Timer* timer : {&form1.Timer1, &form1.Timer2, &form1.Timer3}) timer->SetEnabled(false);
    platform.ShowWindow(form1.Window(), ShowCmd::Hide);
    reasons.HideEditor();
    // No dead icon is left behind in the tray.
    if (form2.InTray()) form2.RemoveTrayIcon();
    chat.WhenIdle([this] {
        // A client that hung mid-farewell still gets the user's text back, if
        // it lets us within a bounded wait.
        chat.LastRestore();
        platform.Quit();
    });
}

}  // namespace qm
