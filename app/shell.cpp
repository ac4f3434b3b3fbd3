#include "app/shell.h"

#include "app/settings.h"

namespace qm {

Shell::Shell(Platform& platform)
    : platform(platform), version(platform), chat(platform, [this] { return version(); }), form2(*this), form1(*this) {
    form2.Item("minimize").Click = [this] { form2.minimize_Click(); };
}

void Shell::SetMark(const char* item, bool on, const char* section, const char* key) {
    form2.SetChecked(item, on);
    WriteSetting(platform, section, key, on ? "yes" : "no", SettingsFile(platform));
}

bool Shell::ToggleMark(const char* item, const char* section, const char* key) {
    const bool on = !form2.Checked(item);
    SetMark(item, on, section, key);
    return on;
}

void Shell::End() {
    if (ending_) return;
    ending_ = true;
    for (Timer* timer : {&form1.Timer1, &form1.Timer2, &form1.Timer3}) timer->SetEnabled(false);
    platform.ShowWindow(form1.Window(), ShowCmd::Hide);
    for (const std::function<void()>& then : atEnd_) then();
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
