#include "aolsim/win32/tests/aolsim_process.h"

namespace aolsim::testing {

namespace {

std::string g_reply;
bool g_replied = false;

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_COPYDATA) {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        if (!data || data->dwData != control::kReplyTag) return FALSE;
        g_reply.assign(static_cast<const char*>(data->lpData), data->cbData);
        g_replied = true;
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

HWND MakeReplyWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ReplyProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "AolsimReply";
        registered = RegisterClassExA(&wc) != 0;
    }
    return CreateWindowExA(0, "AolsimReply", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

std::string Beside(const char* file) {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + file;
}

}  // namespace

bool AolsimProcess::Start(const std::string& script, const std::string& program) {
    Stop();
    std::string exe = program.empty() ? Beside("aolsim.exe") : program;
    std::string commandLine = "\"" + exe + "\" " + script;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &process_))
        return false;
    std::string caption = control::ChannelCaption(process_.dwProcessId);
    bool up = WaitUntil([&] {
        channel_ = FindWindowA(control::kChannelClass, caption.c_str());
        return channel_ != nullptr || !Running();
    }, 30);
    if (!reply_) reply_ = MakeReplyWindow();
    return up && channel_ != nullptr;
}

bool AolsimProcess::Attach() {
    Stop();
    channel_ = FindWindowA(control::kChannelClass, nullptr);
    if (!reply_) reply_ = MakeReplyWindow();
    return channel_ != nullptr;
}

control::Result AolsimProcess::Run(const std::string& script) {
    control::Result failed{false, "", "no answer from aolsim"};
    if (!channel_ || !reply_) return failed;
    g_reply.clear();
    g_replied = false;
    COPYDATASTRUCT data{control::kScriptTag, static_cast<DWORD>(script.size()), const_cast<char*>(script.data())};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(channel_, WM_COPYDATA, reinterpret_cast<WPARAM>(reply_),
                             reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 20000, &answer) ||
        !g_replied)
        return failed;
    std::optional<control::Result> result = control::ReadReply(g_reply);
    if (!result) return failed;
    bool ok = answer == static_cast<DWORD_PTR>(control::kAnswerOk);
    if (ok != result->ok) return failed;
    return *result;
}

std::vector<std::vector<std::string>> AolsimProcess::Records(const std::string& query) {
    control::Result r = Run(query);
    if (!r.ok) return {{"error", r.error}};
    return control::Records(r.output);
}

std::vector<std::string> AolsimProcess::Column(const std::string& query) {
    std::vector<std::string> column;
    for (const auto& record : Records(query)) column.push_back(record.empty() ? std::string() : record[0]);
    return column;
}

bool AolsimProcess::Running() { return process_.hProcess && ExitCode() == STILL_ACTIVE; }

DWORD AolsimProcess::ExitCode() {
    DWORD code = 0;
    if (!process_.hProcess || !GetExitCodeProcess(process_.hProcess, &code)) return 0;
    return code;
}

void AolsimProcess::Stop() {
    if (process_.hProcess) {
        // Not "vanish": aolsim taking down its own shown windows costs about
        // two seconds under Wine without a window manager.
        TerminateProcess(process_.hProcess, 9);
        WaitForSingleObject(process_.hProcess, 15000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    process_ = PROCESS_INFORMATION{};
    channel_ = nullptr;
}

}  // namespace aolsim::testing
