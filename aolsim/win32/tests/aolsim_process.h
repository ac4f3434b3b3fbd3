// aolsim.exe as a test sees it: a separate process started with a scene,
// driven through its control window, ended at the end of the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "aolsim/control.h"

namespace aolsim::testing {

class AolsimProcess {
public:
    AolsimProcess() = default;
    ~AolsimProcess() { Stop(); }
    AolsimProcess(const AolsimProcess&) = delete;
    AolsimProcess& operator=(const AolsimProcess&) = delete;

    // Starts aolsim.exe with the script as its command line and waits for
    // its control window; false when it did not come up.  `program` is the
    // path of aolsim.exe; "" means beside this test program.
    bool Start(const std::string& script, const std::string& program = "");
    // Talks to an aolsim.exe that already runs (the first one found) without
    // owning it: Stop leaves it running.  False when none runs.
    bool Attach();
    // Runs a script in aolsim; a failed delivery reads as not ok.
    control::Result Run(const std::string& script);
    // The records a query writes.
    std::vector<std::vector<std::string>> Records(const std::string& query);
    // The first field of each record.
    std::vector<std::string> Column(const std::string& query);
    // Ends aolsim at once, as a crash would, and waits for it to be gone.
    void Stop();
    bool Running();
    // The exit code once it ended; STILL_ACTIVE while it runs.
    DWORD ExitCode();
    HWND Channel() const { return channel_; }
    DWORD ProcessId() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
    HWND channel_ = nullptr;
    HWND reply_ = nullptr;
};

// Polls `test` (with the message queue pumped) until it holds or `seconds`
// pass; returns its last answer.
template <typename Test>
bool WaitUntil(Test test, double seconds = 10) {
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        if (test()) return true;
        if (static_cast<LONG>(GetTickCount() - end) >= 0) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
}

}  // namespace aolsim::testing
