// File transfers: upload chat (moving the client's modal upload window out of
// the way, by command or by Timer3 for each new upload) and the transfer
// reports.  The values come from the reader (transfer/status.h).
#pragma once

#include "platform/platform.h"

namespace qm {

class Shell;

class Transfers {
public:
    // Binds the menu items and Timer3.
    explicit Transfers(Shell& shell);
    Transfers(const Transfers&) = delete;
    Transfers& operator=(const Transfers&) = delete;

    // Minimize / restore the first "_AOL_MODAL" window, taken to be the
    // upload; when there is none, say so in a message box.
    void HideUploadWindow();
    void ShowUploadWindow();

    // ---- Handlers -------------------------------------------------------------
    void upchaton_Click();
    void upchatoff_Click();
    void enableautoupchat_Click();
    void bragdlulstats_Click();
    void insertdlul_Click();
    void Timer3_Timer();

private:
    enum class Direction { Download, Upload };
    // The two lines of a report, each composed from fresh reads as it goes out.
    void PostReport(Direction direction);

    Shell& shell_;
    // The window of the upload Timer3 last acted on; with lblUpload's name it
    // tells that upload from a later one of the same name.
    Hwnd lastUploadWindow_ = 0;
};

}  // namespace qm
