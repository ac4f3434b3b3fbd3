#include "dcp/actions.h"

#include <iterator>

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
constexpr const char* kOutbox = "Mail Waiting to Be Sent";

// The sign-on window's children, in order; it has no others.
constexpr const char* kSignOnShape[] = {aol::kStaticClass, aol::kComboboxClass, aol::kStaticClass, aol::kEditClass,
                                        aol::kIconClass,   aol::kIconClass,     aol::kIconClass,   aol::kIconClass};
constexpr std::size_t kSignOnBox = 3;
// Text children of rooms and messages, which a signed-on client alone shows.
constexpr const char* kTalkClasses[] = {aol::kRichClass, aol::kRichReadOnlyClass};

Hwnd Mdi(Platform& platform) { return platform.FindWindowEx(FindAolWindow(platform), 0, aol::kMdiClass); }

Hwnd Toolbar(Platform& platform) {
    Hwnd frame = platform.FindWindowEx(FindAolWindow(platform), 0, kToolbarFrameClass);
    return platform.FindWindowEx(frame, 0, kToolbarClass);
}

bool HasTalkChildren(Platform& platform, Hwnd window) {
    for (const char* cls : kTalkClasses)
        if (platform.FindWindowEx(window, 0, cls)) return true;
    return false;
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

// The pop-up menu in front when it is not `before`, or 0.
Hwnd NewMenu(Platform& platform, Hwnd before) {
    const Hwnd menu = platform.FindWindow(aol::kPopupMenuClass);
    return menu != before ? menu : 0;
}

// WM_CANCELMODE to the client's main window ends the client's menu mode and
// touches no other program's menu; Escape closes the menu itself where the
// client leaves WM_CANCELMODE alone.
void CloseClientMenu(Platform& platform, Hwnd menu) {
    platform.Post(FindAolWindow(platform), Msg::CancelMode);
    platform.Post(menu, Msg::KeyDown, kVkEscape);
}

// After what should open a pop-up menu of the client: waits for it and posts
// it the key.  True once the menu took the key and closed.
bool KeyNewMenu(Platform& platform, Hwnd before, const std::string& key) {
    Hwnd menu = 0;
    WaitUntil(platform, bounds::kPopupMenuSeconds, [&] { return (menu = NewMenu(platform, before)) != 0; });
    if (!menu) {
        // What opens it may still wait in a busy client's queue: a menu that
        // comes late is closed, not left open.
        Hwnd late = 0;
        WaitUntil(platform, bounds::kLatePopupSeconds, [&] { return (late = NewMenu(platform, before)) != 0; });
        if (late) CloseClientMenu(platform, late);
        return false;
    }
    if (key.empty()) {
        CloseClientMenu(platform, menu);
        return false;
    }
    platform.Post(menu, Msg::Char, static_cast<unsigned char>(key[0]));
    auto gone = [&] { return platform.FindWindow(aol::kPopupMenuClass) != menu; };
    WaitUntil(platform, bounds::kPopupKeySeconds, gone);
    if (gone()) return true;
    CloseClientMenu(platform, menu);
    return false;
}

bool MenusReadable(Platform& platform) {
    return platform.GetMenuItemCount(platform.GetMenu(FindAolWindow(platform))) > 0;
}

enum class Press { MouseUp, SpaceUp };

// What every resume action does once its window was asked for: finds that
// window by its caption, presses its nth icon, and closes the Download
// Manager a while later.  A room or a message of that caption is not it.
void PressResumeIcon(Platform& platform, const char* caption, int nth, Press press) {
    aol::Pause(platform, 2);
    const Hwnd window = platform.FindWindowEx(Mdi(platform), 0, aol::kChildClass, std::string_view(caption));
    if (!window || HasTalkChildren(platform, window)) return;
    const Hwnd icon = NthIcon(platform, window, nth);
    platform.Send(icon, Msg::LButtonDown, 0);
    if (press == Press::SpaceUp)
        platform.Send(icon, Msg::KeyUp, kVkSpace);
    else
        platform.Send(icon, Msg::LButtonUp, 0);
    if (caption != kDownloadManager) return;
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

Hwnd SignOnPasswordBox(Platform& platform, Hwnd window) {
    if (!window || HasTalkChildren(platform, window) || platform.FindWindowEx(window, 0, aol::kListboxClass)) return 0;
    // Each child is the next sibling of the one before it and the first of
    // its class after it; the first static, the combobox, the box and the
    // first icon are the first of their classes; nothing follows the last.
    Hwnd child = 0, box = 0;
    for (std::size_t i = 0; i < std::size(kSignOnShape); ++i) {
        const Hwnd next = platform.FindWindowEx(window, child, kSignOnShape[i]);
        if (!next || (child && platform.NextWindow(child) != next)) return 0;
        const bool firstOfClass = i == 0 || i == 1 || i == kSignOnBox || i == kSignOnBox + 1;
        if (firstOfClass && platform.FindWindowEx(window, 0, kSignOnShape[i]) != next) return 0;
        if (i == kSignOnBox) box = next;
        child = next;
    }
    return platform.NextWindow(child) ? 0 : box;
}

Hwnd FindSignOnWindow(Platform& platform) {
    if (!aol::GetScreenName(platform).empty()) return 0;
    // A room is open only while someone is signed on, welcome window or not.
    if (aol::FindChatRoom(platform)) return 0;
    Hwnd mdi = Mdi(platform), child = 0, found = 0;
    for (int visited = 0; visited < bounds::kDocumentWindows; ++visited) {
        if (visited) platform.ProcessEvents();
        child = platform.FindWindowEx(mdi, child, aol::kChildClass);
        if (!child) return found;
        if (!SignOnPasswordBox(platform, child)) continue;
        // Two of that shape: neither is the sign-on window beyond doubt.
        if (found) return 0;
        found = child;
    }
    return 0;
}

void TypeSignOnPassword(Platform& platform, const std::string& password) {
    // The sign-on window's own box, wherever that window stands; no other
    // box, however alike, ever gets the password.
    const Hwnd box = SignOnPasswordBox(platform, FindSignOnWindow(platform));
    if (!box || !platform.SetText(box, password)) return;
    platform.Send(box, Msg::Char, kCharEnter);
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
    // A keyword the box may not hold (the client did not answer; under Wine
    // it never will) is not submitted: Enter would submit whatever is there.
    if (!platform.SetText(edit, text)) return;
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

bool ClickToolbarMenu(Platform& platform, std::int32_t index, const std::string& key) {
    const Hwnd before = platform.FindWindow(aol::kPopupMenuClass);
    Hwnd icon = platform.FindWindowEx(Toolbar(platform), 0, aol::kIconClass);
    for (std::int32_t i = 0; i < index && icon; ++i) icon = platform.NextWindow(icon);
    if (!icon) return false;
    platform.Post(icon, Msg::LButtonDown, 0);
    platform.Post(icon, Msg::LButtonUp, 0);
    return KeyNewMenu(platform, before, key);
}

bool RunMenuBarByKeys(Platform& platform, char menuKey, char itemKey) {
    const Hwnd main = FindAolWindow(platform);
    if (!main) return false;
    const Hwnd before = platform.FindWindow(aol::kPopupMenuClass);
    platform.Post(main, Msg::SysChar, static_cast<unsigned char>(menuKey));
    return KeyNewMenu(platform, before, std::string(1, itemKey));
}

void ResumeDownloadEarly(Platform& platform) {
    if (!ClickToolbarMenu(platform, 4, "D")) return;
    PressResumeIcon(platform, kDownloadManager, 2, Press::SpaceUp);
}

void ResumeDownloadLate(Platform& platform) {
    if (MenusReadable(platform)) {
        aol::RunAolMenuItem(platform, "&File");
        aol::RunAolMenuItem(platform, "&Download Manager");
    } else if (!RunMenuBarByKeys(platform, 'f', 'd')) {  // File, "&Download Manager"
        return;
    }
    PressResumeIcon(platform, kDownloadManager, 2, Press::SpaceUp);
}

void ResumeUploadEarly(Platform& platform) {
    if (!ClickToolbarMenu(platform, 2, "b")) return;
    PressResumeIcon(platform, kOutbox, 4, Press::MouseUp);
}

void ResumeUploadLate(Platform& platform) {
    if (!ClickToolbarMenu(platform, 0, "b")) return;
    PressResumeIcon(platform, kOutbox, 4, Press::SpaceUp);
}

}  // namespace qm::dcp
