// The main window: the idle clock on screen, the menu button, and the holder
// of the program's live state.  Every setting and counter is the text of one
// of its labels; the screen is drawn from them.
#pragma once

#include <functional>
#include <string>

#include "app/announcement.h"
#include "app/timer.h"
#include "platform/platform.h"
#include "app/reason_list.h"

namespace qm {

class Shell;

constexpr const char* kMainCaption = "quillmoor idle by dorwick";

// 15 twips to a pixel: Label1 at (120, 360) twips, 255 x 255; Label2 at
// (480, 380), 1095 x 255; a client area of 1740 x 765.
constexpr MainWindowLayout kMainLayout{116, 51, {8, 24, 17, 17}, {32, 25, 73, 17}};

class Form1 : public MainWindowModel {
public:
    explicit Form1(Shell& shell);

    // ---- Labels: the live state ---------------------------------------------
    std::string Label2 = "0d : 0h : 0m";
    std::string lblDay = "0", lblHrs = "0", lblMins = "0";
    std::string lblInterval, lblInterval2 = "0";
    std::string lblHandle, lblColor1, lblColor2, lblFont;
    std::string lblAscii1, lblAscii2, lblAscii3;
    std::string lblAscii1Color, lblAscii2Color, lblAscii3Color;
    std::string lblAscii1Font, lblAscii2Font, lblAscii3Font;
    std::string lblReason, lblUpload;
    // The idle reasons, never shown; its position is where the idle
    // announcements' rotation stands.
    ReasonList List1;

    // ---- Timers: idle clock, disconnect protection, auto upchat -------------
    Timer Timer1, Timer2, Timer3;
    std::function<void()> Timer1_Timer, Timer2_Timer, Timer3_Timer;

    // Makes the main window, hidden and topmost; false when it could not be
    // made.
    bool MakeWindow();
    // Shows the window once start-up is done.
    void Show();

    // Sets Label2 and repaints it.
    void SetLabel2(const std::string& text);
    // The announcement style as the labels hold it now.
    AnnouncementStyle Style() const;
    Hwnd Window() const { return hwnd_; }

    // ---- Window events --------------------------------------------------------
    void Form_MouseDown();
    void Label2_MouseDown();
    void Label1_Click();

    // MainWindowModel
    std::string Label2Text() const override { return Label2; }
    void MouseDown(Control where, MouseButton button) override;
    void Click(Control where) override;

private:
    Shell& shell_;
    Hwnd hwnd_ = 0;
};

}  // namespace qm
