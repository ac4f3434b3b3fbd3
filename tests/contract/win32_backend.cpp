// The contract suites on Windows' own profile functions, in fresh folders
// inside a folder of this run's own under the temporary folder, removed with
// what the tests put there when the run ends.
#include "platform/win32/win32_platform.h"
#include "tests/contract/contract_backend.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace qm::contract {

Platform& TestPlatform() {
    static win32::Win32Platform platform("quillmoor idle contract");
    return platform;
}

// Each folder must be new: nothing of anyone else's is ever inside.
std::string NewFolder(const std::string& name) {
    static int count = 0;
    static std::string run;
    auto make = [](const std::string& folder) {
        if (!::CreateDirectoryA(folder.c_str(), nullptr)) std::abort();
        return folder;
    };
    if (run.empty()) {
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        run = make(std::string(temp) + "qm-contract-" + std::to_string(::GetCurrentProcessId()) + "-" +
                   std::to_string(::GetTickCount()));
        std::atexit([] {
            const std::string from = run + '\0';  // a list of paths, ended by an empty one
            SHFILEOPSTRUCTA remove{};
            remove.wFunc = FO_DELETE;
            remove.pFrom = from.c_str();
            remove.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
            ::SHFileOperationA(&remove);
        });
    }
    return make(run + "\\" + name + "-" + std::to_string(++count));
}

}  // namespace qm::contract
