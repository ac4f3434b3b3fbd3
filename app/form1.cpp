#include "app/form1.h"

#include "aol/probes.h"
#include "app/settings.h"
#include "platform/text.h"

namespace qm {

Form1::Form1(Platform& platform, aol::ChatSender& chat)
    : Timer1(platform, 60000, [this] { if (Timer1_Timer) Timer1_Timer(); }),
      Timer2(platform, 8000, [this] { if (Timer2_Timer) Timer2_Timer(); }),
      Timer3(platform, 3000, [this] { if (Timer3_Timer) Timer3_Timer(); }),
      platform_(platform),
      chat_(chat) {}

bool Form1::Form_Load() {
    if (platform_.PreviousInstanceRunning()) {
        platform_.Quit();
        return false;
    }
    hwnd_ = platform_.CreateMainWindow(kMainCaption, kMainLayout, *this);
    platform_.MakeTopmost(hwnd_);
    platform_.ShowWindow(aol::FindWelcomeWindow(platform_), ShowCmd::Hide);

    const std::string file = SettingsFile(platform_);
    auto load = [&](std::string& label, const char* section, const char* key, const std::string& fallback) {
        label = ReadSetting(platform_, section, key, file);
        if (label.empty()) label = fallback;
    };
    lblHandle = ReadSetting(platform_, "handle", "handle", file);
    if (lblHandle.empty()) lblHandle = ToLowerAscii(aol::GetScreenName(platform_));
    load(lblInterval, "interval", "interval", "1");
    const bool autoDcp = ReadSetting(platform_, "dcp", "auto dcp", file) == "yes";
    const bool autoUpchat = ReadSetting(platform_, "upchat", "auto upchat", file) == "yes";
    load(lblColor1, "color", "color 1", "000000");
    load(lblColor2, "color", "color 2", "0000ff");
    load(lblFont, "font", "font", "arial narrow");
    std::string* text[] = {&lblAscii1, &lblAscii2, &lblAscii3};
    std::string* color[] = {&lblAscii1Color, &lblAscii2Color, &lblAscii3Color};
    std::string* font[] = {&lblAscii1Font, &lblAscii2Font, &lblAscii3Font};
    const char* sections[] = {"ascii 1", "ascii 2", "ascii 3"};
    for (int i = 0; i < 3; ++i) {
        load(*text[i], sections[i], "ascii", "qlR -");
        load(*color[i], sections[i], "color", "0000ff");
        load(*font[i], sections[i], "font", "arial narrow");
    }
    load(lblDay, "stats", "day", "0");
    load(lblHrs, "stats", "hour", "0");
    load(lblMins, "stats", "minute", "0");

    PostEntryAnnouncement();

    // From here on the clock counts this run; the file keeps the total.
    lblDay = lblHrs = lblMins = "0";
    if (autoDcp) Timer2.SetEnabled(true);
    if (autoUpchat) Timer3.SetEnabled(true);
    return true;
}

void Form1::PostEntryAnnouncement() {
    chat_.SendChatLine(ComposeAnnouncement(Announcement::EntryLine1, Style()));
    aol::Pause(platform_, 0.4);
    chat_.SendChatLine(ComposeAnnouncement(Announcement::EntryLine2, Style(),
                                           {[this] { return aol::GetAolVersion(platform_); }, lblDay, lblHrs, lblMins}));
}

void Form1::Show() { platform_.ShowWindow(hwnd_, ShowCmd::Show); }

void Form1::SetLabel2(const std::string& text) {
    Label2 = text;
    platform_.Invalidate(hwnd_);
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

void Form1::Form_MouseDown() { platform_.BeginWindowDrag(hwnd_); }

void Form1::Label2_MouseDown() { platform_.BeginWindowDrag(hwnd_); }

void Form1::Label1_Click() {
    if (OpenMenu) OpenMenu(kMainLayout.label1.left, kMainLayout.label1.top + kMainLayout.label1.height);
}

void Form1::MouseDown(Control where, MouseButton) {
    if (where == Control::Body) Form_MouseDown();
    if (where == Control::Label2) Label2_MouseDown();
}

void Form1::Click(Control where) {
    if (where == Control::Label1) Label1_Click();
}

}  // namespace qm
