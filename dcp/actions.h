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
// The sign-on window beyond doubt, or 0: nobody is signed on, no chat room
// is open, and exactly one document window has the sign-on window's shape
// (in this order and nothing else: "_AOL_Static", "_AOL_Combobox",
// "_AOL_Static", the "_AOL_Edit" password box, four "_AOL_Icon"s).  Without
// the welcome window a signed-on client may still show a document that looks
// alike in part; the password must never go there.  Events run while it scans
// past the first document window.
Hwnd FindSignOnWindow(Platform& platform);
// That window's password box, or 0 when the window is not of that shape.
Hwnd SignOnPasswordBox(Platform& platform, Hwnd window);
// Sets the sign-on window's password box to the password and presses Enter
// (not when the text was not taken).  With no sign-on window beyond doubt
// nothing is typed.
void TypeSignOnPassword(Platform& platform, const std::string& password);
// Until the welcome window shows, the sign-on window shows (again), the
// client is gone, or bounds::kSignOnSeconds pass.
void WaitForSignOn(Platform& platform);
Hwnd FindFirstMdiChild(Platform& platform);
// Sends WM_CLOSE to the "AOL Channels" document window, if there is one.
void CloseChannelsWindow(Platform& platform);
// Submits the text through the toolbar's keyword box and leaves the box
// empty; 0.6 s of pauses in all.  A text the box did not answer for is not
// submitted.
void EnterKeyword(Platform& platform, const std::string& text);
// Until a chat room with a caption is open, nobody is signed on, the sign-on
// window or the client's alert shows, the client is gone, or
// bounds::kRoomSeconds pass.
void WaitForRoom(Platform& platform);

// Clicks the toolbar icon `index` places after the first (stepping through
// sibling windows whatever their class), waits for a pop-up menu other than
// the one open before, and posts it the key's first character.  True when
// the menu took the key (it closed).  When no other menu comes within
// bounds::kPopupMenuSeconds, no key is sent and false comes back; a menu that
// comes within bounds::kLatePopupSeconds more (a busy client handling the
// click late) is closed, and so is one that stays open after its key.
bool ClickToolbarMenu(Platform& platform, std::int32_t index, const std::string& key);
// The same through the client's menu bar, as Alt and `menuKey`, then
// `itemKey`, work it from the keyboard: for a client whose menus cannot be
// read from outside.
bool RunMenuBarByKeys(Platform& platform, char menuKey, char itemKey);

// Resuming through the Download Manager (downloads) or "Mail Waiting to Be
// Sent" (uploads); "early" is client 4.0 and 5.0, "late" 6.0 to 8.0.  Each
// stops when the step that opens its window did not happen, and presses an
// icon only in its own window, found by caption (never a chat room).
void ResumeDownloadEarly(Platform& platform);
void ResumeDownloadLate(Platform& platform);
void ResumeUploadEarly(Platform& platform);
void ResumeUploadLate(Platform& platform);

}  // namespace qm::dcp
