// The window host: what the client model needs from a window system.
//
// The model (client.h) owns no window; it asks a host to make them and hears
// from the host what other programs do to them.  Two hosts exist: one inside
// the simulated platform (sim/sim_host.h) and one made of real Windows windows
// (win32/win32_host.h, in aolsim.exe).
//
// Rules every host keeps, so that the model behaves the same in both:
// - A child is created behind its existing siblings (last in their order); a
//   top-level window may land anywhere.  BringToFront puts a window first
//   among its siblings.  A child of "MDIClient" is a document window.
// - "Edit", "Button", "Static" and "#32770" are the system's classes, the
//   rest are the model's own.  For an "Edit" the host keeps the caret as the
//   system does (at 0 after a set text) and inserts the characters that the
//   model leaves unhandled there.  A "Button" reports a press (WM_KEYDOWN then
//   WM_KEYUP with the space key, or a button down then up) as a Command with
//   the button's id, 1, delivered to the button's parent.
// - Texts are ANSI bytes and are kept byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/messages.h"

namespace aolsim {

// A host's window handle; 0 is none.  Handles are 32-bit values in both hosts.
using Handle = std::uint32_t;

using qm::kVkEscape;
using qm::kVkReturn;
using qm::kVkSpace;
constexpr std::uint32_t kButtonId = 1;  // IDOK

// Show states as ShowWindow names them, and a message another program (or
// the system) sent or posted to a window: the program's own vocabulary.
using Show = qm::ShowCmd;
using qm::Msg;
using Message = qm::WindowMessage;

// The model's side: the host calls it for every message to a window the
// model made.  Returning true means the model handled it; otherwise the
// system's default applies (set text stores the text, close destroys the
// window, show changes the show state).  A ShowWindow message arrives as the
// state changes, a read of the text (GetText) once it has been answered;
// their answers are ignored.
class Receiver {
public:
    virtual ~Receiver() = default;
    virtual bool OnMessage(Handle window, const Message& message) = 0;
};

struct MenuEntry {
    std::string text;  // with its "&" accelerator
    std::uint32_t id = 0;
};
struct MenuBarMenu {
    std::string title;
    std::vector<MenuEntry> entries;
};

class Host {
public:
    virtual ~Host() = default;

    // Where messages go.  Set once, before the first window is made.
    virtual void Attach(Receiver* receiver) = 0;

    // Makes a visible window; 0 when the parent is gone.
    virtual Handle Create(const std::string& cls, const std::string& text, Handle parent) = 0;
    // Destroys the window and its children.  Nothing happens for a window
    // that is gone.
    virtual void Destroy(Handle window) = 0;
    // As Destroy, for a window that ends while it answers another program's
    // message: the answer must not wait on the window's going (under Wine
    // without a window manager, hiding a captioned window first holds its
    // thread for seconds).
    virtual void DestroyAtOnce(Handle window) { Destroy(window); }
    virtual bool Exists(Handle window) = 0;
    // Sets the text as the window's own program does: no message arrives.
    virtual void SetText(Handle window, const std::string& text) = 0;
    virtual std::string Text(Handle window) = 0;
    virtual void BringToFront(Handle window) = 0;
    virtual void SetMenuBar(Handle window, const std::vector<MenuBarMenu>& menus) = 0;

    // Runs `action` once, `seconds` from now, from the host's event loop.
    virtual void After(double seconds, std::function<void()> action) = 0;

    // Opens a pop-up menu (a top-level "#32768") for `owner` after the
    // current message is handled.  The menu's accelerator keys, sent to it as
    // WM_CHAR, pick an entry; `picked` then gets the entry's id, or 0 when the
    // menu closed with nothing chosen.
    virtual void OpenPopup(Handle owner, const std::vector<MenuEntry>& entries,
                           std::function<void(std::uint32_t id)> picked) = 0;

    // The client stops answering messages for `seconds`.
    virtual void Freeze(double seconds) = 0;
    // Called while a message is handled: the thread is stuck in that handler
    // for `seconds` (nothing else of the client runs), then `rest` finishes it.
    virtual void Block(double seconds, std::function<void()> rest) = 0;
    // The client program ends: every window is gone.  The model has already
    // forgotten them.
    virtual void Exit() = 0;
};

}  // namespace aolsim
