// Posting lines into the chat room the user is in, exactly as the user would:
// type the line into the room's input box and press Enter, then put back
// whatever the user had typed there but not sent.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "aol/bounds.h"
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
// "_AOL_Static" children among the first bounds::kDocumentWindows, or 0
// (after two walks: a window vanishing under one ends it early).
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

// The user's unsent text is owed from the moment the sender reads it until
// a set text that the client answered has put it back.  While it is owed:
// - it goes back only into its own box, and only while that box answers and
//   holds "" or the line we typed last (anything else is what the user typed
//   since, and stands); a box whose room closed took the text with it;
// - a line of ours that the client may still take (its Enter was answered,
//   the box still holds it) is never typed over, until bounds::kLineGoneSeconds
//   after that Enter; one whose Enter was never answered gets Enter again
//   once the client answers;
// - lines wait, in order, while the client does not answer, and are dropped
//   bounds::kHeldLineSeconds after they were sent;
// - the next send, a retry every bounds::kRetrySeconds (rarer, up to
//   bounds::kRetryLongestSeconds, while the client does not answer), and a
//   last bounded try at the end (LastRestore) carry on.
class ChatSender {
public:
    // `version` tells the client's version at each send (the menu walk, or
    // the user's setting where the menus cannot be read).
    ChatSender(Platform& platform, std::function<std::string()> version);
    explicit ChatSender(Platform& platform);
    ~ChatSender();
    ChatSender(const ChatSender&) = delete;
    ChatSender& operator=(const ChatSender&) = delete;

    // Posts one line; with no chat room it is dropped without notice.  A line
    // sent while another one is still being typed waits in a queue: the send
    // in progress types the lines queued by the time it has typed its own,
    // before the user's text is put back; later ones go out with the next
    // send or retry.  Lines wait while the client does not answer.
    void SendChatLine(const std::string& line);

    // Runs after the client took a line of ours (its box emptied), with the
    // line; from inside the send, so it must not send itself.
    std::function<void(const std::string& line)> OnTaken;

    // True while a send is in progress (somewhere down the stack).
    bool Busy() const { return sending_; }
    // True while the user's text is owed or lines wait.
    bool Waiting() const { return owed_.has_value() || !queue_.empty(); }
    // Runs `then` once no send is in progress and every queued line has gone
    // out (or waits for the client): at once when idle, otherwise when the
    // outermost send ends.
    void WhenIdle(std::function<void()> then);
    // Tries now what waits: the user's text back, the waiting lines out.
    void RestoreOwed();
    // The last try before the program ends: as RestoreOwed, for a client that
    // does not let it happen yet waiting up to bounds::kLastRestoreSeconds
    // while events run.
    void LastRestore();

private:
    // NotTyped: the box did not take the line's text; Gone: the box went
    // while the line waited in it.
    enum class Take { Taken, NotTaken, NotTyped, Gone };
    struct Held {
        std::string line;
        double since = 0;
    };
    struct Owed {
        Hwnd box = 0;
        std::string text;  // the user's
        std::string ours;  // our last line set into the box, "" for none
    };
    struct InFlight {
        double lastEnter = 0;
        bool answered = false;  // the client handled an Enter for it
    };

    // Types up to `limit` waiting lines (then those queued by the time the
    // first went) and puts the user's text back; true when it typed.
    // A patient send gives a deaf client's first read a while.
    bool Drain(std::size_t limit, bool patient);
    // Our line in the box is out of the way: taken, or past taking.
    bool Settle();
    // The owed text back in its box; true once nothing is owed.
    bool PutBack();
    Take TypeLine(Hwnd box, const std::string& line);
    // Presses Enter until the box empties or the bounds run out.
    Take PressEnter(Hwnd box);
    // GetText; an unknown answer marks the client deaf.
    std::optional<std::string> Read(Hwnd box);
    void DropStale();
    void KeepTrying();

    Platform& platform_;
    std::function<std::string()> version_;
    bool sending_ = false;
    std::deque<Held> queue_;
    std::optional<Owed> owed_;
    std::optional<InFlight> inFlight_;  // owed_->ours may still be taken
    std::function<void()> whenIdle_;
    int retryTimer_ = 0;
    bool deaf_ = false;  // a read or set of this try went unanswered
    double retryGap_ = bounds::kRetrySeconds;
    double quietUntil_ = 0;
};

}  // namespace qm::aol
