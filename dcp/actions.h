// What disconnect protection does to the client: close what a lost connection
// leaves behind, type the password into the sign-on window, wait for the
// sign-on and for the room, submit a keyword, and resume a broken-off
// transfer through the client's own windows and menus.
//
// Every action finds its windows afresh under the client's main window; a
// window that is missing makes its messages go to window 0, where they do
// nothing.  Nothing is reported.  The waits let events run and end by
// themselves (aol/bounds.h), and at once when the client's main window goes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace qm::dcp {

// The document window captioned exactly "File Transfer Status" / "Status".
Hwnd FindTransferStatusWindow(Platform& platform);
Hwnd FindStatusWindow(Platform& platform);
// Posts WM_CLOSE; does not wait for the window to go.
void PostCloseWindow(Platform& platform, Hwnd window);
// The document window with "_AOL_Icon", "_AOL_Combobox" and "_AOL_Static"
// children, front first; 0 while someone is signed on.  Events run while it
// scans past the first document window.
Hwnd FindSignOnWindow(Platform& platform);
// Sets the sign-on window's password box to the password and presses Enter.
// Only the sign-on window's own box ever receives it: with no sign-on window
// nothing is typed.
void TypeSignOnPassword(Platform& platform, const std::string& password);
// Until the welcome window shows, the sign-on window shows (again), the
// client is gone, or bounds::kSignOnSeconds pass.
void WaitForSignOn(Platform& platform);
Hwnd FindFirstMdiChild(Platform& platform);
// Sends WM_CLOSE to the "AOL Channels" document window, if there is one.
void CloseChannelsWindow(Platform& platform);
// Submits the text through the toolbar's keyword box and leaves the box
// empty; 0.6 s of pauses in all.
void EnterKeyword(Platform& platform, const std::string& text);
// Until a chat room with a caption is open, nobody is signed on, the sign-on
// window or the client's alert shows, the client is gone, or
// bounds::kRoomSeconds pass.
void WaitForRoom(Platform& platform);

// Clicks the toolbar icon `index` places after the first (stepping through
// sibling windows whatever their class), waits for a pop-up menu other than
// the one open before, and posts it the key's first character.  When no
// other menu comes within bounds::kPopupMenuSeconds, no key is sent.
void ClickToolbarMenu(Platform& platform, std::int32_t index, const std::string& key);

// Resuming through the Download Manager (downloads) or the mail waiting to be
// sent (uploads); "early" is client 4.0 and 5.0, "late" 6.0 to 8.0.
void ResumeDownloadEarly(Platform& platform);
void ResumeDownloadLate(Platform& platform);
void ResumeUploadEarly(Platform& platform);
void ResumeUploadLate(Platform& platform);

}  // namespace qm::dcp
