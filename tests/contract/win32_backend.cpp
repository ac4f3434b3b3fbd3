// The contract suites on the real platform: Windows' own profile functions
// and files, in fresh folders inside a folder of this run's own under the
// temporary folder (removed with what the tests put there when the run
// ends); real windows of classes registered here, on this thread or on a
// second one that pumps its own messages; real menus.
#include "platform/win32/win32_platform.h"
#include "tests/contract/contract_backend.h"

#include "platform/text.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace qm::contract {
namespace {

using win32::ToHwnd;
using win32::ToSeam;
using win32::ToSeamMenu;

// Messages of the test windows' own.
constexpr UINT kBlock = WM_APP + 1;    // wparam: milliseconds to stay inside the handler
constexpr UINT kDestroy = WM_APP + 2;  // destroyed by its own thread
constexpr UINT kMake = WM_APP + 3;     // to the other thread's control window; lparam: MakeRequest
constexpr UINT kUnmake = WM_APP + 4;   // to the control window; wparam: a window of its thread to destroy
constexpr char kControlClass[] = "QmContractControl";
constexpr UINT kExLimitText = WM_USER + 53;  // EM_EXLIMITTEXT of richedit.h

struct MakeRequest {
    const char* cls;
    const char* text;
    HWND parent;
    DWORD style = 0;  // 0: as the test windows are
    int width = 50;
};

std::mutex g_lock;  // the records are written by both threads
std::map<HWND, std::vector<std::string>> g_records;
HANDLE g_blocked = nullptr;  // set once a block has begun
std::vector<std::string> g_attributed;  // paths whose attributes must go before they can be removed

void Record(HWND window, std::string heard) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_records[window].push_back(std::move(heard));
}

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == kBlock) {
        Record(hwnd, "busy");
        ::SetEvent(g_blocked);
        ::Sleep(static_cast<DWORD>(wparam));
        Record(hwnd, "free");
        return 0;
    }
    if (msg == kDestroy) return ::DestroyWindow(hwnd), 0;
    const std::string text = msg == WM_SETTEXT && lparam ? reinterpret_cast<const char*>(lparam) : "";
    const std::string heard = Heard(static_cast<Msg>(msg), static_cast<std::uint32_t>(wparam), text);
    if (!heard.empty()) Record(hwnd, heard);
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

HWND Create(const MakeRequest& request) {
    const DWORD style = request.style ? request.style : request.parent ? WS_CHILD : WS_POPUP;
    return ::CreateWindowExA(0, request.cls, request.text, style, 0, 0, request.width, 200, request.parent, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == kUnmake) return ::DestroyWindow(reinterpret_cast<HWND>(wparam)), 0;
    if (msg != kMake) return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    return reinterpret_cast<LRESULT>(Create(*reinterpret_cast<const MakeRequest*>(lparam)));
}

void Register(const char* cls, WNDPROC proc) {
    static std::set<std::string> registered;
    if (!registered.insert(cls).second) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    if (!::RegisterClassA(&wc)) std::abort();
}

// The other thread's hidden window that makes windows for it.
HWND OtherThreadControl() {
    static HWND control = [] {
        Register(kControlClass, ControlProc);
        g_blocked = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HWND made = nullptr;
        std::thread([&made, ready] {
            made = ::CreateWindowExA(0, kControlClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
            ::SetEvent(ready);
            MSG msg;
            while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {  // as a program's message loop
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }).detach();
        ::WaitForSingleObject(ready, INFINITE);
        ::CloseHandle(ready);
        if (!made) std::abort();
        return made;
    }();
    return control;
}

bool OnThisThread(HWND window) { return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId(); }

HMENU MenuOf(const std::vector<MenuEntry>& items, HMENU menu) {
    for (const MenuEntry& e : items) {
        if (e.separator)
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else if (!e.submenu.empty())
            ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(MenuOf(e.submenu, ::CreatePopupMenu())),
                          e.text.c_str());
        else
            ::AppendMenuA(menu, MF_STRING, e.id, e.text.c_str());
    }
    return menu;
}

}  // namespace

Platform& TestPlatform() {
    static win32::Win32Platform platform("quillmoor idle contract");
    return platform;
}

// Each folder must be new: nothing of anyone else's is ever inside.
std::string NewFolder(const std::string& name) {
    static int count = 0;
    static std::string run;
    auto make = [](const std::string& folder) {
        if (!::CreateDirectoryA(folder.c_str(), nullptr)) std::abort();
        return folder;
    };
    if (run.empty()) {
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        run = make(std::string(temp) + "qm-contract-" + std::to_string(::GetCurrentProcessId()) + "-" +
                   std::to_string(::GetTickCount()));
        std::atexit([] {
            for (const std::string& path : g_attributed) ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const std::string from = run + '\0';  // a list of paths, ended by an empty one
            SHFILEOPSTRUCTA remove{};
            remove.wFunc = FO_DELETE;
            remove.pFrom = from.c_str();
            remove.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
            ::SHFileOperationA(&remove);
        });
    }
    return make(run + "\\" + name + "-" + std::to_string(++count));
}

