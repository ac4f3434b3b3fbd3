// What the features share, and all they know of one another: the platform,
// the client (its version and the chat sender), the main window with the live
// state and the menu window, and the program's end.  The program (program/)
// owns the features on top of it; no feature reaches the program itself.
#pragma once

#include <functional>
#include <vector>

#include "aol/chat_sender.h"
#include "aol/client_version.h"
#include "app/form1.h"
#include "app/form2.h"
#include "platform/platform.h"

namespace qm {

class Shell {
public:
    explicit Shell(Platform& platform);
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Ends the program: the timers stop, the windows and the tray icon go at
    // once (what a feature shows goes through AtEnd); the program itself ends
    // as soon as no chat line is being sent and one last bounded try has put
    // the user's typed text back (the lines still queued go out first).
    // Nothing is written.
    void End();
    bool Ending() const { return ending_; }
    // Runs as the program ends, after the main window went.
    void AtEnd(std::function<void()> then) { atEnd_.push_back(std::move(then)); }

    // A menu item's check mark and its stored "yes" / "no", changed together.
    void SetMark(const char* item, bool on, const char* section, const char* key);
    // The mark turned over; true when it is now set.
    bool ToggleMark(const char* item, const char* section, const char* key);

    Platform& platform;
    aol::ClientVersion version;
    aol::ChatSender chat;
    Form2 form2;
    Form1 form1;

private:
    bool ending_ = false;
    std::vector<std::function<void()>> atEnd_;
};

}  // namespace qm
