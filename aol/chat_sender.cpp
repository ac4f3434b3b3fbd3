#include "aol/chat_sender.h"

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

Hwnd FindChatRoom(Platform& platform) {
    Hwnd area = platform.FindWindowEx(FindAolWindow(platform), 0, kMdiClass);
    for (Hwnd child = platform.FindWindowEx(area, 0, kChildClass); child;
         child = platform.FindWindowEx(area, child, kChildClass)) {
        if (platform.FindWindowEx(child, 0, kRichClass) && platform.FindWindowEx(child, 0, kListboxClass) &&
            platform.FindWindowEx(child, 0, kIconClass) && platform.FindWindowEx(child, 0, kStaticClass))
            return child;
    }
    return 0;
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

ChatSender::ChatSender(Platform& platform, std::function<std::string()> version)
    : platform_(platform), version_(std::move(version)) {}

ChatSender::ChatSender(Platform& platform)
    : ChatSender(platform, [&platform] { return GetAolVersion(platform); }) {}

void ChatSender::Enqueue(const std::string& line) {
    if (queue_.size() < static_cast<std::size_t>(bounds::kQueuedLines)) queue_.push_back(line);
}

ChatSender::Take ChatSender::TypeLine(Hwnd box, InputVariant variant, const std::string& line) {
    platform_.SetText(box, line);
    // Variant A's rule for both variants: the client has sent the line once
    // it emptied the box.  Whatever reads as unknown is not empty.
    auto takenBy = [&](double deadline) {
        for (;;) {
            std::optional<std::string> text = GetText(platform_, FindChatInput(platform_, variant));
            if (text && text->empty()) return true;
            if (platform_.Now() >= deadline) return false;
            platform_.WaitForEvents(bounds::kPollSeconds);
        }
    };
    const double takeDeadline = platform_.Now() + bounds::kTakeSeconds;
    for (int press = 0; press < bounds::kEnterPresses; ++press) {
        const bool answered = platform_.Send(box, Msg::Char, kCharEnter);
        // An Enter still waiting in a busy client's queue is not repeated: the
        // client would send the line twice once it catches up.
        if (!answered) break;
        if (takenBy(platform_.Now() + bounds::kEnterSeconds)) return Take::Taken;
    }
    return takenBy(takeDeadline) ? Take::Taken : Take::NotTaken;
}

void ChatSender::SendLines(std::deque<std::string> lines) {
    sending_ = true;
    std::erase(lines, std::string());
    const InputVariant variant = VariantFor(version_());
    Hwnd box = 0;
    if (!lines.empty() && FindChatRoom(platform_)) box = FindChatInput(platform_, variant);
    // What cannot be read is not "": then the box is left alone and the lines
    // are dropped, and only text actually read ever goes back.
    const std::optional<std::string> saved = box ? ReadTextPatiently(platform_, box) : std::nullopt;
    if (saved) {
        if (!saved->empty()) platform_.SetText(box, "");
        TypeLine(box, variant, lines.front());
        lines.pop_front();
        // Draining begins: the lines queued by now go out too, later ones
        // wait for the next send, so that this one always ends.
        for (std::string& queued : queue_)
            if (!queued.empty()) lines.push_back(std::move(queued));
        queue_.clear();
        for (const std::string& next : lines) TypeLine(box, variant, next);
        // After every Enter we sent, so a client still catching up on them
        // handles this last; and only once the line was taken or the bounds
        // ran out, so a client taking it late does not take this instead.
        platform_.SetText(box, *saved);
    }
    sending_ = false;
    if (FindAolAlert(platform_)) DismissAolAlert(platform_);
}

void ChatSender::SendChatLine(const std::string& line) {
    if (sending_) {
        Enqueue(line);
        return;
    }
    // Lines left over from an earlier send go first.
    std::deque<std::string> lines(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
    queue_.clear();
    lines.push_back(line);
    SendLines(std::move(lines));
    if (whenIdle_ && !sending_) {
        if (!queue_.empty()) {
            std::deque<std::string> rest(std::make_move_iterator(queue_.begin()),
                                         std::make_move_iterator(queue_.end()));
            queue_.clear();
            SendLines(std::move(rest));
        }
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
    if (!queue_.empty()) {
        std::deque<std::string> rest(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
        queue_.clear();
        SendLines(std::move(rest));
    }
    then();
}

}  // namespace qm::aol
