/* The benchmark's helper inside Wine (a console program):
     probe startup N EXE CAPTION [EXE CAPTION ...]
       starts each program N times, alternating, and prints for each start
       "startup INDEX MILLISECONDS": the time from CreateProcess until a
       visible top-level window of that caption exists (QueryPerformanceCounter);
       the program is ended after each start.
     probe tick SECONDS
       posts WM_TIMER 1 to quillmoor's hidden "Form2" window every 50 ms for
       SECONDS: its idle clock, whose timer that is, counts a minute on each
       tick it takes and, at interval 1, announces.  (FindWindow sees only the
       windows of this Wine prefix, the benchmark's own.) */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static double Seconds(void) {
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

static HWND Shown(const char* caption) {
    HWND hwnd = FindWindowA(NULL, caption);
    return hwnd && IsWindowVisible(hwnd) ? hwnd : NULL;
}

static int Startup(int times, int count, char** args) {
    int i, t;
    for (i = 0; i < times; ++i) {
        for (t = 0; t < count; ++t) {
            const char* exe = args[2 * t];
            const char* caption = args[2 * t + 1];
            char commandLine[MAX_PATH + 3];
            STARTUPINFOA si;
            PROCESS_INFORMATION pi;
            double start, end, bound;
            HWND hwnd = NULL;
            ZeroMemory(&si, sizeof si);
            si.cb = sizeof si;
            snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
            /* The one before must be gone: a second quillmoor would end at once. */
            for (bound = Seconds() + 20; Shown(caption) && Seconds() < bound;) Sleep(10);
            start = Seconds();
            if (!CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
                fprintf(stderr, "probe: cannot start %s (%lu)\n", exe, GetLastError());
                return 1;
            }
            for (bound = start + 60; !(hwnd = Shown(caption)) && Seconds() < bound;) Sleep(1);
            end = Seconds();
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 20000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            if (!hwnd) {
                fprintf(stderr, "probe: no window \"%s\" within 60 s\n", caption);
                return 1;
            }
            printf("startup %d %.3f\n", t, (end - start) * 1000.0);
            fflush(stdout);
        }
    }
    return 0;
}

static int Tick(double seconds) {
    HWND helper = FindWindowA("quillmoorHelper", "Form2");
    double end;
    if (!helper) {
        fprintf(stderr, "probe: no quillmoor running\n");
        return 1;
    }
    for (end = Seconds() + seconds; Seconds() < end;) {
        PostMessageA(helper, WM_TIMER, 1, 0);
        Sleep(50);
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 5 && strcmp(argv[1], "startup") == 0 && argc % 2 == 1)
        return Startup(atoi(argv[2]), (argc - 3) / 2, argv + 3);
    if (argc == 3 && strcmp(argv[1], "tick") == 0) return Tick(atof(argv[2]));
    fprintf(stderr, "usage: probe startup N EXE CAPTION [EXE CAPTION ...] | probe tick SECONDS\n");
    return 2;
}
