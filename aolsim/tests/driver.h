// A simulated desktop with aolsim on it, and the steps quillmoor takes on the
// client's windows written out plainly: aolsim's tests reach the client the
// way the program will, through window lookups and messages.
#pragma once

#include <string>
#include <vector>

#include "aolsim/sim/sim_client.h"
#include "platform/text.h"

namespace aolsim::testing {

using qm::Hwnd;
using qm::Msg;
using Lines = std::vector<std::string>;

struct Scene {
    qm::sim::SimPlatform p;
    SimClient client{p};

    void Begin(const char* version, const char* name = "Joe Blow") {
        client.Start(version);
        if (name) client.SignOn(name);
    }

    Hwnd Main() { return p.FindWindow("AOL Frame25"); }
    Hwnd Mdi() { return p.FindWindowEx(Main(), 0, "MDIClient"); }
    Hwnd FirstDocument() { return p.FindWindowEx(Mdi(), 0, "AOL Child"); }
    Hwnd Bar() { return p.FindWindowEx(p.FindWindowEx(Main(), 0, "AOL Toolbar"), 0, "_AOL_Toolbar"); }
    Hwnd KeywordEdit() { return p.FindWindowEx(p.FindWindowEx(Bar(), 0, "_AOL_Combobox"), 0, "Edit"); }
    Hwnd Alert() { return p.FindWindow("#32770", std::string_view("America Online")); }
    // The nth (1-based) "_AOL_Icon" of a window.
    Hwnd Icon(Hwnd window, int nth) {
        Hwnd icon = 0;
        for (int i = 0; i < nth; ++i) icon = p.FindWindowEx(window, icon, "_AOL_Icon");
        return icon;
    }

    // "<no answer>" when the client did not answer.
    std::string GetText(Hwnd w) {
        std::optional<int> n = p.GetTextLength(w);
        return (n ? p.GetText(w, *n + 1) : std::nullopt).value_or("<no answer>");
    }
    std::string Caption(Hwnd w) { return p.GetWindowText(w, p.GetWindowTextLength(w) + 1); }
    Lines Classes(Hwnd parent) {
        Lines classes;
        for (Hwnd child : p.ChildrenOf(parent)) classes.push_back(p.ClassOf(child));
        return classes;
    }
    Lines DocumentCaptions() {
        Lines captions;
        for (Hwnd h : p.ChildrenOf(Mdi())) captions.push_back(Caption(h));
        return captions;
    }

    // The text typed into an edit box, then Enter.
    void Enter(Hwnd edit, const std::string& text) {
        p.SetText(edit, text);
        p.Send(edit, Msg::Char, qm::kCharEnter);
    }
    void Say(Hwnd room, const std::string& line) { Enter(client.RoomInput(room), line); }
    // As the program enters one: a blank typed in front (the caret sits at 0).
    void EnterKeyword(const std::string& text) {
        p.SetText(KeywordEdit(), text);
        p.Send(KeywordEdit(), Msg::Char, ' ');
        p.Send(KeywordEdit(), Msg::Char, qm::kCharEnter);
    }
    // As the program dismisses it: the space key on its OK button.
    void DismissAlert() {
        Hwnd ok = p.FindWindowEx(Alert(), 0, "Button", std::string_view("OK"));
        p.Send(ok, Msg::KeyDown, qm::kVkSpace);
        p.Send(ok, Msg::KeyUp, qm::kVkSpace);
    }
    // As the resume actions press an icon: a button down, then up by the
    // space key or the mouse.
    void Press(Hwnd icon, bool bySpace) {
        p.Send(icon, Msg::LButtonDown);
        p.Send(icon, bySpace ? Msg::KeyUp : Msg::LButtonUp, bySpace ? qm::kVkSpace : 0);
    }
    // Sends the command of the first menu-bar entry whose text holds `item`.
    void RunMenuItem(const std::string& item) {
        qm::Hmenu bar = p.GetMenu(Main());
        for (int i = 0; i < p.GetMenuItemCount(bar); ++i) {
            qm::Hmenu sub = p.GetSubMenu(bar, i);
            for (int j = 0; j < p.GetMenuItemCount(sub); ++j)
                if (qm::ContainsNoCase(p.GetMenuString(sub, p.GetMenuItemID(sub, j), 100), item))
                    return (void)p.Send(Main(), Msg::Command, p.GetMenuItemID(sub, j));
        }
    }
    // Clicks toolbar icon `index` (0-based) and types `key` into the pop-up
    // menu it opens; false when none opened within `seconds`.
    bool ClickToolbarMenu(int index, char key, double seconds = 5) {
        Hwnd icon = Icon(Bar(), index + 1);
        p.Post(icon, Msg::LButtonDown);
        p.Post(icon, Msg::LButtonUp);
        for (double end = p.Now() + seconds; p.Now() < end; p.RunFor(0.05)) {
            p.ProcessEvents();
            if (Hwnd menu = p.FindWindow("#32768")) {
                p.Post(menu, Msg::Char, static_cast<unsigned char>(key));
                p.ProcessEvents();
                return true;
            }
        }
        return false;
    }
};

}  // namespace aolsim::testing
