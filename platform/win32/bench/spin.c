/* The other yardstick: a window program that never waits.  It polls with
   PeekMessage in a loop for the seconds given (default 60), then ends. */
#include <stdlib.h>
#include <windows.h>

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    WNDCLASSA cls;
    HWND hwnd;
    MSG msg;
    DWORD start, seconds = 60;
    (void)previous;
    if (commandLine && *commandLine) seconds = (DWORD)strtoul(commandLine, NULL, 10);
    ZeroMemory(&cls, sizeof cls);
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = "QmBenchSpin";
    if (!RegisterClassA(&cls)) return 1;
    hwnd = CreateWindowExA(0, cls.lpszClassName, "qm bench spin", WS_OVERLAPPEDWINDOW, 600, 500, 160, 80, NULL, NULL,
                           instance, NULL);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    start = GetTickCount();
    while (GetTickCount() - start < seconds * 1000) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(hwnd);
    return 0;
}
