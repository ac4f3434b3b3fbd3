#include "aol/probes.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "aol/window_model.h"
#include "aol/bounds.h"
#include "platform/text.h"

namespace qm::aol {
namespace {

// Visits the items of the menu bar's menus, left to right and top to bottom,
// until `visit` returns true.
void WalkMenu(Platform& platform, const std::function<bool(std::uint32_t id, const std::string& text)>& visit) {
    Hmenu bar = platform.GetMenu(FindAolWindow(platform));
    const int menus = std::min(platform.GetMenuItemCount(bar), bounds::kMenuItems);
    for (int i = 0; i < menus; ++i) {
        Hmenu sub = platform.GetSubMenu(bar, i);
        const int items = std::min(platform.GetMenuItemCount(sub), bounds::kMenuItems);
        for (int j = 0; j < items; ++j) {
            std::uint32_t id = platform.GetMenuItemID(sub, j);
            if (visit(id, platform.GetMenuString(sub, id, kMenuTextBuffer))) return;
        }
    }
}

}  // namespace

Hwnd FindAolWindow(Platform& platform) { return platform.FindWindow(kMainClass); }

std::string GetCaption(Platform& platform, Hwnd window) {
    const int n = platform.GetWindowTextLength(window);
    return n > 0 ? platform.GetWindowText(window, n + 1) : std::string();
}

std::string GetAolVersion(Platform& platform) {
    static const std::pair<const char*, const char*> kPatterns[] = {
        {"What's New in AOL 8.0", "8.0"}, {"What's New in AOL 7.0", "7.0"}, {"What's New in AOL 6.0", "6.0"},
        {"What's New in AOL 5.0", "5.0"}, {"What's New in AOL 4.0", "4.0"}, {"Send an Instant Message", "3.0"},
        {"LOGGING...", "2.5"},
    };
    std::string version = "foreign";
    WalkMenu(platform, [&](std::uint32_t, const std::string& text) {
        for (const auto& [pattern, v] : kPatterns) {
            if (ContainsNoCase(text, pattern)) {
                version = v;
                return true;
            }
        }
        return false;
    });
    return version;
}

DocumentLookup FindDocument(Platform& platform, const std::function<bool(Hwnd)>& match) {
    Hwnd area = platform.FindWindowEx(FindAolWindow(platform), 0, kMdiClass);
    Hwnd child = 0;
    for (int visited = 0; visited < bounds::kDocumentWindows; ++visited) {
        child = platform.FindWindowEx(area, child, kChildClass);
        if (!child || match(child)) return {child, true};
    }
    return {0, false};
}

Hwnd FindWelcomeWindow(Platform& platform) {
    return FindDocument(platform, [&](Hwnd child) { return GetCaption(platform, child).starts_with("Welcome, "); })
        .window;
}

std::string GetScreenName(Platform& platform) {
    Hwnd welcome = FindWelcomeWindow(platform);
    if (!welcome) return "";
    const std::string caption = GetCaption(platform, welcome);
    // A caption without its closing "!" names nobody.
    const std::size_t bang = caption.find('!');
    if (bang == std::string::npos || bang < 9) return "";
    return caption.substr(9, bang - 9);
}

void RunAolMenuItem(Platform& platform, const std::string& text) {
    WalkMenu(platform, [&](std::uint32_t id, const std::string& item) {
        if (!ContainsNoCase(item, text)) return false;
        platform.Send(FindAolWindow(platform), Msg::Command, id);
        return true;
    });
}

}  // namespace qm::aol
