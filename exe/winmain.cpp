// quillmoor.exe: the program on the real platform.
#include "program/program.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qm::win32::Win32Platform platform;
    qm::Program program(platform);
    if (!program.Start()) return 0;
    platform.RunMessageLoop();
    return 0;
}
