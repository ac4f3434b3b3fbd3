#include "transfer/status.h"

namespace qm::transfer {

Hwnd FindDownloadWindow(Platform&) { return 0; }
Hwnd FindUploadWindow(Platform&) { return 0; }
std::string GetDownloadFileName(Platform&) { return ""; }
std::string GetDownloadPercent(Platform&) { return ""; }
std::string GetDownloadMinutesLeft(Platform&) { return ""; }
std::string GetUploadFileName(Platform&) { return ""; }
std::string GetUploadPercent(Platform&) { return ""; }
std::string GetUploadMinutesLeft(Platform&) { return ""; }
std::string ReplaceText(std::string& text, const std::string&, const std::string&) { return text; }

}  // namespace qm::transfer
