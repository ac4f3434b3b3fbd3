// Brag and exit: the stored idle total of all runs, as the file holds it.
#include "aol/chat_sender.h"
#include "app/shell.h"
#include "app/settings.h"
#include "idle/idle.h"

namespace qm {

void IdleEngine::bragidlestats_Click() {
    // A total that could not be read is not bragged as 0.
    const std::optional<StoredTotal> total = KnownStoredTotal();
    if (!total) return;
    if (!Say(Announcement::StatsLine1) || !Wait(0.4)) return;
    Say(Announcement::StatsLine2, {total->day, total->hour, total->minute});
}

void IdleEngine::exit_Click() {
    // Chosen again while the farewell is being said: it is said once.
    if (exiting_) return;
    exiting_ = true;
    Form1& form = shell_.form1;
    const std::optional<StoredTotal> total = KnownStoredTotal();
    if (total) {
        form.lblDay = total->day;
        form.lblHrs = total->hour;
        form.lblMins = total->minute;
    }
    Say(Announcement::ExitLine1);
    Wait(0.4);
    // The farewell's total line only with a total known.
    if (total)
        Say(Announcement::ExitLine2, {[this] { return shell_.version(); }, [&form] { return form.lblDay; },
                                      [&form] { return form.lblHrs; }, [&form] { return form.lblMins; }});
    shell_.End();
}

}  // namespace qm
