// quillmoor.exe must start on Windows XP, whose KERNEL32 has no
// GetTickCount64.  The threading runtime that libstdc++ links statically
// (winpthreads, for the guards of function-local statics) imports it for its
// timed waits.  Defining the import slot here, in an object linked into the
// executable itself, resolves that reference before the import library is
// searched, so the loader never looks for the function.
#include "platform/win32/win32_api.h"

namespace {

// Milliseconds on the performance counter: 64 bits wide and never wrapping,
// which is all the runtime asks of GetTickCount64.
ULONGLONG WINAPI TickCount64() {
    LARGE_INTEGER frequency, counter;
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&counter))
        return ::GetTickCount();
    const ULONGLONG f = static_cast<ULONGLONG>(frequency.QuadPart), c = static_cast<ULONGLONG>(counter.QuadPart);
    return c / f * 1000 + c % f * 1000 / f;
}

}  // namespace

#if defined(__i386__)
#define QM_IMPORT_SLOT "__imp__GetTickCount64@0"
#else
#define QM_IMPORT_SLOT "__imp_GetTickCount64"
#endif

extern "C" {
extern ULONGLONG(WINAPI* const qmGetTickCount64Slot)() __asm__(QM_IMPORT_SLOT);
ULONGLONG(WINAPI* const qmGetTickCount64Slot)() = &TickCount64;
}
