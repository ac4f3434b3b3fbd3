#include "idle/idle.h"

#include <cmath>

#include "aol/chat_sender.h"
#include "app/shell.h"
#include "app/settings.h"
#include "idle/numbers.h"

namespace qm {

IdleEngine::IdleEngine(Shell& shell) : shell_(shell), countedTo_(shell.platform.Now()) {
    shell_.form1.Timer1_Timer = [this] { Timer1_Timer(); };
    Form2& menus = shell_.form2;
    menus.Item("idleon").Click = [this] { idleon_Click(); };
    menus.Item("idleoff").Click = [this] { idleoff_Click(); };
    menus.Item("idlepause").Click = [this] { idlepause_Click(); };
    menus.Item("interval").Click = [this] { interval_Click(); };
    menus.Item("bragidlestats").Click = [this] { bragidlestats_Click(); };
    menus.Item("exit").Click = [this] { exit_Click(); };
}

bool IdleEngine::Say(Announcement kind, const std::vector<LineValue>& values) {
    if (shell_.Ending()) return false;
    shell_.chat.SendChatLine(ComposeAnnouncement(kind, shell_.form1.Style(), values));
    return !shell_.Ending();
}

bool IdleEngine::Wait(double seconds) {
    if (shell_.Ending()) return false;
    aol::Pause(shell_.platform, seconds);
    return !shell_.Ending();
}

// ---- the idle commands -----------------------------------------------------------

void IdleEngine::idleon_Click() {
    Form2& menus = shell_.form2;
    menus.SetEnabled("idleon", false);
    menus.SetEnabled("idleoff", true);
    menus.SetEnabled("idlepause", true);
    countedTo_ = shell_.platform.Now();
    shell_.form1.Timer1.SetEnabled(true);
    Say(Announcement::IdleOn, {[this] { return shell_.form1.lblInterval; }});
}

void IdleEngine::idleoff_Click() {
    Form2& menus = shell_.form2;
    Form1& form = shell_.form1;
    menus.SetEnabled("idleoff", false);
    menus.SetEnabled("idlepause", false);
    menus.SetCaption("idlepause", "idle pause");
    menus.SetEnabled("idleon", true);
    // The stored total keeps every minute idled, the last ones too.
    if (form.Timer1.Enabled()) CountUntilNow();
    form.Timer1.SetEnabled(false);
    form.SetLabel2("0d : 0h : 0m");
    form.lblDay = form.lblHrs = form.lblMins = "0";
    form.lblInterval2 = "0";
    Say(Announcement::IdleOff);
}

void IdleEngine::idlepause_Click() {
    Form1& form = shell_.form1;
    if (form.Timer1.Enabled()) {
        CountUntilNow();
        form.Timer1.SetEnabled(false);
        shell_.form2.SetCaption("idlepause", "idle unpause");
        form.lblInterval2 = "0";
        Say(Announcement::IdlePaused);
    } else {
        countedTo_ = shell_.platform.Now();
        form.Timer1.SetEnabled(true);
        shell_.form2.SetCaption("idlepause", "idle pause");
        Say(Announcement::IdleUnpaused);
    }
}

void IdleEngine::interval_Click() {
    Platform& platform = shell_.platform;
    const std::string answer = platform.InputBox("set idle interval", "enter a number as time interval.", "");
    if (answer.empty()) return;
    const std::optional<double> minutes = idle::StrictNumber(answer);
    if (!minutes || std::floor(*minutes) <= 0) return;
    Form1& form = shell_.form1;
    form.lblInterval = answer;
    shell_.form2.SetCaption("interval", "interval: " + form.lblInterval);
    WriteSetting(platform, "interval", "interval", form.lblInterval, SettingsFile(platform));
    Say(Announcement::SetInterval, {[this] { return shell_.form1.lblInterval; }});
}

}  // namespace qm
