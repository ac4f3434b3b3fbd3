// The idle tick, once a minute while idling is on.  Every step reads the
// labels and the file as they are at that moment: commands and other timers
// may run while a line is being posted.  A step that cannot be done is
// skipped and the tick goes on.
#include <algorithm>
#include <cmath>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "app/shell.h"
#include "app/settings.h"
#include "idle/idle.h"
#include "idle/numbers.h"
#include "transfer/status.h"

namespace qm {
namespace {

using idle::LeadingNumber;
using idle::PlusOne;
using idle::StrictNumber;

// label + 1, the label read as a number by `read`; a label it gives no number
// keeps its text.
void Increment(std::string& label, std::optional<double> (*read)(std::string_view) = StrictNumber) {
    if (std::optional<std::string> next = PlusOne(read(label))) label = *next;
}

// Day, hour and minute `minutes` on, minute by minute as that many ticks
// would: a carry at exactly "60" minutes and "24" hours, the hours looked at
// every minute, not only after a carry.
void AddMinutes(std::string& day, std::string& hour, std::string& minute, int minutes,
                std::optional<double> (*read)(std::string_view)) {
    for (int i = 0; i < minutes; ++i) {
        Increment(minute, read);
        if (minute == "60") {
            Increment(hour, read);
            minute = "0";
        }
        if (hour == "24") {
            Increment(day, read);
            hour = "0";
        }
    }
}

}  // namespace

// Timer1 never runs inside itself: a tick that falls due while an earlier
// one still posts is skipped, and its minute is counted by the next one.
void IdleEngine::Timer1_Timer() {
    Form1& form = shell_.form1;
    const int minutes = TakeMinutes(true);
    AdvanceClock(minutes);
    AdvanceStoredTotal(minutes);

    for (int i = 0; i < minutes; ++i) Increment(form.lblInterval2, LeadingNumber);
    if (!AnnouncementDue()) return;

    NextReason();
    if (!Say(Announcement::IdleClock, {[&form] { return form.lblDay; }, [&form] { return form.lblHrs; },
                                       [&form] { return form.lblMins; }}))
        return;
    if (!Wait(0.4)) return;
    if (!Say(Announcement::IdleReason, {[&form] { return form.lblReason; }})) return;
    if (!Wait(0.4)) return;

    // A command may have reset the counter or changed the interval meanwhile.
    if (AnnouncementDue()) form.lblInterval2 = "0";
    PostTransferLines();
}

int IdleEngine::TakeMinutes(bool tick) {
    const double now = shell_.platform.Now();
    const double elapsed = std::max(0.0, now - countedTo_);
    double whole = std::floor((elapsed + (tick ? kTickSlackSeconds : 0.0)) / 60.0);
    if (tick) whole = std::max(whole, 1.0);
    const int minutes = static_cast<int>(std::min(whole, static_cast<double>(bounds::kMinutesCountedAtOnce)));
    // What is left of a minute begun waits for the next count; an early tick
    // leaves nothing over.
    countedTo_ = std::min(now, countedTo_ + 60.0 * minutes);
    return minutes;
}

void IdleEngine::CountUntilNow() {
    const int minutes = TakeMinutes(false);
    AdvanceClock(minutes);
    AdvanceStoredTotal(minutes);
}

void IdleEngine::AdvanceClock(int minutes) {
    if (minutes <= 0) return;
    Form1& form = shell_.form1;
    AddMinutes(form.lblDay, form.lblHrs, form.lblMins, minutes, StrictNumber);
    form.SetLabel2(form.lblDay + "d : " + form.lblHrs + "h : " + form.lblMins + "m");
}

// Read once, advanced minute by minute as that many ticks would, written
// once: the total grows by exactly the minutes the clock counted.
void IdleEngine::AdvanceStoredTotal(int minutes) {
    owedMinutes_ += std::max(minutes, 0);
    if (owedMinutes_ <= 0) return;
    Platform& platform = shell_.platform;
    const std::string file = SettingsFile(platform);
    // A file that is there but does not read would read as a total of 0:
    // the minutes wait for a file that reads.
    if (platform.FileExists(file) && !ProfileFileReads(platform, file)) return;
    auto read = [&] {
        return StoredTotal{ReadSetting(platform, "stats", "minute", file),
                           ReadSetting(platform, "stats", "hour", file), ReadSetting(platform, "stats", "day", file)};
    };
    // Read afresh, twice alike: a read that failed reads as an empty entry,
    // never to be counted on from nothing.  After a write that broke between
    // the three entries, the file holds part of it: the total from before is
    // written on instead.
    if (!repairing_) {
        const StoredTotal first = read();
        if (!(read() == first)) return;
        stored_ = first;
    }
    StoredTotal next = *stored_;
    AddMinutes(next.day, next.hour, next.minute, owedMinutes_, LeadingNumber);
    // A value as long as a read takes may have been cut: unless the minutes
    // changed it, it is not written back, and stays whole.
    const StoredTotal& before = *stored_;
    auto keep = [](const std::string& now, const std::string& read) {
        return now == read && read.size() + 1 >= static_cast<std::size_t>(kSettingBufferSize);
    };
    if (!keep(next.minute, before.minute)) WriteSetting(platform, "stats", "minute", next.minute, file);
    if (!keep(next.hour, before.hour)) WriteSetting(platform, "stats", "hour", next.hour, file);
    if (!keep(next.day, before.day)) WriteSetting(platform, "stats", "day", next.day, file);
    // Counted only once the file holds all three.
    repairing_ = !(read() == next);
    if (repairing_) return;
    stored_ = next;
    owedMinutes_ = 0;
}

std::optional<IdleEngine::StoredTotal> IdleEngine::KnownStoredTotal() {
    Platform& platform = shell_.platform;
    const std::string file = SettingsFile(platform);
    std::optional<StoredTotal> total;
    const std::optional<std::string> minute = ReadKnownSetting(platform, "stats", "minute", file),
                                     hour = ReadKnownSetting(platform, "stats", "hour", file),
                                     day = ReadKnownSetting(platform, "stats", "day", file);
    if (minute && hour && day) {
        total = StoredTotal{*minute, *hour, *day};
    } else if (stored_) {
        total = stored_;
        AddMinutes(total->day, total->hour, total->minute, owedMinutes_, LeadingNumber);
    } else {
        return std::nullopt;
    }
    for (std::string* value : {&total->minute, &total->hour, &total->day})
        if (value->empty()) *value = "0";
    return total;
}

// The counter has reached or passed the interval (a new interval may be
// below it).  An interval typed as "05" or "1.9" counts by its whole minutes
// (5, 1); one that is not a number, or under a minute, is never reached.
bool IdleEngine::AnnouncementDue() const {
    const Form1& form = shell_.form1;
    const std::optional<double> interval = StrictNumber(form.lblInterval);
    const std::optional<double> counter = LeadingNumber(form.lblInterval2);
    return interval && counter && std::floor(*interval) >= 1 && *counter >= std::floor(*interval);
}

void IdleEngine::NextReason() {
    Form1& form = shell_.form1;
    ReasonList& list = form.List1;
    // Back to the first entry of the text last shown.  None of that text
    // (the default reason, or one edited away): the rotation goes on from
    // where it stands.  Nothing shown yet: it begins at the first entry,
    // even when the list holds an empty one.
    if (!form.lblReason.empty()) list.SelectMatching(form.lblReason);
    if (list.ListIndex() == list.ListCount() - 1) list.SetListIndex(-1);
    list.SetListIndex(list.ListIndex() + 1);  // on an empty list there is none
    form.lblReason = list.Text();
    if (form.lblReason.empty()) form.lblReason = kDefaultReason;
}

// A download is always reported, an upload unless the client is 7.0; the
// download first, no pause between them.  The version and the file names
// are asked afresh at every test.  A name that could not be read tells
// neither that a transfer runs nor that none does, and a line whose values
// could not all be read is not said.
void IdleEngine::PostTransferLines() {
    if (!shell_.form2.Checked("insertdlul")) return;
    Platform& platform = shell_.platform;
    using transfer::Reader;
    auto seven = [this] { return shell_.version() == "7.0"; };
    auto none = [&platform](Reader name) {
        const transfer::Reading read = name(platform);
        return read && read->empty();
    };
    auto some = [&platform](Reader name) {
        const transfer::Reading read = name(platform);
        return read && !read->empty();
    };
    auto say = [this, &platform](std::initializer_list<Reader> readers) {
        if (shell_.Ending()) return false;
        const std::optional<std::string> line =
            transfer::ComposeTransferLine(platform, Announcement::IdleTransfer, shell_.form1.Style(), readers);
        if (line) shell_.chat.SendChatLine(*line);
        return !shell_.Ending();
    };
    const std::initializer_list<Reader> download = {transfer::GetDownloadFileName, transfer::GetDownloadPercent,
                                                    transfer::GetDownloadMinutesLeft};
    const std::initializer_list<Reader> upload = {transfer::GetUploadFileName, transfer::GetUploadPercent,
                                                  transfer::GetUploadMinutesLeft};

    if (seven() && none(transfer::GetDownloadFileName)) return;
    if (!seven() && none(transfer::GetUploadFileName) && none(transfer::GetDownloadFileName)) return;
    if (seven() && !say(download)) return;
    if (!seven() && some(transfer::GetDownloadFileName) && !say(download)) return;
    if (!seven() && some(transfer::GetUploadFileName)) say(upload);
}

}  // namespace qm
