#include "app/form1.h"

#include "aol/chat_sender.h"
#include "aol/client_version.h"
#include "aol/probes.h"
#include "app/program.h"
#include "app/settings.h"
#include "platform/text.h"

namespace qm {

Form1::Form1(Program& program)
    : Timer1(program.platform, 60000, [this] { if (Timer1_Timer) Timer1_Timer(); }),
      Timer2(program.platform, 8000, [this] { if (Timer2_Timer) Timer2_Timer(); }),
      Timer3(program.platform, 3000, [this] { if (Timer3_Timer) Timer3_Timer(); }),
      program_(program) {}

bool Form1::Form_Load() {
    Platform& platform = program_.platform;
    if (platform.PreviousInstanceRunning()) {
        platform.Quit();
        return false;
    }
    hwnd_ = platform.CreateMainWindow(kMainCaption, kMainLayout, *this);
    platform.MakeTopmost(hwnd_);
    platform.ShowWindow(aol::FindWelcomeWindow(platform), ShowCmd::Hide);

    bool autoDcp = false, autoUpchat = false;
    LoadSettings(autoDcp, autoUpchat);

    const std::string reasons = ReasonsFile(platform);
    if (platform.FileExists(reasons)) program_.reasons.LoadReasons(reasons);

    PostEntryAnnouncement();

    // From here on the clock counts this run; the file keeps the total.
    lblDay = lblHrs = lblMins = "0";
    if (autoDcp) Timer2.SetEnabled(true);
    if (autoUpchat) Timer3.SetEnabled(true);
    return true;
}

// Every setting into its label and the menu's captions and check marks, in
// the order of the settings table.  Defaults are shown, never written back.
void Form1::LoadSettings(bool& autoDcp, bool& autoUpchat) {
    Platform& platform = program_.platform;
    Form2& menu = program_.form2;
    const std::string file = SettingsFile(platform);
    auto label = [&](std::string& target, const char* section, const char* key, const std::string& fallback,
                     const char* item, const char* prefix) {
        target = ReadSetting(platform, section, key, file);
        if (target.empty()) target = fallback;
        if (item) menu.SetCaption(item, prefix + target);
    };
    auto check = [&](const char* section, const char* key, const char* item) {
        const bool yes = ReadSetting(platform, section, key, file) == "yes";
        if (yes) menu.SetChecked(item, true);
        return yes;
    };

    const std::span<const Appearance::Command> looks = Appearance::Commands();
    auto look = [&](const Appearance::Command& c) {
        label(this->*c.label, c.section, c.key,
              c.fallback ? std::string(c.fallback) : ToLowerAscii(aol::GetScreenName(platform)), c.item, c.prefix);
    };
    look(looks.front());  // the handle
    label(lblInterval, "interval", "interval", "1", "interval", "interval: ");
    check("insert", "dl/ul", "insertdlul");
    autoDcp = check("dcp", "auto dcp", "enabledcp");
    if (autoDcp) program_.protection.EnableDependents(true);
    check("dcp", "re-enter room", "enablereenterroom");
    check("dcp", "resume download", "resumedl");
    check("dcp", "resume upload", "resumeul");
    autoUpchat = check("upchat", "auto upchat", "enableautoupchat");
    for (const Appearance::Command& c : looks.subspan(1)) look(c);
    label(lblDay, "stats", "day", "0", nullptr, nullptr);
    label(lblHrs, "stats", "hour", "0", nullptr, nullptr);
    label(lblMins, "stats", "minute", "0", nullptr, nullptr);

    // The client's version where its menus cannot be read; anything but a
    // version the command accepts means auto.
    const std::string version = ReadSetting(platform, "aol", "version", file);
    program_.version.setting = aol::IsSettableVersion(version) ? version : "";
    program_.protection.ShowVersionSetting();
}

void Form1::PostEntryAnnouncement() {
    aol::ChatSender& chat = program_.chat;
    chat.SendChatLine(ComposeAnnouncement(Announcement::EntryLine1, Style()));
    aol::Pause(program_.platform, 0.4);
    chat.SendChatLine(ComposeAnnouncement(Announcement::EntryLine2, Style(),
                                          {[this] { return program_.version(); }, lblDay, lblHrs, lblMins}));
}

void Form1::Show() { program_.platform.ShowWindow(hwnd_, ShowCmd::Show); }

void Form1::SetLabel2(const std::string& text) {
    Label2 = text;
    program_.platform.Invalidate(hwnd_);
}

AnnouncementStyle Form1::Style() const {
    AnnouncementStyle s;
    s.handle = lblHandle;
    s.color1 = lblColor1;
    s.color2 = lblColor2;
    s.font = lblFont;
    s.ascii[0] = {lblAscii1, lblAscii1Color, lblAscii1Font};
    s.ascii[1] = {lblAscii2, lblAscii2Color, lblAscii2Font};
    s.ascii[2] = {lblAscii3, lblAscii3Color, lblAscii3Font};
    return s;
}

void Form1::Form_MouseDown() { program_.platform.BeginWindowDrag(hwnd_); }

void Form1::Label2_MouseDown() { program_.platform.BeginWindowDrag(hwnd_); }

void Form1::Label1_Click() {
    const Rect& label1 = kMainLayout.label1;
    program_.form2.PopupMenu(program_.form2.menu, hwnd_, Point{label1.left, label1.top + label1.height}, "exit");
}

void Form1::MouseDown(Control where, MouseButton) {
    if (where == Control::Body) Form_MouseDown();
    if (where == Control::Label2) Label2_MouseDown();
}

void Form1::Click(Control where) {
    if (where == Control::Label1) Label1_Click();
}

}  // namespace qm
