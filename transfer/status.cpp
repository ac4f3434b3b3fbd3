#include "transfer/status.h"

#include <string_view>
#include <vector>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "aol/window_model.h"
#include "platform/text.h"

namespace qm::transfer {
namespace {

constexpr const char* kTransferCaption = "File Transfer";
constexpr const char* kProgressPrefix = "File Transfer - ";
constexpr const char* kUploading = "Now Uploading ";

// What a lookup found: a window, none, or it could not tell.
struct Lookup {
    Hwnd window = 0;
    bool known = true;
};

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// `text` from 0-based `from` on; "" past its end.
std::string From(const std::string& text, std::size_t from) { return from < text.size() ? text.substr(from) : ""; }

// What the client shows while a transfer runs: "File Transfer" alone, then
// "File Transfer - 45%".  Others that contain the words ("File Transfer
// Status", left over from a lost connection) are no transfer.
bool IsProgressCaption(const std::string& caption) {
    if (caption == kTransferCaption) return true;
    const std::string_view prefix = kProgressPrefix;
    if (!caption.starts_with(prefix) || !caption.ends_with('%')) return false;
    const std::string_view digits = std::string_view(caption).substr(prefix.size(), caption.size() - prefix.size() - 1);
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// Captions are the ones the system keeps (no answer from the client needed),
// so a hung client costs the walk nothing; it is bounded all the same.  One
// the walk cannot finish cannot tell that there is no download.
Lookup LookForDownload(Platform& platform) {
    const aol::DocumentLookup found = aol::FindDocument(
        platform, [&](Hwnd child) { return IsProgressCaption(aol::GetCaption(platform, child)); });
    return {found.window, found.complete};
}

enum class Verdict { Yes, No, Unknown };

Verdict IsUploadWindow(Platform& platform, Hwnd modal) {
    if (!IsProgressCaption(aol::GetCaption(platform, modal))) return Verdict::No;
    Hwnd status = platform.FindWindowEx(modal, 0, aol::kStaticClass);
    if (!status) return Verdict::No;
    const Reading text = aol::GetText(platform, status);
    if (!text) return Verdict::Unknown;
    return Contains(*text, kUploading) ? Verdict::Yes : Verdict::No;
}

Lookup LookForUpload(Platform& platform) {
    // Only the first "_AOL_Modal" counts.  Another dialog there may go by
    // itself in a moment; one the user leaves open hides the upload, and
    // then whether there is one is not known.  A client that does not
    // answer is not asked again: that would only cost more timeouts.
    const double deadline = platform.Now() + bounds::kUploadLookupSeconds;
    for (;;) {
        platform.ProcessEvents();
        Hwnd modal = platform.FindWindow(aol::kModalClass);
        if (!modal) return {0, true};
        const Verdict upload = IsUploadWindow(platform, modal);
        if (upload == Verdict::Yes) return {modal, true};
        if (upload == Verdict::Unknown || platform.Now() >= deadline) return {0, false};
        platform.WaitForEvents(bounds::kPollSeconds);
    }
}

// The first static's text from after its first "g" and the one character
// that follows ("Now Uploading Report.ZIP" gives "report.zip").
Reading FileName(Platform& platform, const Lookup& found) {
    if (!found.known) return std::nullopt;
    if (!found.window) return "";
    const Reading text = aol::GetText(platform, platform.FindWindowEx(found.window, 0, aol::kStaticClass));
    if (!text) return std::nullopt;
    const std::size_t g = text->find('g');
    return ToLowerAscii(From(*text, g == std::string::npos ? 1 : g + 2));
}

// The caption after its first "-" and the blank after it, without "%"; the
// caption "File Transfer" alone is 0 percent.  A window gone meanwhile has
// the caption "" and so shows "".
Reading Percent(Platform& platform, const Lookup& found) {
    if (!found.known) return std::nullopt;
    if (!found.window) return "";
    const std::string caption = aol::GetCaption(platform, found.window);
    if (caption == kTransferCaption) return "0";
    std::string text = ToLowerAscii(caption);
    ReplaceText(text, "%", "");
    const std::size_t dash = text.find('-');
    return From(text, dash == std::string::npos ? 1 : dash + 2);
}

// The second static's text with the client's phrases taken off, in this
// order: "About 1 minute remaining." loses " minute remaining." only after
// " minutes remaining." had its chance, and "Less than a" is what is left of
// "Less than a minute remaining.".
Reading MinutesLeft(Platform& platform, const Lookup& found) {
    if (!found.known) return std::nullopt;
    if (!found.window) return "";
    Hwnd first = platform.FindWindowEx(found.window, 0, aol::kStaticClass);
    Hwnd second = first ? platform.FindWindowEx(found.window, first, aol::kStaticClass) : 0;
    Reading read = aol::GetText(platform, second);
    if (!read) return std::nullopt;
    static const std::pair<const char*, const char*> kSteps[] = {
        {"About ", ""},
        {" minutes remaining.", ""},
        {" minute remaining.", ""},
        {"Less than a", "0"},
        {"Calculating Transfer Time", "0"},
    };
    std::string text = *read;
    for (const auto& [find, replacement] : kSteps) {
        text = ToLowerAscii(text);
        ReplaceText(text, find, replacement);
    }
    return text;
}

}  // namespace

Hwnd FindDownloadWindow(Platform& platform) { return LookForDownload(platform).window; }
Hwnd FindUploadWindow(Platform& platform) { return LookForUpload(platform).window; }

Reading GetDownloadFileName(Platform& platform) { return FileName(platform, LookForDownload(platform)); }
Reading GetDownloadPercent(Platform& platform) { return Percent(platform, LookForDownload(platform)); }
Reading GetDownloadMinutesLeft(Platform& platform) { return MinutesLeft(platform, LookForDownload(platform)); }
Reading GetUploadFileName(Platform& platform) { return FileName(platform, LookForUpload(platform)); }
Reading GetUploadPercent(Platform& platform) { return Percent(platform, LookForUpload(platform)); }
Reading GetUploadMinutesLeft(Platform& platform) { return MinutesLeft(platform, LookForUpload(platform)); }

std::string ReplaceText(std::string& text, const std::string& find, const std::string& replacement) {
    if (find.empty()) return text;
    // The search resumes after each replacement, in what followed the match:
    // one pass over the text, whatever its length.
    const std::string lowerText = ToLowerAscii(text), lowerFind = ToLowerAscii(find);
    std::string result;
    std::size_t kept = 0;
    for (std::size_t spot = lowerText.find(lowerFind); spot != std::string::npos;
         spot = lowerText.find(lowerFind, kept)) {
        result.append(text, kept, spot - kept);
        result += replacement;
        kept = spot + find.size();
    }
    result.append(text, kept, std::string::npos);
    text = result;
    return result;
}

std::optional<std::string> ComposeTransferLine(Platform& platform, Announcement kind, const AnnouncementStyle& style,
                                               std::initializer_list<Reader> readers) {
    bool unknown = false;
    std::vector<LineValue> values;
    for (Reader read : readers)
        values.emplace_back([&platform, &unknown, read]() -> std::string {
            if (unknown) return {};  // the line is lost already; spare the client
            Reading value = read(platform);
            if (!value) unknown = true;
            return value.value_or("");
        });
    std::string line = ComposeAnnouncement(kind, style, values);
    if (unknown) return std::nullopt;
    return line;
}

}  // namespace qm::transfer
