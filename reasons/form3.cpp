#include "reasons/form3.h"

#include "app/shell.h"

namespace qm {

EditorWindowLayout EditorLayout() {
    EditorWindowLayout layout;
    layout.clientWidth = 295;
    layout.clientHeight = 71;
    layout.list = Rect{10, 7, 273, 58};
    layout.listBack = 0x00FF8080;  // RGB 128, 128, 255
    layout.listText = 0x00FFFFFF;
    layout.listTooltip = "right click for options";
    return layout;
}

Form3::Form3(Shell& shell) : shell_(shell) {}

bool Form3::Load() {
    if (!hwnd_) {
        hwnd_ = shell_.platform.CreateEditorWindow(kEditorCaption, EditorLayout(), *this);
        if (hwnd_) Form_Load();
    }
    return hwnd_ != 0;
}

bool Form3::Show() {
    if (!Load()) return false;
    visible_ = true;
    shell_.platform.ShowWindow(hwnd_, ShowCmd::Show);
    return true;
}

void Form3::Hide() {
    if (!hwnd_) return;
    visible_ = false;
    shell_.platform.ShowWindow(hwnd_, ShowCmd::Hide);
}

void Form3::Refresh() { shell_.platform.Invalidate(hwnd_); }

void Form3::Form_Load() { shell_.platform.MakeTopmost(hwnd_); }

void Form3::Form_MouseDown() { shell_.platform.BeginWindowDrag(hwnd_); }

void Form3::List1_MouseUp(MouseButton button) {
    if (button != MouseButton::Right) return;
    const Rect list = EditorLayout().list;
    Form2& menus = shell_.form2;
    menus.PopupMenu(menus.options, hwnd_, Point{list.left, list.top + list.height}, "doneedit");
}

void Form3::Select(int index) {
    if (!List1.SetListIndex(index)) List1.SetListIndex(-1);
}

void Form3::MouseDown(Control where, MouseButton) {
    if (where == Control::Body) Form_MouseDown();
}

void Form3::MouseUp(Control where, MouseButton button) {
    if (where == Control::List1) List1_MouseUp(button);
}

}  // namespace qm
