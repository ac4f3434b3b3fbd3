// Posting lines into the chat room the user is in, exactly as the user would:
// type the line into the room's input box and press Enter, then put back
// whatever the user had typed there but not sent.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace qm::aol {

// How the room's input box is found: before 7.0 it is the second "RICHCNTL"
// of the room; in 7.0 and 8.0 the first "RICHCNTL" after the read-only
// transcript.
enum class InputVariant { A, B };

// The variant for a client version ("7.0" and "8.0": B; anything else: A).
InputVariant VariantFor(const std::string& version);

// Waits `seconds` on the monotonic clock while events run; 0 returns at once.
void Pause(Platform& platform, double seconds);

// The first document window with "RICHCNTL", "_AOL_Listbox", "_AOL_Icon" and
// "_AOL_Static" children, or 0.
Hwnd FindChatRoom(Platform& platform);
// The room's input box, or 0.  When variant A finds none in a room with a
// read-only transcript, variant B's box is used: where the client's menus
// cannot be read the version is unknown, and the layout tells.
Hwnd FindChatInput(Platform& platform, InputVariant variant);
// The window's text through messages: "" for window 0; nullopt when the
// window did not answer, is gone, or reports a text longer than
// bounds::kMaxTextRead.  A text that grows while it is read is read again.
std::optional<std::string> GetText(Platform& platform, Hwnd window);
// As GetText, asking again while events run for up to bounds::kReadSeconds
// when the window does not answer.
std::optional<std::string> ReadTextPatiently(Platform& platform, Hwnd window);
// The client's "America Online" alert, or 0.
Hwnd FindAolAlert(Platform& platform);
// Presses the alert's OK button, then waits until the alert is gone; gives up
// when the alert goes away by itself or after a bounded wait.
void DismissAolAlert(Platform& platform);

class ChatSender {
public:
    // `version` tells the client's version at each send (the menu walk, or
    // the user's setting where the menus cannot be read).
    ChatSender(Platform& platform, std::function<std::string()> version);
    explicit ChatSender(Platform& platform);

    // Posts one line; with no chat room it is dropped without notice.  A line
    // sent while another one is still being typed waits in a queue: the send
    // in progress types the lines queued by the time it has typed its own,
    // before the user's text is put back; later ones go out with the next
    // send.  When the input box cannot be read, nothing is typed and the box
    // is left alone: the line is dropped.
    void SendChatLine(const std::string& line);

    // True while a send is in progress (somewhere down the stack).
    bool Busy() const { return sending_; }
    // Runs `then` once no send is in progress and every queued line has gone
    // out: at once when idle, otherwise when the outermost send ends.
    void WhenIdle(std::function<void()> then);

private:
    enum class Take { Taken, NotTaken };
    // Sends these lines in one visit to the input box.
    void SendLines(std::deque<std::string> lines);
    // Types the line into the box and presses Enter until the client takes
    // it (empties the box) or the bounds run out.
    Take TypeLine(Hwnd box, InputVariant variant, const std::string& line);
    void Enqueue(const std::string& line);

    Platform& platform_;
    std::function<std::string()> version_;
    bool sending_ = false;
    std::deque<std::string> queue_;
    std::function<void()> whenIdle_;
};

}  // namespace qm::aol
