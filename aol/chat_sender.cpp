#include "aol/chat_sender.h"

#include <algorithm>

#include "aol/bounds.h"
#include "aol/probes.h"
#include "aol/window_model.h"

namespace qm::aol {

InputVariant VariantFor(const std::string& version) {
    return (version == "7.0" || version == "8.0") ? InputVariant::B : InputVariant::A;
}

void Pause(Platform& platform, double seconds) {
    const double start = platform.Now();
    for (double passed = 0; passed < seconds; passed = platform.Now() - start)
        platform.WaitForEvents(seconds - passed);
}

namespace {

Hwnd WalkForChatRoom(Platform& platform) {
    return FindDocument(platform, [&](Hwnd child) {
               return platform.FindWindowEx(child, 0, kRichClass) && platform.FindWindowEx(child, 0, kListboxClass) &&
                      platform.FindWindowEx(child, 0, kIconClass) && platform.FindWindowEx(child, 0, kStaticClass);
           })
        .window;
}

}  // namespace

// A window that vanishes under the walk ends it early, as if it were done:
// no room is believed gone on one walk alone.
Hwnd FindChatRoom(Platform& platform) {
    const Hwnd room = WalkForChatRoom(platform);
    return room ? room : WalkForChatRoom(platform);
}

Hwnd FindChatInput(Platform& platform, InputVariant variant) {
    Hwnd room = FindChatRoom(platform);
    Hwnd readOnly = platform.FindWindowEx(room, 0, kRichReadOnlyClass);
    if (variant == InputVariant::A) {
        Hwnd first = platform.FindWindowEx(room, 0, kRichClass);
        Hwnd box = first ? platform.FindWindowEx(room, first, kRichClass) : 0;
        if (box || !readOnly) return box;
    }
    return readOnly ? platform.FindWindowEx(room, readOnly, kRichClass) : 0;
}

std::optional<std::string> GetText(Platform& platform, Hwnd window) {
    if (!window) return std::string();
    // The length is the client's word; the buffer is one byte larger than it
    // needs, so that a text that grew meanwhile shows and is read again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::optional<int> length = platform.GetTextLength(window);
        if (!length || *length > bounds::kMaxTextRead) return std::nullopt;
        if (*length <= 0) return std::string();
        std::optional<std::string> text = platform.GetText(window, *length + 2);
        if (!text) return std::nullopt;
        if (text->size() <= static_cast<std::size_t>(*length)) return text;
    }
    return std::nullopt;
}

std::optional<std::string> ReadTextPatiently(Platform& platform, Hwnd window) {
    const double deadline = platform.Now() + bounds::kReadSeconds;
    for (;;) {
        std::optional<std::string> text = GetText(platform, window);
        if (text || platform.Now() >= deadline) return text;
        platform.WaitForEvents(bounds::kPollSeconds);
    }
}

Hwnd FindAolAlert(Platform& platform) { return platform.FindWindow(kAlertClass, std::string_view(kAlertCaption)); }

void DismissAolAlert(Platform& platform) {
    const double deadline = platform.Now() + bounds::kAlertSeconds;
    Hwnd button = 0;
    for (;;) {
        platform.ProcessEvents();
        Hwnd dialog = FindAolAlert(platform);
        if (!dialog) return;
        button = platform.FindWindowEx(dialog, 0, kButtonClass, std::string_view("OK"));
        if (button || platform.Now() >= deadline) break;
        platform.WaitForEvents(bounds::kPollSeconds);
    }
    if (!button) return;
    platform.Send(button, Msg::KeyDown, kVkSpace);
    platform.Send(button, Msg::KeyUp, kVkSpace);
    // A client closing its alert can be deaf for a moment: the next line
    // should not meet it halfway.
    const double gone = platform.Now() + bounds::kAlertSeconds;
    while (FindAolAlert(platform) && platform.Now() < gone) platform.WaitForEvents(bounds::kPollSeconds);
}

namespace {

// True while `box` is still a "RICHCNTL" of one of the client's document
// windows, found through the window tree alone, so that a hung client cannot
// hide it.  A tree too large to walk counts as holding it.
bool BoxFound(Platform& platform, Hwnd box) {
    Hwnd area = platform.FindWindowEx(FindAolWindow(platform), 0, kMdiClass);
    int visited = 0;
    for (Hwnd child = platform.FindWindowEx(area, 0, kChildClass); child;
         child = platform.FindWindowEx(area, child, kChildClass)) {
        for (Hwnd rich = platform.FindWindowEx(child, 0, kRichClass); rich;
             rich = platform.FindWindowEx(child, rich, kRichClass)) {
            if (rich == box || ++visited > bounds::kDocumentWindows) return true;
        }
        if (++visited > bounds::kDocumentWindows) return true;
    }
    return false;
}

// A window that vanishes under a walk ends it early, as if the walk were
// done: only a second walk that misses the box too tells that it is gone.
bool BoxThere(Platform& platform, Hwnd box) { return BoxFound(platform, box) || BoxFound(platform, box); }

}  // namespace

