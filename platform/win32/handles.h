// Window and menu handles across the seam: the seam's handles are 32 bits
// wide.  Window and menu handles of Win64 are 32-bit values sign-extended, so
// the round trip is exact on both builds.  Shared by the backend and by
// aolsim.exe.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>

namespace qm::win32 {

inline std::uint32_t ToSeam(HWND h) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)); }
inline HWND ToHwnd(std::uint32_t h) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h)));
}
inline std::uint32_t ToSeamMenu(HMENU h) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)); }
inline HMENU ToHmenu(std::uint32_t h) {
    return reinterpret_cast<HMENU>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h)));
}

}  // namespace qm::win32
