// The reasons editor: a small topmost window whose list holds the working
// copy of the reasons.  A right-button release over the list opens the
// `options` menu; the window is moved by dragging its body.  Made at the
// first "edit reasons" and never destroyed: "done edit" only hides it.
#pragma once

#include <string>

#include "platform/platform.h"
#include "app/reason_list.h"

namespace qm {

class Shell;

constexpr const char* kEditorCaption = "reasons";

// 15 twips to a pixel: a client area of 4425 x 1065 twips; the list at
// (150, 110), 4095 x 870, white on RGB 128, 128, 255.
EditorWindowLayout EditorLayout();

class Form3 : public EditorWindowModel {
public:
    explicit Form3(Shell& shell);

    // The working copy; its position is the user's selection.
    ReasonList List1;

    bool Visible() const { return visible_; }
    // Makes the window the first time it is shown; false when there is no
    // window to show.
    bool Show();
    void Hide();
    // The list changed: the window shows it anew.
    void Refresh();
    Hwnd Window() const { return hwnd_; }

    // ---- Window events --------------------------------------------------------
    void Form_Load();
    void Form_MouseDown();
    void List1_MouseUp(MouseButton button);

    // EditorWindowModel
    std::vector<std::string> ListItems() const override { return List1.Items(); }
    int ListSelection() const override { return List1.ListIndex(); }
    void Select(int index) override;
    void MouseDown(Control where, MouseButton button) override;
    void MouseUp(Control where, MouseButton button) override;

private:
    // Makes the window, once; false when it could not be made.
    bool Load();

    Shell& shell_;
    Hwnd hwnd_ = 0;
    bool visible_ = false;
};

}  // namespace qm
