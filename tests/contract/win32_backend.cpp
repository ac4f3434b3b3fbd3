// The profile contract on the real platform: Windows' own profile functions,
// in fresh folders under the temporary folder.  Each run makes its own parent
// folder and removes that one alone when it ends.
#include "platform/win32/win32_platform.h"
#include "tests/contract/contract_backend.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qm::contract {
namespace {

// Removes a folder this run made, with what the tests put in it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

std::string& RunFolder() {
    static std::string folder;
    return folder;
}

void RemoveRunFolder() {
    if (!RunFolder().empty()) RemoveTree(RunFolder());
}

// A folder for this run that did not exist before: nothing of anyone else's
// is ever inside it.
const std::string& MakeRunFolder() {
    std::string& folder = RunFolder();
    if (!folder.empty()) return folder;
    char temp[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    std::string base = (n > 0 && n < sizeof temp) ? std::string(temp, n) : std::string("C:\\");
    if (!base.empty() && base.back() == '\\') base.pop_back();
    for (unsigned attempt = 0;; ++attempt) {
        std::string candidate = base + "\\qm-contract-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(::GetTickCount()) + "-" + std::to_string(attempt);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            folder = candidate;
            std::atexit(RemoveRunFolder);
            return folder;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS || attempt > 1000) {
            std::fprintf(stderr, "cannot make a folder under %s\n", base.c_str());
            std::abort();
        }
    }
}

}  // namespace

Platform& TestPlatform() {
    static win32::Win32Platform platform("quillmoor idle contract");
    return platform;
}

std::string NewFolder(const std::string& name) {
    static int count = 0;
    const std::string folder = MakeRunFolder() + "\\" + name + "-" + std::to_string(++count);
    if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
        std::fprintf(stderr, "cannot make the folder %s\n", folder.c_str());
        std::abort();
    }
    return folder;
}

}  // namespace qm::contract
