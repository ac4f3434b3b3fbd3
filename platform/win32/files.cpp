#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>


#include "platform/win32/internal.h"

namespace qm::win32 {
namespace {

// Read in pieces so that a large limit does not mean a large allocation.
constexpr DWORD kFileChunk = 64 * 1024;
// A profile file is copied whole before a write; one larger than this is
// written in place by the profile functions, as they would anyway.
constexpr std::size_t kProfileCopyBytes = 64u << 20;

// Writes the bytes to a file made anew and flushes them; on failure `failed`
// names the call.
bool WriteWhole(const char* path, const std::string& bytes, const char*& failed) {
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    failed = "CreateFileA";
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kFileChunk, bytes.size() - done));
        DWORD wrote = 0;
        ok = ::WriteFile(file, bytes.data() + done, want, &wrote, nullptr) && wrote == want;
        done += wrote;
        failed = "WriteFile";
    }
    if (ok && !(ok = ::FlushFileBuffers(file) != FALSE)) failed = "FlushFileBuffers";
    if (!::CloseHandle(file) && ok) ok = false, failed = "CloseHandle";
    return ok;
}

// Puts a new file in the place of `path` (whose attributes are given, or
// INVALID_FILE_ATTRIBUTES when there is none): `fill` makes it under a
// temporary name beside it, then it replaces the old one, staying hidden or
// system as that was.  A write that fails at any point (a full disk, another
// program holding the file) leaves the old file as it was, never cut or
// empty, and the temporary gone.
bool PutInPlace(const std::string& path, DWORD attributes,
                const std::function<bool(const char* temp, const char*& failed)>& fill) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    if (folder.empty() || folder.back() == ':') folder = path.substr(0, slash + 1);  // a root
    char temp[MAX_PATH + 1] = {};
    if (!::GetTempFileNameA(folder.c_str(), "qm", 0, temp)) {
        ReportFailure("GetTempFileNameA", path, ::GetLastError());
        return false;
    }
    const char* failed = "";
    bool ok = fill(temp, failed);
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (ok && attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) &&
        !(ok = ::SetFileAttributesA(temp, attributes & kKept) != FALSE))
        failed = "SetFileAttributesA";
    if (ok && !(ok = ::MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE))
        failed = "MoveFileExA";
    if (ok) return true;
    ReportFailure(failed, path, ::GetLastError());
    ::SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(temp);
    return false;
}

// Asked first, not left to the write: under Wine a program run by root
// would write a read-only file all the same.
bool Refused(const std::string& path, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    ReportFailure("WriteFile", path, ERROR_ACCESS_DENIED);
    return true;
}

}  // namespace

// ---- profile strings -------------------------------------------------------------

std::string Win32Platform::GetProfileString(const std::string& section, const std::string& key,
                                            const std::string& path, int bufferSize) {
    // An empty path would name a file in the Windows folder.
    if (path.empty() || HasZeroByte(path)) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.get(),
                                               static_cast<DWORD>(bufferSize), path.c_str());
    buffer[bufferSize - 1] = '\0';
    return std::string(buffer.get(), std::min<std::size_t>(n, ::strnlen(buffer.get(), bufferSize)));
}

bool Win32Platform::WriteProfileString(const std::string& section, const std::string& key,
                                       const std::string& value, const std::string& path) {
    if (path.empty() || HasZeroByte(path)) return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (Refused(path, attributes)) return false;
    // The profile functions rewrite a file in place: a write that broke
    // midway would cut it.  An existing one is copied, the copy written and
    // put in its place.  A file that cannot be read is not rewritten from
    // nothing.
    std::optional<std::string> old;
    if (attributes != INVALID_FILE_ATTRIBUTES && !(old = ReadFile(path, kProfileCopyBytes))) return false;
    const bool copied = old && old->size() < kProfileCopyBytes;
    if (copied)
        return PutInPlace(path, attributes, [&](const char* temp, const char*& failed) {
            if (!WriteWhole(temp, *old, failed)) return false;
            failed = "WritePrivateProfileStringA";
            if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), temp)) return false;
            ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp);  // out of any cache, onto the disk
            return true;
        });
    if (::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str())) return true;
    ReportFailure("WritePrivateProfileStringA", path, ::GetLastError());
    return false;
}

// ---- files ---------------------------------------------------------------------------------

std::string Win32Platform::ProgramFolder() {
    // XP fills a buffer that is too small without terminating it: grow
    // until the name fits with room to spare.
    std::string path;
    for (DWORD size = MAX_PATH;; size *= 2) {
        if (size > 65536) return "";
        path.assign(size, '\0');
        const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), size);
        if (n == 0) return "";
        if (n < size) {
            path.resize(n);
            break;
        }
    }
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Win32Platform::SystemFolder() { return "c:\\windows\\system"; }

std::string Win32Platform::UserDataFolder() {
    using FolderFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    const auto folderPath = SystemFunction<FolderFunction>("shell32.dll", "SHGetFolderPathA");
    char path[MAX_PATH + 1] = {};
    if (!folderPath || FAILED(folderPath(nullptr, CSIDL_APPDATA, nullptr, 0, path))) return "";
    std::string folder(path, ::strnlen(path, sizeof path));
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

bool Win32Platform::CreateFolder(const std::string& path) {
    if (path.empty() || HasZeroByte(path)) return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0 && path[slash - 1] != ':') CreateFolder(path.substr(0, slash));
    return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool Win32Platform::DeleteFile(const std::string& path) {
    if (path.empty() || HasZeroByte(path)) return false;
    return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Platform::FileExists(const std::string& path) {
    if (path.empty() || HasZeroByte(path)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    // A name with wildcards matches several entries; any plain file will do.
    bool plain = false;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY))) {
            plain = true;
            break;
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return plain;
}

std::optional<std::string> Win32Platform::ReadFile(const std::string& path, std::size_t maxBytes) {
    if (path.empty() || HasZeroByte(path)) return std::nullopt;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    bool ok = true;
    while (bytes.size() < maxBytes) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kFileChunk, maxBytes - bytes.size()));
        const std::size_t at = bytes.size();
        bytes.resize(at + want);
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + at, want, &got, nullptr)) {
            ok = false;
            break;
        }
        bytes.resize(at + got);
        if (got == 0) break;
    }
    ::CloseHandle(file);
    if (!ok) return std::nullopt;
    return bytes;
}

bool Win32Platform::WriteFile(const std::string& path, const std::string& bytes) {
    if (path.empty() || HasZeroByte(path)) return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (Refused(path, attributes)) return false;
    return PutInPlace(path, attributes,
                      [&](const char* temp, const char*& failed) { return WriteWhole(temp, bytes, failed); });
}
}  // namespace qm::win32
