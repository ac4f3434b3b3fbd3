// Reading the client's transfer windows: the download in an MDI child whose
// caption holds "File Transfer", the upload in the first top-level
// "_AOL_Modal".  Three values each, all text, all "" when no transfer of that
// direction is shown; nothing is cached, every read looks the window up again.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qm::transfer {

Hwnd FindDownloadWindow(Platform& platform);
Hwnd FindUploadWindow(Platform& platform);

std::string GetDownloadFileName(Platform& platform);
std::string GetDownloadPercent(Platform& platform);
std::string GetDownloadMinutesLeft(Platform& platform);
std::string GetUploadFileName(Platform& platform);
std::string GetUploadPercent(Platform& platform);
std::string GetUploadMinutesLeft(Platform& platform);

// `text` with every occurrence of `find` (in any letter case) replaced; the
// search goes on after each replacement, so it always ends.  `text` receives
// the result too.
std::string ReplaceText(std::string& text, const std::string& find, const std::string& replacement);

}  // namespace qm::transfer
