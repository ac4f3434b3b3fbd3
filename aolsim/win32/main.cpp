// aolsim.exe: the stand-in AOL client as a Windows program.
//
//   aolsim.exe start 8.0; signon "Joe Blow"; room Lobby
//
// The command line is the first script (control.h); without one it shows a
// signed-on 8.0 client in a room.  Later scripts come through the control
// window (README.md).  Exit code: 0 after "vanish" or a closed main window,
// 1 when the windows could not be made, 2 when the command line's script
// failed.
#include <windows.h>

#include <string>

#include "aolsim/client.h"
#include "aolsim/control.h"
#include "aolsim/win32/win32_host.h"

namespace {

aolsim::Client* g_client = nullptr;

LRESULT OnCopyData(HWND hwnd, HWND replyTo, const COPYDATASTRUCT* data) {
    namespace control = aolsim::control;
    if (!g_client || !data || data->dwData != control::kScriptTag || data->cbData > control::kMaxScript ||
        (data->cbData > 0 && !data->lpData))
        return 0;
    std::string script(static_cast<const char*>(data->lpData), data->cbData);
    control::Result result = control::Run(*g_client, script);
    if (replyTo && IsWindow(replyTo)) {
        std::string reply = control::Reply(result);
        COPYDATASTRUCT out{control::kReplyTag, static_cast<DWORD>(reply.size()), reply.data()};
        DWORD_PTR ignored = 0;
        // Not SMTO_ABORTIFHUNG: a test that slept a while without pumping
        // counts as hung and would lose its reply; the bound is enough.
        SendMessageTimeoutA(replyTo, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&out),
                            SMTO_NORMAL, 5000, &ignored);
    }
    return result.ok ? control::kAnswerOk : control::kAnswerFailed;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_COPYDATA)
        return OnCopyData(hwnd, reinterpret_cast<HWND>(wparam), reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    aolsim::win32::Win32Host host(instance);
    if (!host.Init()) return 1;
    aolsim::Client client(host);
    g_client = &client;

    std::string script = commandLine ? commandLine : "";
    if (Blank(script)) script = "start 8.0; signon \"Joe Blow\"; room Lobby";
    if (!aolsim::control::Run(client, script).ok) {
        g_client = nullptr;
        return 2;
    }

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ControlProc;
    wc.hInstance = instance;
    wc.lpszClassName = aolsim::control::kChannelClass;
    if (!RegisterClassExA(&wc)) return 1;
    std::string caption = aolsim::control::ChannelCaption(GetCurrentProcessId());
    // Made once the first scene is set, so that a test that finds it finds
    // the scene too; hidden and top-level, for FindWindowA in another process.
    HWND channel = CreateWindowExA(WS_EX_TOOLWINDOW, aolsim::control::kChannelClass, caption.c_str(), WS_POPUP, 0, 0,
                                   0, 0, nullptr, nullptr, instance, nullptr);
    if (!channel) return 1;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_client = nullptr;
    DestroyWindow(channel);
    return 0;
}
