// The one message vocabulary: what the program sends or posts to other
// programs' windows, what the simulated platform delivers to its windows, and
// what aolsim's windows hear.  The values are Win32's, so that the Windows
// backends pass them through unchanged.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

enum class Msg : std::uint32_t {
    SetText = 0x000C,      // WM_SETTEXT, text in WindowMessage::text
    Close = 0x0010,        // WM_CLOSE
    CancelMode = 0x001F,   // WM_CANCELMODE: ends the receiver's menu mode
    // Not sent by the program: how a window hears that its show state
    // changed (WM_SHOWWINDOW's number), wparam = ShowCmd.
    Show = 0x0018,
    // Not sent by the program either (it reads texts): how a window hears
    // that its text was read (WM_GETTEXT's number), after the answer is made.
    GetText = 0x000D,
    // Nor this: how a window hears that its text's length was asked
    // (WM_GETTEXTLENGTH's number), after the answer is made.
    GetTextLength = 0x000E,
    KeyDown = 0x0100,      // WM_KEYDOWN, wparam = virtual key
    KeyUp = 0x0101,        // WM_KEYUP, wparam = virtual key
    Char = 0x0102,         // WM_CHAR, wparam = character code
    // WM_SYSCHAR as Alt and a letter make it (the backend marks Alt down):
    // opens the receiver's menu-bar menu with that mnemonic.
    SysChar = 0x0106,
    Command = 0x0111,      // WM_COMMAND, wparam = command identifier
    LButtonDown = 0x0201,  // WM_LBUTTONDOWN
    LButtonUp = 0x0202,    // WM_LBUTTONUP
};

// ShowWindow's commands.
enum class ShowCmd : std::uint32_t { Hide = 0, Normal = 1, Show = 5, Minimize = 6, Restore = 9 };

constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kCharEnter = 13;

// A message as a window receives it.
struct WindowMessage {
    Msg msg = Msg::Command;
    std::uint32_t wparam = 0;  // character, virtual key, command id or ShowCmd
    std::string text;          // SetText
};

}  // namespace qm
