// The whole program: its windows and subsystems, wired together.
#pragma once

#include "app/form1.h"
#include "platform/platform.h"

namespace qm {

class Program {
public:
    explicit Program(Platform& platform);

    // Start-up; false when another copy already runs and this one must end.
    // Afterwards the platform's message loop drives everything.
    bool Start();
    // Ends the program: the timers stop and the main window goes at once; the
    // program itself ends as soon as no chat line is being sent, so that the
    // lines still queued go out and the user's typed text is back first.
    void End();

private:
    Platform& platform_;

public:
    aol::ChatSender chat;
    Form1 form1;
};

}  // namespace qm