ChatSender::ChatSender(Platform& platform, std::function<std::string()> version)
    : platform_(platform), version_(std::move(version)) {}

ChatSender::ChatSender(Platform& platform)
    : ChatSender(platform, [&platform] { return GetAolVersion(platform); }) {}

ChatSender::~ChatSender() {
    if (retryTimer_) platform_.DestroyTimer(retryTimer_);
}

ChatSender::Take ChatSender::TypeLine(Hwnd box, const std::string& line) {
    // Whatever of this line turns up in the box later is ours, even when the
    // client does not answer now (Windows may still set it).
    owed_->ours = line;
    if (!platform_.SetText(box, line)) return deaf_ = true, Take::NotTyped;
    inFlight_ = InFlight{platform_.Now(), false};
    return PressEnter(box);
}

ChatSender::Take ChatSender::PressEnter(Hwnd box) {
    // Variant A's rule for both variants, judged on the box typed into: the
    // client has taken the line once it emptied that box.  Whatever reads as
    // unknown is not empty.
    enum class Seen { Empty, Full, Gone };
    auto takenBy = [&](double deadline) {
        for (;;) {
            std::optional<std::string> text = GetText(platform_, box);
            if (text && text->empty()) return Seen::Empty;
            if (!text && !BoxThere(platform_, box)) return Seen::Gone;
            if (platform_.Now() >= deadline) return Seen::Full;
            platform_.WaitForEvents(bounds::kPollSeconds);
        }
    };
    const double takeDeadline = platform_.Now() + bounds::kTakeSeconds;
    Seen seen = Seen::Full;
    for (int press = 0; press < bounds::kEnterPresses && seen == Seen::Full; ++press) {
        const bool answered = platform_.Send(box, Msg::Char, kCharEnter);
        inFlight_ = InFlight{platform_.Now(), answered || (inFlight_ && inFlight_->answered)};
        // An Enter still waiting in a busy client's queue is not repeated: the
        // client would send the line twice once it catches up.
        if (!answered) {
            deaf_ = true;
            break;
        }
        seen = takenBy(platform_.Now() + bounds::kEnterSeconds);
    }
    if (seen == Seen::Full) seen = takenBy(takeDeadline);
    if (seen == Seen::Full) return Take::NotTaken;
    inFlight_.reset();
    return seen == Seen::Empty ? Take::Taken : Take::Gone;
}

bool ChatSender::Settle() {
    std::optional<std::string> text = Read(owed_->box);
    if (!text) return false;
    // Taken ("") or, after it was, typed over by the user.
    if (*text != owed_->ours) {
        inFlight_.reset();
        return true;
    }
    // No Enter of ours reached the client (Wine loses a send that timed
    // out), and it answers now.
    if (!inFlight_->answered) return PressEnter(owed_->box) != Take::NotTaken;
    if (platform_.Now() - inFlight_->lastEnter < bounds::kLineGoneSeconds) return false;
    inFlight_.reset();  // it will not be taken: the box is ours again
    return true;
}

bool ChatSender::PutBack() {
    std::optional<std::string> text = Read(owed_->box);
    if (!text) return false;
    // Back already (a late set text), or the user has typed anew since: what
    // the box holds stands.
    if (*text == owed_->text || (!text->empty() && *text != owed_->ours)) {
        owed_.reset();
        return true;
    }
    if (!platform_.SetText(owed_->box, owed_->text)) return !(deaf_ = true);
    owed_.reset();
    return true;
}

std::optional<std::string> ChatSender::Read(Hwnd box) {
    std::optional<std::string> text = GetText(platform_, box);
    if (!text) deaf_ = true;
    return text;
}

void ChatSender::DropStale() {
    const double now = platform_.Now();
    std::erase_if(queue_, [now](const Held& held) { return now - held.since >= bounds::kHeldLineSeconds; });
}

