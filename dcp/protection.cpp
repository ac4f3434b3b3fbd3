#include "dcp/protection.h"

#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "app/announcement.h"
#include "app/shell.h"
#include "app/settings.h"
#include "dcp/actions.h"
#include "dcp/password.h"

namespace qm {

using namespace dcp;

Protection::Protection(Shell& shell) : shell_(shell) {
    Form2& menu = shell_.form2;
    menu.Item("enabledcp").Click = [this] { enabledcp_Click(); };
    menu.Item("enablereenterroom").Click = [this] { enablereenterroom_Click(); };
    menu.Item("resumedl").Click = [this] { resumedl_Click(); };
    menu.Item("resumeul").Click = [this] { resumeul_Click(); };
    menu.Item("setpassword").Click = [this] { setpassword_Click(); };
    menu.Item("setroom").Click = [this] { setroom_Click(); };
    menu.Item("aolversion").Click = [this] { aolversion_Click(); };
    shell_.form1.Timer2_Timer = [this] { Timer2_Timer(); };
}

bool Protection::SignedOn() { return !aol::GetScreenName(shell_.platform).empty(); }

bool Protection::VersionIs(std::initializer_list<const char*> versions) {
    bool is = false;
    for (const char* version : versions)
        if (shell_.version() == version) is = true;
    return is;
}

bool Protection::StillOn() { return SignedOn() && aol::FindAolWindow(shell_.platform); }

std::optional<std::string> Protection::Password() {
    return unstoredPassword_ ? unstoredPassword_ : ReadPassword(shell_.platform);
}

// Nothing is remembered between looks: each starts from what it finds.  The
// timer never runs this inside itself, so a look that falls due while a
// re-sign-on still waits is skipped and the password is typed once.
void Protection::Timer2_Timer() {
    Platform& p = shell_.platform;
    Form2& menu = shell_.form2;
    auto pause = [&p](double seconds) { aol::Pause(p, seconds); };

    if (!aol::FindAolWindow(p)) return;
    if (Hwnd w = FindTransferStatusWindow(p)) {
        PostCloseWindow(p, w);
        pause(1);
    }
    if (Hwnd w = FindStatusWindow(p)) {
        PostCloseWindow(p, w);
        pause(1);
    }
    if (SignedOn() || !FindSignOnWindow(p)) return;

    pause(4);
    // What could not be read is not typed (the next look tries again) nor
    // entered.
    const std::optional<std::string> password = Password();
    if (!password) return;
    const std::optional<std::string> room = ReadKnownSetting(p, "dcp", "room", SettingsFile(p));
    TypeSignOnPassword(p, *password);
    pause(2);
    WaitForSignOn(p);
    pause(10);
    p.ShowWindow(aol::FindWelcomeWindow(p), ShowCmd::Hide);
    pause(1);
    if (Late()) CloseChannelsWindow(p);
    if (!StillOn()) return;
    pause(1);
    p.ShowWindow(FindFirstMdiChild(p), ShowCmd::Hide);
    pause(1);
    if (!StillOn()) return;

    if (menu.Checked("enablereenterroom") && room) {
        EnterKeyword(p, *room);
        WaitForRoom(p);
        if (!StillOn()) return;
        if (aol::FindAolAlert(p)) aol::DismissAolAlert(p);
        pause(2);
        shell_.chat.SendChatLine(ComposeAnnouncement(Announcement::DcpReenter, shell_.form1.Style()));
    }
    pause(1);
    if (menu.Checked("resumedl")) {
        if (Late())
            ResumeDownloadLate(p);
        else if (Early())
            ResumeDownloadEarly(p);
    }
    if (menu.Checked("resumeul")) {
        if (Late())
            ResumeUploadLate(p);
        else if (Early())
            ResumeUploadEarly(p);
    }
}

}  // namespace qm
