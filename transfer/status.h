// Reading the client's transfer windows: the download in an MDI child, the
// upload in the first top-level "_AOL_Modal", each captioned as a transfer
// in progress ("File Transfer", "File Transfer - 45%").  Three values each,
// all text; nothing is cached, every read looks the window up again.
// Captions are read as the system keeps them; only the statics' texts need
// the client to answer, and one read it does not answer ends the reading.
//
// A value is "" when no transfer of that direction is shown, and nullopt when
// it could not be told: the client did not answer a read, another dialog of
// the client stands in front of the upload, or it shows more document
// windows than a walk visits.  Unknown is never "no transfer", and never a
// value to show or act on.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "app/announcement.h"
#include "platform/platform.h"

namespace qm::transfer {

using Reading = std::optional<std::string>;
using Reader = Reading (*)(Platform&);

// The window, or 0 (none, or none that could be made out).  The walk of the
// document windows visits at most bounds::kDocumentWindows of them.
Hwnd FindDownloadWindow(Platform& platform);
// Lets events run.  When the first "_AOL_Modal" is some other dialog, it is
// looked at again while events run, for at most bounds::kUploadLookupSeconds.
Hwnd FindUploadWindow(Platform& platform);

Reading GetDownloadFileName(Platform& platform);
Reading GetDownloadPercent(Platform& platform);
Reading GetDownloadMinutesLeft(Platform& platform);
Reading GetUploadFileName(Platform& platform);
Reading GetUploadPercent(Platform& platform);
Reading GetUploadMinutesLeft(Platform& platform);

// `text` with every occurrence of `find` (in any letter case) replaced; the
// search goes on after each replacement, so it always ends.  `text` receives
// the result too.  An empty `find` changes nothing.
std::string ReplaceText(std::string& text, const std::string& find, const std::string& replacement);

// Line `kind` whose values come from `readers`, each called while the line is
// built, in order; nullopt when one of them could not read (the line must not
// go out showing a value that was never read).
std::optional<std::string> ComposeTransferLine(Platform& platform, Announcement kind, const AnnouncementStyle& style,
                                               std::initializer_list<Reader> readers);

}  // namespace qm::transfer
