// The whole program: the shared shell and the features on it, wired
// together, and start-up.  Nothing but the entry point and the tests includes
// this; the features know only the shell (app/shell.h).
#pragma once

#include "app/shell.h"
#include "away/away.h"
#include "dcp/protection.h"
#include "idle/idle.h"
#include "platform/platform.h"
#include "reasons/reasons.h"
#include "transfer/transfers.h"
#include "ui/appearance.h"

namespace qm {

class Program : public Shell {
public:
    explicit Program(Platform& platform);

    // Start-up; false when this copy must end at once: another copy already
    // runs, or its window could not be made (which it says in a message
    // box).  Afterwards the platform's message loop drives everything.
    bool Start();

    // The features; each binds its menu items and its timer.
    Appearance appearance;
    IdleEngine idle;
    Reasons reasons;
    Transfers transfers;
    Protection protection;
    // Made last: it follows the idle items the others have bound.
    Away away;

private:
    // Every setting into its label and the menu's captions and check marks.
    void LoadSettings(bool& autoDcp, bool& autoUpchat);
    void PostEntryAnnouncement();
};

}  // namespace qm