std::string MakeFile(const std::string& path, const std::string& bytes, FileKind kind) {
    if (kind == FileKind::Folder) {
        if (!::CreateDirectoryA(path.c_str(), nullptr)) std::abort();
        return path;
    }
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) || wrote != bytes.size())
        std::abort();
    ::CloseHandle(file);
    const DWORD attributes = kind == FileKind::ReadOnly ? FILE_ATTRIBUTE_READONLY
                             : kind == FileKind::Hidden ? FILE_ATTRIBUTE_HIDDEN
                             : kind == FileKind::System ? FILE_ATTRIBUTE_SYSTEM
                                                        : FILE_ATTRIBUTE_NORMAL;
    if (attributes != FILE_ATTRIBUTE_NORMAL) {
        ::SetFileAttributesA(path.c_str(), attributes);
        g_attributed.push_back(path);
    }
    return path;
}

namespace {
std::map<std::string, HANDLE> g_held;
}  // namespace

void HoldFile(const std::string& path, Hold how) {
    const DWORD share = how == Hold::Locked ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) std::abort();
    g_held[path] = file;
}

void ReleaseFile(const std::string& path) {
    auto it = g_held.find(path);
    if (it == g_held.end()) return;
    ::CloseHandle(it->second);
    g_held.erase(it);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Wine says so through an export of its own.
std::vector<Host> Hosts() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const bool wine = ntdll && ::GetProcAddress(ntdll, "wine_get_version");
    return {wine ? Host::Wine : Host::Windows};
}

void BehaveAs(Host host) {
    if (host != Hosts().front()) std::abort();  // this one behaves only as what it runs on
}

Hwnd MakeWindow(const std::string& cls, const std::string& text, Hwnd parent, Thread thread) {
    Register(cls.c_str(), RecorderProc);
    const HWND owner = ToHwnd(parent);
    const MakeRequest request{cls.c_str(), text.c_str(), owner};
    HWND made;
    if (parent ? OnThisThread(owner) : thread == Thread::This)
        made = Create(request);
    else
        made = reinterpret_cast<HWND>(
            ::SendMessageA(OtherThreadControl(), kMake, 0, reinterpret_cast<LPARAM>(&request)));
    if (!made) std::abort();
    std::lock_guard<std::mutex> lock(g_lock);
    g_records[made].clear();  // a handle may be one of a window gone before
    return ToSeam(made);
}

Hwnd MakeTextControl(TextControl kind, const std::string& text, int width) {
    static const bool richEdit = ::LoadLibraryA("riched20.dll") != nullptr;
    if (kind == TextControl::RichEdit && !richEdit) std::abort();
    // Multi-line, wrapping at the window's edge (no horizontal scrolling).
    const MakeRequest request{kind == TextControl::Edit ? "EDIT" : "RichEdit20A", "", nullptr,
                              WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL, width};
    HWND made = reinterpret_cast<HWND>(
        ::SendMessageA(OtherThreadControl(), kMake, 0, reinterpret_cast<LPARAM>(&request)));
    if (!made) std::abort();
    // Past the default limits of both controls.
    ::SendMessageA(made, kind == TextControl::Edit ? EM_SETLIMITTEXT : kExLimitText, 0, 0x7FFFFFFE);
    ::SendMessageA(made, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return ToSeam(made);
}

void DestroyWindow(Hwnd window) {
    const HWND h = ToHwnd(window);
    if (!::IsWindow(h)) return;
    char cls[32] = {};
    ::GetClassNameA(h, cls, sizeof cls);
    const bool system = EqualsNoCase(cls, "Edit") || EqualsNoCase(cls, "RichEdit20A");  // no kDestroy there
    if (OnThisThread(h))
        ::DestroyWindow(h);
    else if (system)
        ::SendMessageA(OtherThreadControl(), kUnmake, reinterpret_cast<WPARAM>(h), 0);
    else
        ::SendMessageA(h, kDestroy, 0, 0);  // waits while its thread is busy
}

std::vector<std::string> Received(Hwnd window) {
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = g_records.find(ToHwnd(window));
    return it == g_records.end() ? std::vector<std::string>{} : it->second;
}

void BlockOtherThread(Hwnd window, double seconds) {
    const HWND h = ToHwnd(window);
    if (OnThisThread(h)) std::abort();  // it would block the tests themselves
    OtherThreadControl();
    ::PostMessageA(h, kBlock, static_cast<WPARAM>(seconds * 1000), 0);
    if (::WaitForSingleObject(g_blocked, 10000) != WAIT_OBJECT_0) std::abort();
}

Hmenu MakeMenu(const std::vector<MenuEntry>& items, Hwnd window) {
    const HMENU menu = MenuOf(items, ::CreateMenu());
    if (window) ::SetMenu(ToHwnd(window), menu);
    return ToSeamMenu(menu);
}

}  // namespace qm::contract
