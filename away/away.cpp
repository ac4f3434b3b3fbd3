#include "away/away.h"

#include <functional>

#include "aol/probes.h"
#include "app/settings.h"
#include "app/shell.h"
#include "away/log_file.h"

namespace qm {
namespace {

constexpr const char* kWindowTitle = "while you were away";

// A whole number of minutes as typed: digits only, not past the most.
std::optional<int> Minutes(const std::string& text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int minutes = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        minutes = minutes * 10 + (c - '0');
    }
    if (minutes > away::kAutoIdleMostMinutes) return std::nullopt;
    return minutes;
}

std::string AutoIdleCaption(int minutes) {
    return minutes > 0 ? "auto idle: " + std::to_string(minutes) + " min" : std::string("auto idle: off");
}

}  // namespace

Away::Away(Shell& shell)
    : shell_(shell), watch_(shell.platform), autoTimer_(shell.platform, away::kAutoIdleCheckMs, [this] { CheckInput(); }) {
    Form2& menus = shell_.form2;
    menus.Item("awaylog").Click = [this] { awaylog_Click(); };
    menus.Item("showawaylog").Click = [this] { showawaylog_Click(); };
    menus.Item("autoidle").Click = [this] { autoidle_Click(); };

    // Follow the idle items, whoever chooses them.
    auto wrap = [&menus](const char* item, std::function<void(const std::function<void()>&)> around) {
        std::function<void()> inner = menus.Item(item).Click;
        menus.Item(item).Click = [inner, around] { around(inner); };
    };
    wrap("idleon", [this](const std::function<void()>& inner) {
        const bool ours = choosing_;
        if (!Idling()) {
            // A new time away: what was said before is not news.
            kept_.clear();
            watch_.Restart();
        }
        if (inner) inner();
        if (!Idling()) return;
        autoOn_ = ours;
        ReadTranscript();
    });
    wrap("idleoff", [this](const std::function<void()>& inner) {
        const bool ours = choosing_;
        ReadTranscript();
        if (inner) inner();
        if (Idling()) return;
        autoOn_ = false;
        if (!ours) armed_ = false;
        if (!kept_.empty()) ShowLog();
    });
    wrap("idlepause", [this](const std::function<void()>& inner) {
        if (!choosing_) autoOn_ = false;
        ReadTranscript();
        if (inner) inner();
    });
    wrap("exit", [this](const std::function<void()>& inner) {
        if (Idling()) {
            ReadTranscript();
            if (!kept_.empty()) ShowLog();
        }
        if (inner) inner();
    });
    std::function<void()> tick = shell_.form1.Timer1_Timer;
    shell_.form1.Timer1_Timer = [this, tick] {
        if (tick) tick();
        ReadTranscript();
    };
    shell_.chat.OnTaken = [this](const std::string& line) {
        mentions_.Posted(line);
        ReadTranscript();
    };
    shell_.AtEnd([this] { autoTimer_.SetEnabled(false); });
}

void Away::Start() {
    const std::string file = SettingsFile(shell_.platform);
    SetLog(ReadSetting(shell_.platform, "away", "log", file) == "yes");
    const std::optional<int> minutes = Minutes(ReadSetting(shell_.platform, "away", "auto idle", file));
    SetAutoIdle(minutes.value_or(0));
}

bool Away::Idling() const { return shell_.form2.Item("idleoff").enabled; }

void Away::Choose(const char* item) {
    MenuItem& menuItem = shell_.form2.Item(item);
    if (!menuItem.enabled || !menuItem.Click) return;
    std::function<void()> click = menuItem.Click;
    choosing_ = true;
    click();
    choosing_ = false;
}

// ---- the away log ----------------------------------------------------------------

void Away::ReadTranscript() {
    if (!logOn_ || !Idling() || shell_.Ending()) return;
    Platform& platform = shell_.platform;
    if (std::string name = aol::GetScreenName(platform); !name.empty()) screenName_ = std::move(name);
    mentions_.SetNames({screenName_, shell_.form1.lblHandle});
    std::string written;
    for (const std::string& line : watch_.Read(aol::VariantFor(shell_.version()))) {
        if (!mentions_.ForUser(line)) continue;
        const LocalTime seen = platform.LocalNow();
        kept_.push_back({seen, line});
        if (kept_.size() > away::kKeptLines) kept_.pop_front();
        written += away::DateTimeText(seen) + "\t" + line + "\r\n";
    }
    // A file that cannot take them keeps what it had; the window still
    // shows them.
    if (!written.empty()) away::AppendToLog(platform, away::LogFile(platform), written);
}

void Away::ShowLog() {
    std::string text;
    const std::size_t shown = std::min(kept_.size(), away::kShownLines);
    if (kept_.empty()) {
        text = logOn_ ? "nothing was said to you since idling began." : "the away log is off.";
    } else if (shown < kept_.size()) {
        text = "(" + std::to_string(kept_.size() - shown) + " earlier lines are in quillmoor.log)\r\n";
    }
    for (std::size_t i = kept_.size() - shown; i < kept_.size(); ++i) {
        const away::ChatLine line = away::ParseLine(kept_[i].line);
        text += away::ClockText(kept_[i].seen) + "  " + (line.who.empty() ? "" : line.who + ": ") +
                away::WithoutMarkup(line.text);
        if (i + 1 < kept_.size()) text += "\r\n";
    }
    shell_.platform.MessageBox(kWindowTitle, text);
}

void Away::SetLog(bool on) {
    logOn_ = on;
    shell_.form2.SetCaption("awaylog", on ? "away log: on" : "away log: off");
}

void Away::awaylog_Click() {
    SetLog(!logOn_);
    WriteSetting(shell_.platform, "away", "log", logOn_ ? "yes" : "no", SettingsFile(shell_.platform));
    // Turned on while away: from now on (what was taken before is not taken
    // again).
    watch_.Rebase();
    ReadTranscript();
}

// ---- automatic idle ----------------------------------------------------------------

void Away::SetAutoIdle(int minutes) {
    autoMinutes_ = minutes;
    shell_.form2.SetCaption("autoidle", AutoIdleCaption(minutes));
    if (minutes == 0) autoOn_ = false;
    autoTimer_.SetEnabled(minutes > 0);
}

void Away::autoidle_Click() {
    Platform& platform = shell_.platform;
    const std::string answer = platform.InputBox(
        "set auto idle", "minutes without keyboard or mouse before idling starts (0 = off).", "");
    const std::optional<int> minutes = Minutes(answer);
    if (!minutes) return;
    SetAutoIdle(*minutes);
    WriteSetting(platform, "away", "auto idle", std::to_string(*minutes), SettingsFile(platform));
}

void Away::CheckInput() {
    if (autoMinutes_ <= 0 || shell_.Ending()) return;
    const std::optional<double> idleFor = shell_.platform.SecondsSinceInput();
    if (!idleFor) return;  // unknown: nothing is switched on a guess
    if (*idleFor < autoMinutes_ * 60.0) {
        armed_ = true;
        if (autoOn_) {
            autoOn_ = false;
            Choose("idleoff");
        }
        return;
    }
    if (armed_ && !Idling()) Choose("idleon");
}

}  // namespace qm
