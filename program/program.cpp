#include "program/program.h"

#include "aol/probes.h"
#include "app/settings.h"
#include "platform/text.h"

namespace qm {

Program::Program(Platform& platform)
    : Shell(platform), appearance(*this), idle(*this), reasons(*this), transfers(*this), protection(*this),
      away(*this) {}

bool Program::Start() {
    if (platform.PreviousInstanceRunning()) {
        platform.Quit();
        return false;
    }
    // Without its window the program could be reached by nobody: it says so
    // and ends, touching nothing of the client's.
    if (!form1.MakeWindow()) {
        platform.MessageBox("quillmoor idle", "quillmoor idle could not make its window and ends.");
        platform.Quit();
        return false;
    }
    platform.ShowWindow(aol::FindWelcomeWindow(platform), ShowCmd::Hide);

    bool autoDcp = false, autoUpchat = false;
    LoadSettings(autoDcp, autoUpchat);
    away.Start();

    const std::string reasonsFile = ReasonsFile(platform);
    // A hidden or system file is the user's all the same: its reasons are
    // loaded, not written over by the first "done edit".
    if (platform.FileExists(reasonsFile) || platform.ReadFile(reasonsFile, 0)) reasons.LoadReasons(reasonsFile);

    PostEntryAnnouncement();

    // From here on the clock counts this run; the file keeps the total.
    form1.lblDay = form1.lblHrs = form1.lblMins = "0";
    if (autoDcp) form1.Timer2.SetEnabled(true);
    if (autoUpchat) form1.Timer3.SetEnabled(true);

    platform.OnTrayMessage([this](std::uint32_t message) { form2.Form_MouseMove(message); });
    platform.OnTaskbarCreated([this] { form2.TaskbarCreated(); });
    form1.Show();
    return true;
}

// Every setting into its label and the menu's captions and check marks, in
// the order of the settings table.  Defaults are shown, never written back.
void Program::LoadSettings(bool& autoDcp, bool& autoUpchat) {
    const std::string file = SettingsFile(platform);
    auto label = [&](std::string& target, const char* section, const char* key, const std::string& fallback,
                     const char* item, const char* prefix) {
        target = ReadSetting(platform, section, key, file);
        if (target.empty()) target = fallback;
        if (item) form2.SetCaption(item, prefix + target);
    };
    auto check = [&](const char* section, const char* key, const char* item) {
        const bool yes = ReadSetting(platform, section, key, file) == "yes";
        if (yes) form2.SetChecked(item, true);
        return yes;
    };

    const std::span<const Appearance::Command> looks = Appearance::Commands();
    auto look = [&](const Appearance::Command& c) {
        label(form1.*c.label, c.section, c.key,
              c.fallback ? std::string(c.fallback) : ToLowerAscii(aol::GetScreenName(platform)), c.item, c.prefix);
    };
    look(looks.front());  // the handle
    label(form1.lblInterval, "interval", "interval", "1", "interval", "interval: ");
    check("insert", "dl/ul", "insertdlul");
    autoDcp = check("dcp", "auto dcp", "enabledcp");
    if (autoDcp) protection.EnableDependents(true);
    check("dcp", "re-enter room", "enablereenterroom");
    check("dcp", "resume download", "resumedl");
    check("dcp", "resume upload", "resumeul");
    autoUpchat = check("upchat", "auto upchat", "enableautoupchat");
    for (const Appearance::Command& c : looks.subspan(1)) look(c);
    label(form1.lblDay, "stats", "day", "0", nullptr, nullptr);
    label(form1.lblHrs, "stats", "hour", "0", nullptr, nullptr);
    label(form1.lblMins, "stats", "minute", "0", nullptr, nullptr);

    // The client's version where its menus cannot be read; anything but a
    // version the command accepts means auto.
    const std::string stored = ReadSetting(platform, "aol", "version", file);
    version.setting = aol::IsSettableVersion(stored) ? stored : "";
    protection.ShowVersionSetting();
}

void Program::PostEntryAnnouncement() {
    chat.SendChatLine(ComposeAnnouncement(Announcement::EntryLine1, form1.Style()));
    aol::Pause(platform, 0.4);
    chat.SendChatLine(ComposeAnnouncement(Announcement::EntryLine2, form1.Style(),
                                          {[this] { return version(); }, form1.lblDay, form1.lblHrs, form1.lblMins}));
}

}  // namespace qm
