# The 64-bit twin of the Windows build: the same programs and tests, for
# running under Wine on machines that cannot execute 32-bit code.
set(QM_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
