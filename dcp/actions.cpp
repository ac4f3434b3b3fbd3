#include "dcp/actions.h"

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "aol/window_model.h"

namespace qm::dcp {
namespace {

using aol::FindAolWindow;

constexpr const char* kToolbarFrameClass = "AOL Toolbar";
constexpr const char* kToolbarClass = "_AOL_Toolbar";
constexpr const char* kKeywordClass = "Edit";
constexpr const char* kDownloadManager = "Download Manager";

Hwnd Mdi(Platform& platform) { return platform.FindWindowEx(FindAolWindow(platform), 0, aol::kMdiClass); }

Hwnd Toolbar(Platform& platform) {
    Hwnd frame = platform.FindWindowEx(FindAolWindow(platform), 0, kToolbarFrameClass);
    return platform.FindWindowEx(frame, 0, kToolbarClass);
}

bool LooksLikeSignOn(Platform& platform, Hwnd child) {
    return platform.FindWindowEx(child, 0, aol::kIconClass) && platform.FindWindowEx(child, 0, aol::kComboboxClass) &&
           platform.FindWindowEx(child, 0, aol::kStaticClass);
}

// The nth "_AOL_Icon" child (1-based), or 0; once one is missing, so are the
// ones after it.
Hwnd NthIcon(Platform& platform, Hwnd window, int nth) {
    Hwnd icon = 0;
    for (int i = 0; i < nth; ++i) {
        icon = platform.FindWindowEx(window, icon, aol::kIconClass);
        if (!icon) return 0;
    }
    return icon;
}

// Waits, letting events run, until `done` holds, the client is gone or
// `seconds` pass.
template <typename Done>
void WaitUntil(Platform& platform, double seconds, Done done) {
    const double deadline = platform.Now() + seconds;
    for (;;) {
        platform.ProcessEvents();
        if (!FindAolWindow(platform) || done() || platform.Now() >= deadline) return;
        platform.WaitForEvents(bounds::kPollSeconds);
    }
}

enum class Press { MouseUp, SpaceUp };

// What every resume action does once it has asked for its window: finds that
// window, presses its nth icon, and closes the Download Manager a while later.
void PressResumeIcon(Platform& platform, bool downloadManager, int nth, Press press) {
    aol::Pause(platform, 2);
    Hwnd mdi = Mdi(platform);
    Hwnd window = downloadManager ? platform.FindWindowEx(mdi, 0, aol::kChildClass, std::string_view(kDownloadManager))
                                  : platform.FindWindowEx(mdi, 0, aol::kChildClass);
    Hwnd icon = NthIcon(platform, window, nth);
    platform.Send(icon, Msg::LButtonDown, 0);
    if (press == Press::SpaceUp)
        platform.Send(icon, Msg::KeyUp, kVkSpace);
    else
        platform.Send(icon, Msg::LButtonUp, 0);
    if (!downloadManager) return;
    aol::Pause(platform, 3);
    platform.Send(window, Msg::Close);
}

}  // namespace

Hwnd FindTransferStatusWindow(Platform& platform) {
    return platform.FindWindowEx(Mdi(platform), 0, aol::kChildClass, std::string_view("File Transfer Status"));
}

Hwnd FindStatusWindow(Platform& platform) {
    return platform.FindWindowEx(Mdi(platform), 0, aol::kChildClass, std::string_view("Status"));
}

void PostCloseWindow(Platform& platform, Hwnd window) { platform.Post(window, Msg::Close); }

Hwnd FindSignOnWindow(Platform& platform) {
    if (!aol::GetScreenName(platform).empty()) return 0;
    Hwnd mdi = Mdi(platform), child = 0;
    for (int visited = 0; visited < bounds::kDocumentWindows; ++visited) {
        if (visited) platform.ProcessEvents();
        child = platform.FindWindowEx(mdi, child, aol::kChildClass);
        if (!child || LooksLikeSignOn(platform, child)) return child;
    }
    return 0;
}

void TypeSignOnPassword(Platform& platform, const std::string& password) {
    // The sign-on window's own box, wherever that window stands: another
    // document window in front may have a box of the same class, and the
    // password must never land there.
    Hwnd edit = platform.FindWindowEx(FindSignOnWindow(platform), 0, aol::kEditClass);
    if (!edit) return;
    platform.SetText(edit, password);
    platform.Send(edit, Msg::Char, kCharEnter);
}

void WaitForSignOn(Platform& platform) {
    WaitUntil(platform, bounds::kSignOnSeconds, [&] {
        const std::string caption = aol::GetCaption(platform, aol::FindWelcomeWindow(platform));
        return (!caption.empty() && aol::FindWelcomeWindow(platform)) || FindSignOnWindow(platform);
    });
}

Hwnd FindFirstMdiChild(Platform& platform) { return platform.FindWindowEx(Mdi(platform), 0, aol::kChildClass); }

void CloseChannelsWindow(Platform& platform) {
    Hwnd channels = platform.FindWindowEx(Mdi(platform), 0, aol::kChildClass, std::string_view("AOL Channels"));
    platform.Send(channels, Msg::Close);
}

void EnterKeyword(Platform& platform, const std::string& text) {
    Hwnd combo = platform.FindWindowEx(Toolbar(platform), 0, aol::kComboboxClass);
    Hwnd edit = platform.FindWindowEx(combo, 0, kKeywordClass);
    platform.SetText(edit, "");
    aol::Pause(platform, 0.2);
    platform.SetText(edit, text);
    platform.Send(edit, Msg::Char, ' ');
    platform.Send(edit, Msg::Char, kCharEnter);
    aol::Pause(platform, 0.2);
    platform.SetText(edit, "");
    aol::Pause(platform, 0.2);
}

void WaitForRoom(Platform& platform) {
    WaitUntil(platform, bounds::kRoomSeconds, [&] {
        const std::string caption = aol::GetCaption(platform, aol::FindChatRoom(platform));
        return aol::GetScreenName(platform).empty() || (!caption.empty() && aol::FindChatRoom(platform)) ||
               FindSignOnWindow(platform) || aol::FindAolAlert(platform);
    });
}

void ClickToolbarMenu(Platform& platform, std::int32_t index, const std::string& key) {
    const Hwnd before = platform.FindWindow(aol::kPopupMenuClass);
    Hwnd icon = platform.FindWindowEx(Toolbar(platform), 0, aol::kIconClass);
    for (std::int32_t i = 0; i < index && icon; ++i) icon = platform.NextWindow(icon);
    platform.Post(icon, Msg::LButtonDown, 0);
    platform.Post(icon, Msg::LButtonUp, 0);
    Hwnd menu = before;
    WaitUntil(platform, bounds::kPopupMenuSeconds,
              [&] { return (menu = platform.FindWindow(aol::kPopupMenuClass)) != before; });
    if (menu == before || key.empty()) return;
    platform.Post(menu, Msg::Char, static_cast<unsigned char>(key[0]));
}

void ResumeDownloadEarly(Platform& platform) {
    ClickToolbarMenu(platform, 4, "D");
    PressResumeIcon(platform, true, 2, Press::SpaceUp);
}

void ResumeDownloadLate(Platform& platform) {
    aol::RunAolMenuItem(platform, "&File");
    aol::RunAolMenuItem(platform, "&Download Manager");
    PressResumeIcon(platform, true, 2, Press::SpaceUp);
}

void ResumeUploadEarly(Platform& platform) {
    ClickToolbarMenu(platform, 2, "b");
    PressResumeIcon(platform, false, 4, Press::MouseUp);
}

void ResumeUploadLate(Platform& platform) {
    ClickToolbarMenu(platform, 0, "b");
    PressResumeIcon(platform, false, 4, Press::SpaceUp);
}

}  // namespace qm::dcp
