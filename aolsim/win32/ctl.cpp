// aolsimctl.exe: runs a script in the aolsim.exe that runs now and prints its
// reply, for people and scripts outside a test program.
//
//   aolsimctl.exe "disconnect status; state"
//
// Exit code: 0 when the script ran, 1 when it stopped at a failing command,
// 2 when no aolsim.exe answered.
#include <windows.h>

#include <cstdio>
#include <string>

#include "aolsim/win32/tests/aolsim_process.h"

int main(int argc, char** argv) {
    std::string script;
    for (int i = 1; i < argc; ++i) script += (i > 1 ? " " : "") + std::string(argv[i]);
    aolsim::testing::AolsimProcess aolsim;
    if (!aolsim.Attach()) {
        std::fputs("no aolsim.exe runs here\n", stderr);
        return 2;
    }
    const aolsim::control::Result result = aolsim.Run(script);
    std::fputs(aolsim::control::Reply(result).c_str(), stdout);
    if (!result.ok && result.error == "no answer from aolsim") return 2;
    return result.ok ? 0 : 1;
}
