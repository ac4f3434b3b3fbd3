#include "transfer/transfers.h"

#include "aol/chat_sender.h"
#include "aol/window_model.h"
#include "app/shell.h"
#include "transfer/status.h"

namespace qm {
namespace {

using transfer::Reading;

// A file name tells a transfer in progress; "" tells none; unknown tells
// neither.
bool Shown(const Reading& name) { return name && !name->empty(); }

// Hidden first, whatever it becomes.
void ShowUploadWindowAs(Platform& platform, ShowCmd show, const char* notFound) {
    if (Hwnd modal = platform.FindWindow(aol::kModalClass)) {
        platform.ShowWindow(modal, ShowCmd::Hide);
        platform.ShowWindow(modal, show);
    } else {
        platform.MessageBox("upchat error", notFound);
    }
}

}  // namespace

Transfers::Transfers(Shell& shell) : shell_(shell) {
    Form2& menu = shell.form2;
    menu.Item("upchaton").Click = [this] { upchaton_Click(); };
    menu.Item("upchatoff").Click = [this] { upchatoff_Click(); };
    menu.Item("enableautoupchat").Click = [this] { enableautoupchat_Click(); };
    menu.Item("bragdlulstats").Click = [this] { bragdlulstats_Click(); };
    menu.Item("insertdlul").Click = [this] { insertdlul_Click(); };
    shell.form1.Timer3_Timer = [this] { Timer3_Timer(); };
}

void Transfers::HideUploadWindow() {
    ShowUploadWindowAs(shell_.platform, ShowCmd::Minimize, "upchat window not found, stupid ass!");
}

void Transfers::ShowUploadWindow() {
    ShowUploadWindowAs(shell_.platform, ShowCmd::Restore, "upchat window not found, moron!");
}

void Transfers::upchaton_Click() {
    if (Shown(transfer::GetUploadFileName(shell_.platform))) HideUploadWindow();
}

void Transfers::upchatoff_Click() {
    if (Shown(transfer::GetUploadFileName(shell_.platform))) ShowUploadWindow();
}

void Transfers::Timer3_Timer() {
    Platform& platform = shell_.platform;
    Form1& form = shell_.form1;
    const std::string last = form.lblUpload;
    const Reading name = transfer::GetUploadFileName(platform);
    // A name that could not be read cannot be told from the last one.
    if (!name) return;
    const Hwnd window = transfer::FindUploadWindow(platform);
    // The same name in another window is another upload: one resumed after a
    // lost connection, or the same file sent again.
    if (!window || (*name == last && window == lastUploadWindow_)) return;
    lastUploadWindow_ = window;
    HideUploadWindow();
    // What the reader says now, or, when it cannot tell, the name this tick
    // acted on: never a name that was not read.
    const Reading now = transfer::GetUploadFileName(platform);
    form.lblUpload = now ? *now : *name;
    shell_.chat.SendChatLine(ComposeAnnouncement(Announcement::AutoUpchat, form.Style()));
}

void Transfers::enableautoupchat_Click() {
    shell_.form1.Timer3.SetEnabled(shell_.ToggleMark("enableautoupchat", "upchat", "auto upchat"));
}

void Transfers::insertdlul_Click() {
    shell_.ToggleMark("insertdlul", "insert", "dl/ul");
}

// A download is always reported, an upload unless the client is 7.0, the
// download first.  Every test reads afresh; one whose file name cannot be
// read reports nothing for it, and where it decides whether there is
// anything to report at all, ends the command.
void Transfers::bragdlulstats_Click() {
    Platform& platform = shell_.platform;
    auto seven = [this] { return shell_.version() == "7.0"; };
    if (seven() && !Shown(transfer::GetDownloadFileName(platform))) return;
    if (!seven() && !Shown(transfer::GetUploadFileName(platform)) && !Shown(transfer::GetDownloadFileName(platform)))
        return;
    if (seven()) PostReport(Direction::Download);
    if (Shown(transfer::GetDownloadFileName(platform)) && !seven()) PostReport(Direction::Download);
    if (Shown(transfer::GetUploadFileName(platform)) && !seven()) PostReport(Direction::Upload);
}

void Transfers::PostReport(Direction direction) {
    Platform& platform = shell_.platform;
    const bool down = direction == Direction::Download;
    // A line with a value that could not be read is not posted; a transfer
    // that has ended reads as "" and its line still goes.
    const std::optional<std::string> first =
        transfer::ComposeTransferLine(platform, Announcement::TransferReport1, shell_.form1.Style(),
                                      {down ? transfer::GetDownloadFileName : transfer::GetUploadFileName});
    if (first) shell_.chat.SendChatLine(*first);
    aol::Pause(platform, 0.4);
    const std::optional<std::string> second = transfer::ComposeTransferLine(
        platform, Announcement::TransferReport2, shell_.form1.Style(),
        {down ? transfer::GetDownloadPercent : transfer::GetUploadPercent,
         down ? transfer::GetDownloadMinutesLeft : transfer::GetUploadMinutesLeft});
    if (second) shell_.chat.SendChatLine(*second);
}

}  // namespace qm
