// The idle engine: the idle clock and its announcements (Timer1, once a
// minute), the commands that start, stop, pause and re-time idling, and the
// two that report the stored idle total: brag and exit.
//
// Its state lives in the main window's labels, as text: the idle clock
// (lblDay, lblHrs, lblMins, shown in Label2), the announcement counter
// (lblInterval2), the interval (lblInterval) and the reason last announced
// (lblReason); the total of all runs lives in the settings file, section
// "stats".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/announcement.h"

namespace qm {

class Shell;

// The reason announced when the list gives none.
constexpr const char* kDefaultReason = "visit: www.quillmoor.example";

// A tick that comes this much before its minute is up (the timer and the
// monotonic clock tick apart) still counts that minute.
constexpr double kTickSlackSeconds = 1.0;

class IdleEngine {
public:
    explicit IdleEngine(Shell& shell);

    // The minutes of idling since the last one counted (at least one: a tick
    // is a minute; more when ticks were skipped while an earlier one ran
    // long): the clock, the stored total, the counter, and when the counter
    // reaches the interval, an idle announcement.
    void Timer1_Timer();

    // ---- Menu commands ----------------------------------------------------------
    void idleon_Click();
    void idleoff_Click();
    void idlepause_Click();
    void interval_Click();
    void bragidlestats_Click();
    void exit_Click();

private:
    // Whole minutes of idling on the monotonic clock since the last minute
    // counted, now counted (at most bounds::kMinutesCountedAtOnce; the rest
    // is left for the next tick).  A tick counts at least one, and one that
    // comes a little early counts the minute it stands for.
    int TakeMinutes(bool tick);
    // Idling stops: the whole minutes it ran since the last tick still count.
    void CountUntilNow();
    void AdvanceClock(int minutes);
    void AdvanceStoredTotal(int minutes);
    bool AnnouncementDue() const;
    void NextReason();
    void PostTransferLines();
    // Posts one line drawn with the style of this moment.  False once the
    // program is ending: nothing more is said then.
    bool Say(Announcement kind, const std::vector<LineValue>& values = {});
    bool Wait(double seconds);
    struct StoredTotal {
        std::string minute, hour, day;
        bool operator==(const StoredTotal&) const = default;
    };
    // The stored total for brag and exit: as the file holds it, or, where
    // the file does not read, the last total known with the minutes counted
    // since; nullopt when no total is known ("0" would be a wrong one).
    std::optional<StoredTotal> KnownStoredTotal();

    Shell& shell_;
    bool exiting_ = false;
    // When the last minute counted ended (or idling began), on Now()'s clock.
    double countedTo_ = 0;
    // The stored total as last read or written whole, the minutes counted
    // but not yet in the file, and whether the last write broke midway.
    std::optional<StoredTotal> stored_;
    int owedMinutes_ = 0;
    bool repairing_ = false;
};

}  // namespace qm
