#include "app/form1.h"

#include "app/shell.h"

namespace qm {

Form1::Form1(Shell& shell)
    : Timer1(shell.platform, 60000, [this] { if (Timer1_Timer) Timer1_Timer(); }),
      Timer2(shell.platform, 8000, [this] { if (Timer2_Timer) Timer2_Timer(); }),
      Timer3(shell.platform, 3000, [this] { if (Timer3_Timer) Timer3_Timer(); }),
      shell_(shell) {}

bool Form1::MakeWindow() {
    hwnd_ = shell_.platform.CreateMainWindow(kMainCaption, kMainLayout, *this);
    if (!hwnd_) return false;
    shell_.platform.MakeTopmost(hwnd_);
    return true;
}

void Form1::Show() { shell_.platform.ShowWindow(hwnd_, ShowCmd::Show); }

void Form1::SetLabel2(const std::string& text) {
    Label2 = text;
    shell_.platform.Invalidate(hwnd_);
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

void Form1::Form_MouseDown() { shell_.platform.BeginWindowDrag(hwnd_); }

void Form1::Label2_MouseDown() { shell_.platform.BeginWindowDrag(hwnd_); }

void Form1::Label1_Click() {
    const Rect& label1 = kMainLayout.label1;
    shell_.form2.PopupMenu(shell_.form2.menu, hwnd_, Point{label1.left, label1.top + label1.height}, "exit");
}

void Form1::MouseDown(Control where, MouseButton) {
    if (where == Control::Body) Form_MouseDown();
    if (where == Control::Label2) Label2_MouseDown();
}

void Form1::Click(Control where) {
    if (where == Control::Label1) Label1_Click();
}

}  // namespace qm
