#include "aol/chat_sender.h"

#include "aol/probes.h"
#include "aol/window_model.h"
#include "platform/bounds.h"

namespace qm::aol {

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
        // Where the client's menus cannot be read the version is unknown; a
        // read-only transcript shows the late layout all the same.
        if (box || !readOnly) return box;
    }
    return readOnly ? platform.FindWindowEx(room, readOnly, kRichClass) : 0;
}

std::string GetText(Platform& platform, Hwnd window) {
    const int n = platform.GetTextLength(window);
    return n > 0 ? platform.GetText(window, n + 1) : std::string();
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
}

void ChatSender::TypeLine(Hwnd box, InputVariant variant, const std::string& line) {
    platform_.SetText(box, line);
    for (int press = 0; press < bounds::kEnterPresses; ++press) {
        platform_.Send(box, Msg::Char, kCharEnter);
        // The client empties the box once the line has gone out.
        const double deadline = platform_.Now() + bounds::kEnterSeconds;
        for (;;) {
            if (GetText(platform_, FindChatInput(platform_, variant)).empty()) return;
            if (platform_.Now() >= deadline) break;
            platform_.WaitForEvents(bounds::kPollSeconds);
        }
    }
}

void ChatSender::SendChatLine(const std::string& line) {
    if (typing_) {
        waiting_.push_back(line);
        return;
    }
    const std::string version = GetAolVersion(platform_);
    const InputVariant variant = (version == "7.0" || version == "8.0") ? InputVariant::B : InputVariant::A;
    Hwnd box = 0;
    if (!line.empty() && FindChatRoom(platform_)) box = FindChatInput(platform_, variant);
    if (box) {
        const std::string saved = GetText(platform_, box);
        if (!saved.empty()) platform_.SetText(box, "");
        typing_ = true;
        TypeLine(box, variant, line);
        while (!waiting_.empty()) {
            std::string next = std::move(waiting_.front());
            waiting_.pop_front();
            if (!next.empty()) TypeLine(box, variant, next);
        }
        typing_ = false;
        platform_.SetText(box, saved);
    }
    if (FindAolAlert(platform_)) DismissAolAlert(platform_);
}

}  // namespace qm::aol
