// aolsim on a real Windows desktop: the model's windows are real windows of
// the client's class names, found and messaged by other processes as the
// real client's would be.
//
// One host a process, on the thread that runs the message loop.  Our own
// classes ("AOL Frame25", "AOL Child", "RICHCNTL", ...) report to the model;
// "MDIClient", "#32770", "Button", "Static" and "Edit" are the system's (the
// "Edit" subclassed, so that Enter reaches the model).  Pop-up menus are real
// TrackPopupMenu menus ("#32768").
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "aolsim/host.h"
#include "platform/win32/handles.h"

namespace aolsim::win32 {

using qm::win32::ToHwnd;
inline Handle ToHandle(HWND h) { return qm::win32::ToSeam(h); }

class Win32Host : public Host {
public:
    explicit Win32Host(HINSTANCE instance);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // Registers the client's classes and makes the helper window; false when
    // that failed.
    bool Init();

    void Attach(Receiver* receiver) override { receiver_ = receiver; }
    Handle Create(const std::string& cls, const std::string& text, Handle parent) override;
    void Destroy(Handle window) override;
    void DestroyAtOnce(Handle window) override;
    bool Exists(Handle window) override;
    void SetText(Handle window, const std::string& text) override;
    std::string Text(Handle window) override;
    void BringToFront(Handle window) override;
    void SetMenuBar(Handle window, const std::vector<MenuBarMenu>& menus) override;
    void After(double seconds, std::function<void()> action) override;
    void OpenPopup(Handle owner, const std::vector<MenuEntry>& entries,
                   std::function<void(std::uint32_t)> picked) override;
    void Freeze(double seconds) override;
    void Block(double seconds, std::function<void()> rest) override;
    void Exit() override;

private:
    static LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static INT_PTR CALLBACK AlertProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

    // Hands a message to the model; true when the model handled it.
    bool Deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    // Reports a change of shown / minimized state after it happened.
    void TrackShow(HWND hwnd);
    void Paint(HWND hwnd);
    void LayOutFrame(HWND frame);
    RECT PlaceChild(HWND parent, const std::string& cls);
    void RunPopup();

    HINSTANCE instance_;
    Receiver* receiver_ = nullptr;
    HWND helper_ = nullptr;
    HWND mdi_ = nullptr;
    HFONT font_ = nullptr;
    int quiet_ = 0;  // >0 while we change our own windows
    std::map<HWND, std::pair<bool, bool>> shown_;  // visible, iconic
    std::map<UINT_PTR, std::function<void()>> timers_;
    UINT_PTR nextTimer_ = 1;
    struct PendingPopup {
        HWND owner = nullptr;
        std::vector<MenuEntry> entries;
        std::function<void(std::uint32_t)> picked;
    };
    std::vector<PendingPopup> popups_;
};

}  // namespace aolsim::win32
