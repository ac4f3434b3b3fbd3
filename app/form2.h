// The menu window: never shown, it owns the two pop-up menus (the main menu
// `menu` and the reasons editor's `options`), the tray icon and the window
// command that sends the main window to the tray and back.
//
// The menus are models: every time one opens, the backend builds a real
// pop-up menu from them, so the screen always shows what the model holds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace qm {

class Shell;

// One item of the menu tree.
struct MenuItem {
    std::string name;     // as the program calls it: "idleon", "enabledcp"
    std::string caption;  // "-" makes a separator
    bool checked = false;
    bool enabled = true;
    std::vector<MenuItem> children;  // an item with children opens a sub-menu
    // What choosing it does; an item without one (a separator, "cancel")
    // only closes the menu.
    std::function<void()> Click;
    int id = 0;  // its number in the backend's menu, never 0
};

// The tray record's fields (little-endian, 88 bytes in all).
namespace tray {
constexpr std::uint32_t kFlags = 7;             // NIF_MESSAGE + NIF_ICON + NIF_TIP
constexpr std::uint32_t kCallback = 0x0200;     // WM_MOUSEMOVE
constexpr std::uint32_t kLeftDoubleClick = 0x0203;
constexpr std::uint32_t kRightButtonUp = 0x0205;
constexpr std::size_t kTipSize = 64;
}  // namespace tray

class Form2 {
public:
    explicit Form2(Shell& shell);
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    // The two roots of the menu tree.
    MenuItem menu, options;

    // The item of that name; every name of the tree is there (asking for
    // another is a programming error and stops the program).
    MenuItem& Item(std::string_view name);
    // Sets an item's caption, check mark or enabled flag; the next time its
    // menu opens it shows them.
    void SetCaption(std::string_view name, std::string caption) { Item(name).caption = std::move(caption); }
    void SetChecked(std::string_view name, bool checked) { Item(name).checked = checked; }
    void SetEnabled(std::string_view name, bool enabled) { Item(name).enabled = enabled; }
    bool Checked(std::string_view name) { return Item(name).checked; }

    // Opens `root` as a context menu of `owner`, at `at` in the owner's
    // client pixels (at the mouse pointer when nullopt), with the item
    // `defaultItem` bold; runs the chosen item's handler after it closed.
    void PopupMenu(MenuItem& root, Hwnd owner, std::optional<Point> at, std::string_view defaultItem);

    // ---- The tray --------------------------------------------------------------
    // The record as the last add left it.
    const std::vector<std::uint8_t>& TrayRecord() const { return record_; }
    // Adds the icon with the main window's caption as its tip, then takes
    // the program out of the task list and hides the main window.  False,
    // with nothing hidden, when the shell refused the icon: the program must
    // never become unreachable.
    bool AddTrayIcon();
    void RemoveTrayIcon();
    // The icon is shown (the window command's caption reads "maximize").
    bool InTray() const;

    // ---- Handlers ---------------------------------------------------------------
    // The window command: to the tray and back.
    void minimize_Click();
    // The tray icon's mouse: `message` is the mouse message over the icon.
    void Form_MouseMove(std::uint32_t message);
    // The taskbar was made anew: an icon that was shown is added again.
    void TaskbarCreated();

private:
    void FillRecord();

    Shell& shell_;
    std::vector<std::uint8_t> record_ = std::vector<std::uint8_t>(kTrayRecordSize, 0);
};

}  // namespace qm