void ChatSender::KeepTrying() {
    const bool waiting = Waiting();
    if (waiting && !retryTimer_)
        retryTimer_ = platform_.CreateTimer(static_cast<unsigned>(bounds::kRetrySeconds * 1000), [this] {
            if (!sending_) RestoreOwed();
        });
    if (retryTimer_) platform_.SetTimerRunning(retryTimer_, waiting);
}

bool ChatSender::Drain(std::size_t limit, bool patient) {
    sending_ = true;
    DropStale();
    limit = std::min(limit, queue_.size());
    bool typed = false, first = true;
    for (int moves = 0;;) {
        if (owed_ && !BoxThere(platform_, owed_->box)) {
            // Its room closed: the text went with it, and no other room's box
            // is given it.
            owed_.reset();
            inFlight_.reset();
            if (++moves > bounds::kBoxMoves) break;
        }
        if (inFlight_) {
            if (!Settle()) break;
            continue;  // its box may have gone meanwhile
        }
        const bool more = limit > 0 && !queue_.empty();
        Hwnd box = 0;
        if (more && FindChatRoom(platform_)) box = FindChatInput(platform_, VariantFor(version_()));
        if (owed_ && (!more || box != owed_->box) && !PutBack()) break;
        if (!more) break;
        if (!box) {
            queue_.clear();  // no room: dropped
            break;
        }
        if (owed_) {
            std::optional<std::string> text = Read(box);
            if (!text) break;
            // The user typed anew since (or the text is back already).
            if (!text->empty() && *text != owed_->ours) owed_.reset();
        }
        if (!owed_) {
            // What cannot be read is not "": then the box is left alone and
            // the lines wait; only text actually read ever goes back.
            std::optional<std::string> saved = patient ? ReadTextPatiently(platform_, box) : Read(box);
            if (!saved) break;
            owed_ = Owed{box, *saved, ""};
        }
        typed = true;
        const bool cleared = owed_->text.empty() || !owed_->ours.empty() || platform_.SetText(box, "");
        if (!cleared) deaf_ = true;
        const std::string line = queue_.front().line;
        const Take take = cleared ? TypeLine(box, line) : Take::NotTyped;
        if (take != Take::NotTyped) {
            queue_.pop_front();
            --limit;
        }
        if (take == Take::Taken && OnTaken) OnTaken(line);
        // Draining begins: the lines queued by now go out too, later ones
        // wait, so that this send always ends.
        if (first) limit = queue_.size();
        first = false;
        if (take == Take::Taken || take == Take::Gone) continue;
        if (take == Take::NotTyped && !BoxThere(platform_, box)) continue;
        break;  // the client does not answer, or has not taken the line yet
    }
    sending_ = false;
    KeepTrying();
    return typed;
}

void ChatSender::SendChatLine(const std::string& line) {
    if (!line.empty() && queue_.size() < static_cast<std::size_t>(bounds::kQueuedLines))
        queue_.push_back(Held{line, platform_.Now()});
    if (sending_) return;
    // Lines left over from an earlier send go first.
    Drain(queue_.size(), true);
    if (FindAolAlert(platform_)) DismissAolAlert(platform_);
    if (whenIdle_ && !sending_) {
        if (!queue_.empty()) Drain(queue_.size(), true);
        std::function<void()> then = std::move(whenIdle_);
        whenIdle_ = nullptr;
        then();
    }
}

void ChatSender::WhenIdle(std::function<void()> then) {
    if (sending_) {
        whenIdle_ = std::move(then);
        return;
    }
    if (!queue_.empty()) Drain(queue_.size(), true);
    then();
}

void ChatSender::RestoreOwed() {
    // The send in progress carries on; a client that did not answer is asked
    // less and less often, as each ask costs a send timeout.
    if (sending_ || platform_.Now() < quietUntil_) return;
    deaf_ = false;
    if (Drain(queue_.size(), false) && FindAolAlert(platform_)) DismissAolAlert(platform_);
    retryGap_ = deaf_ ? std::min(retryGap_ * 2, bounds::kRetryLongestSeconds) : bounds::kRetrySeconds;
    quietUntil_ = deaf_ ? platform_.Now() + retryGap_ - bounds::kRetrySeconds : 0;
}

void ChatSender::LastRestore() {
    const double deadline = platform_.Now() + bounds::kLastRestoreSeconds;
    while (!sending_) {
        Drain(queue_.size(), false);
        if (!Waiting() || platform_.Now() >= deadline) return;
        platform_.WaitForEvents(bounds::kPollSeconds);
    }
}

}  // namespace qm::aol
