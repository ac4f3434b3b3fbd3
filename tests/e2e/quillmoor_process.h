// quillmoor.exe as a user runs it: a copy in a folder of its own under the
// temporary folder (its settings and reasons files live beside it), started
// as a separate process, ended at the end of the test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The path of quillmoor.exe the test program was given (its first argument),
// in Windows form; set by the tests' main().
std::string& QuillmoorExe();

class QuillmoorProcess {
public:
    QuillmoorProcess();
    ~QuillmoorProcess();
    QuillmoorProcess(const QuillmoorProcess&) = delete;
    QuillmoorProcess& operator=(const QuillmoorProcess&) = delete;

    // A file beside the program, byte for byte (before Start: the settings
    // it will read).
    void WriteFile(const std::string& name, const std::string& bytes);
    std::optional<std::string> ReadFile(const std::string& name) const;
    const std::string& Folder() const { return folder_; }

    // Starts it and waits (bounded) until its main window is shown; false
    // when it never was.
    bool Start();
    // Its shown main window, or nullptr.
    HWND MainWindow() const;
    // A top-level window of its process of that class (and caption, when
    // given) that is visible (or any, when `shown` is false), or nullptr.
    HWND FindOwnWindow(const char* cls, const char* caption = nullptr, bool shown = true) const;
    bool Running() const;
    // Waits (bounded) until it ended by itself; false when it still runs.
    bool WaitForEnd(double seconds);
    DWORD ExitCode() const;
    DWORD ProcessId() const { return process_.dwProcessId; }
    // Ends it at once and waits until it is gone.
    void Stop();

private:
    std::string folder_, exe_;
    PROCESS_INFORMATION process_{};
};

// Polls `test`, with this thread's messages pumped, until it holds or
// `seconds` pass; returns its last answer.
template <typename Test>
bool Eventually(Test test, double seconds = 20) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        if (test()) return true;
        if (static_cast<LONG>(::GetTickCount() - end) >= 0) return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        ::Sleep(50);
    }
}

// Real input as the user gives it, through the system's input queue: it
// reaches whatever window is under the pointer.
void Mouse(DWORD flags, int screenX = 0, int screenY = 0);
void MouseClick(int screenX, int screenY, bool right = false);
void KeyPress(WORD virtualKey);
void TypeText(const std::string& text);

// Real input through the X display Wine draws on: runs the Unix program
// xdotool with these arguments (Wine starts Unix programs too) and waits,
// at most `seconds`, until it has ended.  True when it ran and succeeded.
// Screen coordinates are the X display's: Wine's windows sit where Windows
// says they are when there is no window manager.
bool Xdotool(const std::string& arguments, double seconds = 15);

}  // namespace e2e
