// The few pieces of the C++ runtime that quillmoor.exe would otherwise link
// from libstdc++ together with far larger ones they drag along.  The program
// catches no exception: whatever the library would throw ends the program,
// so here it ends it at once.  Linked into quillmoor.exe only; the tests keep
// the library's own.
//
// - The library's error throwers build std::logic_error and its kin, which
//   link the copy-on-write string and std::random_device (about 70 KB).
// - The default terminate handler prints the demangled type of the exception
//   to stderr, which a GUI program does not have (the demangler is 46 KB).
#include <cstdlib>
#include <exception>

namespace {
[[noreturn]] void End() { std::abort(); }
}  // namespace

namespace std {
void __throw_bad_alloc() { End(); }
void __throw_bad_array_new_length() { End(); }
void __throw_bad_function_call() { End(); }
void __throw_length_error(const char*) { End(); }
void __throw_logic_error(const char*) { End(); }
void __throw_out_of_range(const char*) { End(); }
void __throw_out_of_range_fmt(const char*, ...) { End(); }
void __throw_invalid_argument(const char*) { End(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { End(); }
}  // namespace __gnu_cxx

namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = &End;
}  // namespace __cxxabiv1
