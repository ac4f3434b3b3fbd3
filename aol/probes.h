// What the program learns about the AOL client by looking at its windows:
// whether it runs, which version it is, who is signed on; and running one of
// its menu commands by text.  Nothing is remembered between calls.
#pragma once

#include <string>

#include <functional>

#include "platform/platform.h"

namespace qm::aol {

// Menu texts are read into a buffer of this size.
constexpr int kMenuTextBuffer = 100;

Hwnd FindAolWindow(Platform& platform);
// A walk of the client's document windows for the first that `match` takes,
// visiting at most bounds::kDocumentWindows of them: `complete` is false when
// the walk stopped at that bound, and then no window found tells nothing.
struct DocumentLookup {
    Hwnd window = 0;
    bool complete = true;
};
DocumentLookup FindDocument(Platform& platform, const std::function<bool(Hwnd)>& match);
// The window's caption; "" for window 0.
std::string GetCaption(Platform& platform, Hwnd window);
// "8.0", "7.0", "6.0", "5.0", "4.0", "3.0", "2.5", or "foreign" when the
// client's menu shows none of them (no client included).
std::string GetAolVersion(Platform& platform);
// The document window whose caption begins "Welcome, " among the first
// bounds::kDocumentWindows, or 0.
Hwnd FindWelcomeWindow(Platform& platform);
// The signed-on screen name; "" when nobody is signed on.
std::string GetScreenName(Platform& platform);
// Sends the command of the first client menu item whose text contains
// `text`, in any letter case.
void RunAolMenuItem(Platform& platform, const std::string& text);

}  // namespace qm::aol
