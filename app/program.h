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

private:
    Platform& platform_;

public:
    aol::ChatSender chat;
    Form1 form1;
};

}  // namespace qm
