// quillmoor.exe as a user runs it: a copy in a folder of its own under the
// temporary folder (its settings and reasons files beside it), a separate
// process ended at the end of the test.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "aolsim/win32/tests/aolsim_process.h"
#include "platform/win32/win32_api.h"

namespace e2e {

// quillmoor.exe in Windows form; set by the tests' main() from its argument.
std::string& QuillmoorExe();

// The head of a line posted with the default style, and a d/h/m count in it.
inline const std::string kHead =
    "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" color=#000000>";
inline std::string Said(const std::string& what) { return kHead + "quillmoor idle \xB7 <font color=#0000ff>" + what; }
inline std::string Dhm(const char* d, const char* h, const char* m) {
    return std::string("<font color=#0000ff>") + d + "<font color=#000000>d : <font color=#0000ff>" + h +
           "<font color=#000000>h : <font color=#0000ff>" + m + "<font color=#000000>m";
}

// A top-level window of process `pid` of that class (and caption, when
// given) that is visible (or any, when `shown` is false), or nullptr.
HWND WindowOf(DWORD pid, const char* cls, const char* caption = nullptr, bool shown = true);

// Real input through the X display: runs xdotool with these arguments and
// waits, at most `seconds`, until it ended.  True when it succeeded.  X
// coordinates are Windows' where there is no window manager.
bool Xdotool(const std::string& arguments, double seconds = 15);
std::string MoveTo(const RECT& r);  // "mousemove" to its middle

// A quillmoor of an earlier test still running in this Wine prefix is
// waited for (bounded) as one is made.
class QuillmoorProcess {
public:
    QuillmoorProcess();
    ~QuillmoorProcess();
    QuillmoorProcess(const QuillmoorProcess&) = delete;
    QuillmoorProcess& operator=(const QuillmoorProcess&) = delete;

    void WriteFile(const std::string& name, const std::string& bytes);
    std::optional<std::string> ReadFile(const std::string& name) const;
    const std::string& Folder() const { return folder_; }

    // Starts it and waits (bounded) until its main window is shown.
    bool Start();
    HWND MainWindow() const;  // shown, or nullptr
    // Clicks with that button the middle of what `where` gives (by default
    // the menu button) until quillmoor's menu is open: a click right after a
    // dialog of ours closed is sometimes lost.  The menu, or nullptr.
    HWND OpenMenu(const std::function<RECT()>& where = nullptr, int button = 1);
    // Opens the menu with the menu button and presses these keys (xdotool's names).
    bool Choose(const std::string& keys) { return OpenMenu() && Xdotool("key --delay 100 " + keys); }
    HWND FindOwnWindow(const char* cls, const char* caption = nullptr, bool shown = true) const {
        return process_.dwProcessId ? WindowOf(process_.dwProcessId, cls, caption, shown) : nullptr;
    }
    bool Running() const;
    bool WaitForEnd(double seconds);  // false when it still runs
    DWORD ExitCode() const;
    void Stop();  // at once, and waits until it is gone

private:
    std::string folder_, exe_;
    PROCESS_INFORMATION process_{};
};

// Polls `test`, with this thread's messages pumped, until it holds or
// `seconds` pass; returns its last answer.
template <typename Test>
bool Eventually(Test test, double seconds = 20) {
    return aolsim::testing::WaitUntil(test, seconds);
}

}  // namespace e2e
