#include "tests/e2e/quillmoor_process.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace e2e {

std::string& QuillmoorExe() {
    static std::string exe;
    return exe;
}

HWND WindowOf(DWORD pid, const char* cls, const char* caption, bool shown) {
    for (HWND h = ::FindWindowExA(nullptr, nullptr, cls, caption); h; h = ::FindWindowExA(nullptr, h, cls, caption)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == pid && (!shown || ::IsWindowVisible(h))) return h;
    }
    return nullptr;
}

QuillmoorProcess::QuillmoorProcess() {
    Eventually([] { return !::FindWindowA("quillmoorForm", nullptr); });
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof temp, temp);
    static int made = 0;
    folder_ = std::string(temp) + "qm-e2e-" + std::to_string(::GetCurrentProcessId()) + "-" +
              std::to_string(::GetTickCount()) + "-" + std::to_string(++made);
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    exe_ = folder_ + "\\quillmoor.exe";
    ::CopyFileA(QuillmoorExe().c_str(), exe_.c_str(), FALSE);
}

QuillmoorProcess::~QuillmoorProcess() {
    Stop();
    for (const char* name : {"quillmoor.exe", "quillmoor.dat", "quillmoor.rea"}) {
        const std::string path = folder_ + "\\" + name;
        for (int i = 0; i < 50 && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
            if (::DeleteFileA(path.c_str())) break;
            ::Sleep(100);  // a process that just ended may still hold it
        }
    }
    ::RemoveDirectoryA(folder_.c_str());
}

void QuillmoorProcess::WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ + "\\" + name, std::ios::binary | std::ios::trunc) << bytes;
}

std::optional<std::string> QuillmoorProcess::ReadFile(const std::string& name) const {
    std::ifstream file(folder_ + "\\" + name, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool QuillmoorProcess::Start() {
    Stop();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + exe_ + "\"";
    if (!::CreateProcessA(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                          &process_))
        return false;
    return Eventually([&] { return MainWindow() != nullptr || !Running(); }, 60) && MainWindow() != nullptr;
}

HWND QuillmoorProcess::MainWindow() const { return FindOwnWindow("quillmoorForm", "quillmoor idle by dorwick"); }

HWND QuillmoorProcess::OpenMenu(const std::function<RECT()>& where, int button) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        RECT r{8, 24, 25, 41};  // the menu button, in the main window's client area
        if (where) r = where();
        else ::MapWindowPoints(MainWindow(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        if (Xdotool(MoveTo(r) + " click " + std::to_string(button)) &&
            Eventually([&] { return FindOwnWindow("#32768") != nullptr; }, 5))
            return FindOwnWindow("#32768");
    }
    return nullptr;
}

bool QuillmoorProcess::Running() const {
    return process_.hProcess && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool QuillmoorProcess::WaitForEnd(double seconds) {
    return process_.hProcess &&
           ::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
}

DWORD QuillmoorProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess) ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void QuillmoorProcess::Stop() {
    if (!process_.hProcess) return;
    if (Running()) ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 20000);
    ::CloseHandle(process_.hProcess);
    ::CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
}

std::string MoveTo(const RECT& r) {
    return "mousemove " + std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
}

bool Xdotool(const std::string& arguments, double seconds) {
    // Wine gives no handle of a Unix process to wait on: the shell leaves
    // xdotool's exit code in a file of the Unix temporary folder instead.
    static int runs = 0;
    const std::string mark =
        "/tmp/qm-xdotool-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++runs);
    std::string windowsMark = "Z:" + mark;
    std::replace(windowsMark.begin(), windowsMark.end(), '/', '\\');
    ::DeleteFileA(windowsMark.c_str());
    std::string command = "/bin/sh -c \"xdotool " + arguments + "; echo $? > " + mark + ".part && mv " + mark +
                          ".part " + mark + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    std::optional<std::string> code;
    Eventually([&] {
        std::ifstream file(windowsMark);
        std::string line;
        if (file && std::getline(file, line)) code = line;
        return code.has_value();
    }, seconds);
    ::DeleteFileA(windowsMark.c_str());
    return code == "0";
}

}  // namespace e2e
