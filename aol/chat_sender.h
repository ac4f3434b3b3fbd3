// Posting lines into the chat room the user is in, exactly as the user would:
// type the line into the room's input box and press Enter, then put back
// whatever the user had typed there but not sent.
#pragma once

#include <deque>
#include <string>

#include "platform/platform.h"

namespace qm::aol {

// How the room's input box is found: before 7.0 it is the second "RICHCNTL"
// of the room; in 7.0 and 8.0 the first "RICHCNTL" after the read-only
// transcript.
enum class InputVariant { A, B };

// Waits `seconds` on the monotonic clock while events run; 0 returns at once.
void Pause(Platform& platform, double seconds);

// The first document window with "RICHCNTL", "_AOL_Listbox", "_AOL_Icon" and
// "_AOL_Static" children, or 0.
Hwnd FindChatRoom(Platform& platform);
// The room's input box, or 0.  When variant A finds none in a room with a
// read-only transcript, variant B's box is used.
Hwnd FindChatInput(Platform& platform, InputVariant variant);
// The window's text through messages; "" for window 0.
std::string GetText(Platform& platform, Hwnd window);
// The client's "America Online" alert, or 0.
Hwnd FindAolAlert(Platform& platform);
// Presses the alert's OK button; gives up when the alert goes away or after a
// bounded wait.
void DismissAolAlert(Platform& platform);

class ChatSender {
public:
    explicit ChatSender(Platform& platform) : platform_(platform) {}

    // Posts one line; with no chat room it is dropped without notice.  A line
    // sent while another one is still being typed waits for it and goes out
    // right after it, before the user's own text is put back.
    void SendChatLine(const std::string& line);

private:
    // Types the line into the box and presses Enter until the client takes it.
    void TypeLine(Hwnd box, InputVariant variant, const std::string& line);

    Platform& platform_;
    bool typing_ = false;
    std::deque<std::string> waiting_;
};

}  // namespace qm::aol
