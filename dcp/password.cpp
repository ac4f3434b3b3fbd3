#include "dcp/password.h"

#include "app/settings.h"

namespace qm::dcp {
namespace {

constexpr const char* kSection = "dcp";
constexpr const char* kKey = "PASSWORD";  // as WriteSetting writes it

}  // namespace

std::string FallbackPasswordFile(Platform& platform) {
    const std::string folder = platform.UserDataFolder();
    return folder.empty() ? std::string() : folder + "\\quillmoor\\quillmoor.pws";
}

bool StorePassword(Platform& platform, const std::string& password) {
    const std::string fallback = FallbackPasswordFile(platform);
    if (platform.WriteProfileString(kSection, kKey, password, PasswordFile(platform))) {
        // The user's copy would win over this write: it goes, and where it
        // cannot, it must agree.
        if (!fallback.empty() && platform.FileExists(fallback) && !platform.DeleteFile(fallback))
            return platform.WriteProfileString(kSection, kKey, password, fallback);
        return true;
    }
    if (fallback.empty()) return false;
    platform.CreateFolder(platform.UserDataFolder() + "\\quillmoor");
    return platform.WriteProfileString(kSection, kKey, password, fallback);
}

std::string ReadPassword(Platform& platform) {
    const std::string fallback = FallbackPasswordFile(platform);
    if (!fallback.empty() && platform.FileExists(fallback)) {
        std::string password = ReadSetting(platform, kSection, "password", fallback);
        if (!password.empty()) return password;
    }
    return ReadSetting(platform, kSection, "password", PasswordFile(platform));
}

}  // namespace qm::dcp
