// What the contract suites need of a backend: the platform under test and the
// world around it that a case sets up (folders and files, windows that record
// what they hear, a second thread that can be made busy, menus).  Each backend
// supplies one source file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace qm::contract {

Platform& TestPlatform();

// A new, empty, existing folder for one test (no final backslash).
std::string NewFolder(const std::string& name);

enum class FileKind { Plain, ReadOnly, Hidden, System, Folder };
// Makes `path` a file of these bytes with that attribute (a Folder ignores
// the bytes); returns the path.
std::string MakeFile(const std::string& path, const std::string& bytes, FileKind kind = FileKind::Plain);

// Another program has the file open until ReleaseFile: Locked sharing
// nothing (it can be neither read nor written), InUse reading it, sharing
// reading and writing but not its removal (it reads; it cannot be replaced).
enum class Hold { Locked, InUse };
void HoldFile(const std::string& path, Hold how);
void ReleaseFile(const std::string& path);
// The names of the files and folders in `folder`, sorted, in lower case.
std::vector<std::string> FilesIn(const std::string& folder);

// Where Windows and Wine differ, a backend behaves as one of them: the real
// one as the system it runs on, the simulated one as either, by choice.
enum class Host { Windows, Wine };
std::vector<Host> Hosts();  // those this backend can behave as
void BehaveAs(Host host);   // one of Hosts(); stays until changed

// This thread, which runs the platform and the tests, or a second one that
// owns windows as another program's thread would and pumps on its own.
enum class Thread { This, Other };

// A window of class `cls` showing `text`: top-level (hidden) for a parent of
// 0, else the parent's last child, on the parent's thread.  It records the
// seam's messages it handles (Received) and otherwise acts as a plain window:
// a set text is kept, a close destroys it.
Hwnd MakeWindow(const std::string& cls, const std::string& text, Hwnd parent = 0, Thread thread = Thread::This);
void DestroyWindow(Hwnd window);
// A multi-line text control of the other thread showing `text` (lines
// separated by CR LF): the system's edit control, or its rich edit, both
// `width` pixels wide and wrapping longer lines; a plain window holding the
// text where the backend has no such controls.  Gone when the test ends.
enum class TextControl { Edit, RichEdit };
Hwnd MakeTextControl(TextControl kind, const std::string& text, int width);
// What a window made here handled, oldest first, also after it is gone:
// "set <text>", "char <code>", "key down <vk>", "key up <vk>", "command <id>",
// "close"; and "busy", "free" around a block (BlockOtherThread).
std::vector<std::string> Received(Hwnd window);
// The other thread, which owns `window`, gets stuck inside a handler of
// `window` for `seconds` without looking at its messages; returns once it is.
void BlockOtherThread(Hwnd window, double seconds);

struct MenuEntry {
    MenuEntry(std::string text, std::uint32_t id) : text(std::move(text)), id(id) {}
    MenuEntry(std::string text, std::vector<MenuEntry> submenu) : text(std::move(text)), submenu(std::move(submenu)) {}
    static MenuEntry Separator() {
        MenuEntry separator("", 0u);
        separator.separator = true;
        return separator;
    }

    std::string text;
    std::uint32_t id = 0;
    std::vector<MenuEntry> submenu;  // non-empty: the item opens it
    bool separator = false;
};
// A menu of these items; the menu bar of `window` (made here, on this
// thread) when one is given.
Hmenu MakeMenu(const std::vector<MenuEntry>& items, Hwnd window = 0);

// How a test window reports a message (the formats of Received).
inline std::string Heard(Msg msg, std::uint32_t wparam, const std::string& text) {
    const std::string n = std::to_string(wparam);
    switch (msg) {
        case Msg::SetText: return "set " + text;
        case Msg::Close: return "close";
        case Msg::KeyDown: return "key down " + n;
        case Msg::KeyUp: return "key up " + n;
        case Msg::Char: return "char " + n;
        case Msg::SysChar: return "syschar " + n;
        case Msg::Command: return "command " + n;
        case Msg::CancelMode: return "cancel mode";
        case Msg::LButtonDown: return "button down";
        case Msg::LButtonUp: return "button up";
        default: return "";  // not one the program sends
    }
}

}  // namespace qm::contract
