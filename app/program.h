// The whole program: its windows and subsystems, wired together.  Like the
// forms of the program they stand for, they reach one another through it.
#pragma once

#include <string>

#include "aol/chat_sender.h"
#include "aol/client_version.h"
#include "app/form1.h"
#include "dcp/protection.h"
#include "idle/idle.h"
#include "platform/platform.h"
#include "reasons/reasons.h"
#include "transfer/transfers.h"
#include "ui/appearance.h"
#include "ui/form2.h"

namespace qm {

class Program {
public:
    explicit Program(Platform& platform);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up; false when another copy already runs and this one must end.
    // Afterwards the platform's message loop drives everything.
    bool Start();
    // Ends the program: the timers stop, the windows and the tray icon go at
    // once; the program itself ends as soon as no chat line is being sent and
    // one last bounded try has put the user's typed text back (the lines
    // still queued go out first).  Nothing is written.
    void End();
    bool Ending() const { return ending_; }

    // A menu item's check mark and its stored "yes" / "no", changed together.
    void SetMark(const char* item, bool on, const char* section, const char* key);
    // The mark turned over; true when it is now set.
    bool ToggleMark(const char* item, const char* section, const char* key);

    Platform& platform;
    aol::ClientVersion version;
    aol::ChatSender chat;
    Form2 form2;
    Form1 form1;
    // The subsystems; each binds its menu items and its timer.
    Appearance appearance;
    IdleEngine idle;
    Reasons reasons;
    Transfers transfers;
    Protection protection;

private:
    bool ending_ = false;
};

}  // namespace qm
