// The steps quillmoor performs on the client's windows, written out plainly
// against the simulated platform, so that aolsim's tests drive it exactly as
// the program will: the same lookups, the same messages, in the same order.
#pragma once

#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/text.h"

namespace aolsim::testing {

using qm::Hwnd;
using qm::Msg;

class Driver {
public:
    explicit Driver(qm::sim::SimPlatform& p) : p(p) {}

    Hwnd Main() { return p.FindWindow("AOL Frame25"); }
    Hwnd Mdi() { return p.FindWindowEx(Main(), 0, "MDIClient"); }
    Hwnd FirstDocument() { return p.FindWindowEx(Mdi(), 0, "AOL Child"); }
    Hwnd Document(const std::string& caption) { return p.FindWindowEx(Mdi(), 0, "AOL Child", caption); }
    Hwnd Bar() { return p.FindWindowEx(p.FindWindowEx(Main(), 0, "AOL Toolbar"), 0, "_AOL_Toolbar"); }
    Hwnd KeywordEdit() { return p.FindWindowEx(p.FindWindowEx(Bar(), 0, "_AOL_Combobox"), 0, "Edit"); }

    std::string GetText(Hwnd w) {
        int n = p.GetTextLength(w);
        return p.GetText(w, n + 1);
    }
    std::string Caption(Hwnd w) { return p.GetWindowText(w, p.GetWindowTextLength(w) + 1); }
    void Pause(double seconds) { p.RunFor(seconds); }

    Hwnd FindChatRoom() {
        for (Hwnd child = p.FindWindowEx(Mdi(), 0, "AOL Child"); child;
             child = p.FindWindowEx(Mdi(), child, "AOL Child")) {
            if (p.FindWindowEx(child, 0, "RICHCNTL") && p.FindWindowEx(child, 0, "_AOL_Listbox") &&
                p.FindWindowEx(child, 0, "_AOL_Icon") && p.FindWindowEx(child, 0, "_AOL_Static"))
                return child;
        }
        return 0;
    }

    // Variant A before 7.0, B for 7.0 and 8.0.
    Hwnd FindChatInput(bool variantB) {
        Hwnd room = FindChatRoom();
        if (variantB) return p.FindWindowEx(room, p.FindWindowEx(room, 0, "RICHCNTLREADONLY"), "RICHCNTL");
        return p.FindWindowEx(room, p.FindWindowEx(room, 0, "RICHCNTL"), "RICHCNTL");
    }

    Hwnd FindAolAlert() { return p.FindWindow("#32770", std::string_view("America Online")); }

    // Presses the alert's OK with the space key; false when there was none.
    bool DismissAolAlert() {
        Hwnd button = p.FindWindowEx(FindAolAlert(), 0, "Button", std::string_view("OK"));
        if (!button) return false;
        p.Send(button, Msg::KeyDown, qm::kVkSpace);
        p.Send(button, Msg::KeyUp, qm::kVkSpace);
        return true;
    }

    // Returns the number of Enter presses (bounded at 20).
    int SendChatLine(const std::string& line, bool variantB) {
        int presses = 0;
        if (!line.empty() && FindChatRoom()) {
            Hwnd box = FindChatInput(variantB);
            if (box) {
                std::string saved = GetText(box);
                if (!saved.empty()) p.SetText(box, "");
                p.SetText(box, line);
                do {
                    p.Send(box, Msg::Char, qm::kCharEnter);
                    ++presses;
                    if (GetText(FindChatInput(variantB)).empty()) break;
                    p.ProcessEvents();
                    Pause(0.05);
                } while (presses < 20);
                p.SetText(box, saved);
            }
        }
        if (FindAolAlert()) DismissAolAlert();
        return presses;
    }

    void MenuWalk(const std::function<bool(const std::string&, std::uint32_t)>& visit) {
        qm::Hmenu bar = p.GetMenu(Main());
        int n = p.GetMenuItemCount(bar);
        for (int i = 0; i < n; ++i) {
            qm::Hmenu sub = p.GetSubMenu(bar, i);
            int m = p.GetMenuItemCount(sub);
            for (int j = 0; j < m; ++j) {
                std::uint32_t id = p.GetMenuItemID(sub, j);
                if (visit(p.GetMenuString(sub, id, 100), id)) return;
            }
        }
    }

