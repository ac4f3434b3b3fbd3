// The contract suites on the real platform: Windows' own profile functions,
// in fresh folders inside a folder of this run's own under the temporary
// folder, which goes, with what the tests put there, when the run ends.
#include "platform/win32/win32_platform.h"
#include "tests/contract/contract_backend.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qm::contract {
namespace {

std::string g_runFolder;

// Removes a folder this run made, with what the tests put in it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(search, &found)) {
        const std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
        } else {
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
        }
    }
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    ::RemoveDirectoryA(folder.c_str());
}

// Makes the folder, which must be new: nothing of anyone else's is ever inside.
void MakeFolder(const std::string& folder) {
    if (::CreateDirectoryA(folder.c_str(), nullptr)) return;
    std::fprintf(stderr, "cannot make the folder %s\n", folder.c_str());
    std::abort();
}

}  // namespace

Platform& TestPlatform() {
    static win32::Win32Platform platform("quillmoor idle contract");
    return platform;
}

std::string NewFolder(const std::string& name) {
    static int count = 0;
    if (g_runFolder.empty()) {
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        g_runFolder = std::string(temp) + "qm-contract-" + std::to_string(::GetCurrentProcessId()) + "-" +
                      std::to_string(::GetTickCount());
        MakeFolder(g_runFolder);
        std::atexit([] { RemoveTree(g_runFolder); });
    }
    const std::string folder = g_runFolder + "\\" + name + "-" + std::to_string(++count);
    MakeFolder(folder);
    return folder;
}

}  // namespace qm::contract
