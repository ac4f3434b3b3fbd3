/* The yardstick: the least a Win32 window program does.  It registers a
   class, shows one window and waits in GetMessage until it is closed. */
#include <windows.h>

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    WNDCLASSA cls;
    HWND hwnd;
    MSG msg;
    (void)previous;
    (void)commandLine;
    ZeroMemory(&cls, sizeof cls);
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    cls.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    cls.lpszClassName = "QmBenchMinimal";
    if (!RegisterClassA(&cls)) return 1;
    hwnd = CreateWindowExA(0, cls.lpszClassName, "qm bench minimal", WS_OVERLAPPEDWINDOW, 600, 400, 160, 80, NULL,
                           NULL, instance, NULL);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