    std::string GetAolVersion() {
        static const std::pair<const char*, const char*> patterns[] = {
            {"What's New in AOL 8.0", "8.0"}, {"What's New in AOL 7.0", "7.0"}, {"What's New in AOL 6.0", "6.0"},
            {"What's New in AOL 5.0", "5.0"}, {"What's New in AOL 4.0", "4.0"}, {"Send an Instant Message", "3.0"},
            {"LOGGING...", "2.5"}};
        std::string version = "foreign";
        MenuWalk([&](const std::string& text, std::uint32_t) {
            for (const auto& [pattern, name] : patterns)
                if (qm::ContainsNoCase(text, pattern)) {
                    version = name;
                    return true;
                }
            return false;
        });
        return version;
    }

    void RunAolMenuItem(const std::string& item) {
        MenuWalk([&](const std::string& text, std::uint32_t id) {
            if (!qm::ContainsNoCase(text, item)) return false;
            p.Send(Main(), Msg::Command, id);
            return true;
        });
    }

    Hwnd FindWelcomeWindow() {
        for (Hwnd child = FirstDocument(); child; child = p.FindWindowEx(Mdi(), child, "AOL Child"))
            if (Caption(child).rfind("Welcome, ", 0) == 0) return child;
        return 0;
    }

    std::string GetScreenName() {
        std::string caption = Caption(FindWelcomeWindow());
        std::size_t bang = caption.find('!');
        if (caption.empty() || bang == std::string::npos) return "";
        return caption.substr(9, bang - 9);
    }

    Hwnd FindSignOnWindow() {
        if (!GetScreenName().empty()) return 0;
        for (Hwnd child = FirstDocument(); child; child = p.FindWindowEx(Mdi(), child, "AOL Child"))
            if (p.FindWindowEx(child, 0, "_AOL_Icon") && p.FindWindowEx(child, 0, "_AOL_Combobox") &&
                p.FindWindowEx(child, 0, "_AOL_Static"))
                return child;
        return 0;
    }

    void TypeSignOnPassword(const std::string& password) {
        Hwnd edit = p.FindWindowEx(FirstDocument(), 0, "_AOL_Edit");
        p.SetText(edit, password);
        p.Send(edit, Msg::Char, qm::kCharEnter);
    }

    // Bounded: gives up after `seconds` of virtual time.
    bool WaitForSignOn(double seconds = 60) {
        for (double end = p.Now() + seconds; p.Now() < end;) {
            p.ProcessEvents();
            if (!Main()) return false;
            if (FindWelcomeWindow()) return true;
            if (FindSignOnWindow()) return false;
            Pause(0.05);
        }
        return false;
    }

    void EnterKeyword(const std::string& text) {
        Hwnd edit = KeywordEdit();
        p.SetText(edit, "");
        Pause(0.2);
        p.SetText(edit, text);
        p.Send(edit, Msg::Char, 32);
        p.Send(edit, Msg::Char, qm::kCharEnter);
        Pause(0.2);
        p.SetText(edit, "");
        Pause(0.2);
    }

    // False when no new pop-up menu opened within `seconds` (no key sent).
    bool ClickToolbarMenu(int index, char key, double seconds = 5) {
        Hwnd before = p.FindWindow("#32768");
        Hwnd icon = p.FindWindowEx(Bar(), 0, "_AOL_Icon");
        for (int i = 0; i < index; ++i) icon = p.NextWindow(icon);
        p.Post(icon, Msg::LButtonDown);
        p.Post(icon, Msg::LButtonUp);
        Hwnd menu = before;
        for (double end = p.Now() + seconds; menu == before && p.Now() < end;) {
            p.ProcessEvents();
            menu = p.FindWindow("#32768");
            if (menu == before) Pause(0.05);
        }
        if (menu == before) return false;
        p.Post(menu, Msg::Char, static_cast<unsigned char>(key));
        p.ProcessEvents();
        return true;
    }

    // The nth (1-based) "_AOL_Icon" of a window: press it as the resume
    // actions do.
    Hwnd Icon(Hwnd window, int nth) {
        Hwnd icon = 0;
        for (int i = 0; i < nth; ++i) icon = p.FindWindowEx(window, icon, "_AOL_Icon");
        return icon;
    }
    void PressBySpace(Hwnd icon) {
        p.Send(icon, Msg::LButtonDown);
        p.Send(icon, Msg::KeyUp, qm::kVkSpace);
    }
    void PressByMouse(Hwnd icon) {
        p.Send(icon, Msg::LButtonDown);
        p.Send(icon, Msg::LButtonUp);
    }

    qm::sim::SimPlatform& p;
};

}  // namespace aolsim::testing
