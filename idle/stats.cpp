// Brag and exit: the stored idle total of all runs, as the file holds it.
#include "aol/chat_sender.h"
#include "app/shell.h"
#include "app/settings.h"
#include "idle/idle.h"

namespace qm {

// A stored value as read; "0" when there is none.
std::string IdleEngine::Stored(const char* key) {
    Platform& platform = shell_.platform;
    std::string value = ReadSetting(platform, "stats", key, SettingsFile(platform));
    return value.empty() ? "0" : value;
}

void IdleEngine::bragidlestats_Click() {
    const std::string days = Stored("day"), hours = Stored("hour"), minutes = Stored("minute");
    if (!Say(Announcement::StatsLine1) || !Wait(0.4)) return;
    Say(Announcement::StatsLine2, {days, hours, minutes});
}

void IdleEngine::exit_Click() {
    // Chosen again while the farewell is being said: it is said once.
    if (exiting_) return;
    exiting_ = true;
    Form1& form = shell_.form1;
    form.lblDay = Stored("day");
    form.lblHrs = Stored("hour");
    form.lblMins = Stored("minute");
    Say(Announcement::ExitLine1);
    Wait(0.4);
    Say(Announcement::ExitLine2, {[this] { return shell_.version(); }, [&form] { return form.lblDay; },
                                  [&form] { return form.lblHrs; }, [&form] { return form.lblMins; }});
    shell_.End();
}

}  // namespace qm
