// Away log and automatic idle.
//
// The away log: while idling is on or paused, the chat room's transcript is
// read at every idle tick and after each line of ours; the new lines that
// name the user or are addressed to them are kept (with the time seen), added
// to quillmoor.log beside the program, and shown in the "while you were
// away" window when idling ends.  Automatic idle: after the set minutes
// without keyboard or mouse, idling is switched on as the idle-on command
// does it, and off as the idle-off command does once input comes back, only
// when it was switched on so; what the user switches wins.  Both are off
// until the user turns them on (settings section "away").
//
// The feature knows the idle engine only through the shell: it chooses the
// idle items as the menu does and follows them being chosen.
#pragma once

#include <deque>
#include <string>

#include "app/timer.h"
#include "away/mentions.h"
#include "away/transcript.h"
#include "platform/platform.h"

namespace qm {

class Shell;

namespace away {

// Lines kept for the window: more push the oldest out (they stay in the
// file).
constexpr std::size_t kKeptLines = 1000;
// The window shows the newest this many.
constexpr std::size_t kShownLines = 40;
// How often automatic idle looks at the last input: idling starts, and ends
// when the user is back, within this long.
constexpr unsigned kAutoIdleCheckMs = 5000;
// Automatic idle takes at most a week of minutes.
constexpr int kAutoIdleMostMinutes = 7 * 24 * 60;

struct Kept {
    LocalTime seen;
    std::string line;
};

}  // namespace away

class Away {
public:
    // Binds its menu items and follows the idle items: made after the idle
    // engine has bound them.
    explicit Away(Shell& shell);

    // After start-up's settings: the menu captions and the automatic idle.
    void Start();

    // Reads the transcript now (idling on or paused, log on): the new lines
    // for the user are kept and written.
    void ReadTranscript();
    // Automatic idle's look at the last input.
    void CheckInput();
    // The window with the lines kept, newest last.
    void ShowLog();

    const std::deque<away::Kept>& KeptLines() const { return kept_; }
    bool LogOn() const { return logOn_; }
    int AutoIdleMinutes() const { return autoMinutes_; }

    // ---- Menu commands ----------------------------------------------------------
    void awaylog_Click();
    void showawaylog_Click() { ShowLog(); }
    void autoidle_Click();

private:
    // Idling on or paused.
    bool Idling() const;
    // Chooses an idle item as the user would, marked as ours.
    void Choose(const char* item);
    void SetLog(bool on);
    void SetAutoIdle(int minutes);

    Shell& shell_;
    away::TranscriptWatch watch_;
    away::Mentions mentions_;
    std::deque<away::Kept> kept_;
    // The screen name as last read: the Welcome window that tells it may be
    // gone (closed by the user) while the user is still in the room.
    std::string screenName_;
    bool logOn_ = false;
    int autoMinutes_ = 0;
    Timer autoTimer_;
    bool autoOn_ = false;    // automatic idle switched idling on, and nobody has switched since
    bool armed_ = true;      // input was seen since the user last switched idling off
    bool choosing_ = false;  // an idle item chosen by automatic idle
};

}  // namespace qm
