#include "dcp/password.h"

#include "app/settings.h"
#include "platform/text.h"

namespace qm::dcp {
namespace {

constexpr const char* kSection = "dcp";
constexpr const char* kKey = "PASSWORD";  // as WriteSetting writes it
// The profile reader drops the blanks around a value and then one pair of
// quotes around it: inside quotes of its own a password keeps its ends.
constexpr char kQuote = '"';
// The longest password a prompt takes, with its two quotes, reads back whole.
constexpr int kReadBuffer = kSettingBufferSize + 2;

}  // namespace

bool WritePasswordTo(Platform& platform, const std::string& file, const std::string& password) {
    return platform.WriteProfileString(kSection, kKey, kQuote + password + kQuote, file);
}

std::string ReadPasswordFrom(Platform& platform, const std::string& file) {
    return platform.GetProfileString(kSection, ToLowerAscii(kKey), file, kReadBuffer);
}

std::string FallbackPasswordFile(Platform& platform) {
    const std::string folder = platform.UserDataFolder();
    return folder.empty() ? std::string() : folder + "\\quillmoor\\quillmoor.pws";
}

bool StorePassword(Platform& platform, const std::string& password) {
    const std::string fallback = FallbackPasswordFile(platform);
    if (WritePasswordTo(platform, PasswordFile(platform), password)) {
        // The user's copy would win over this write: it goes, and where it
        // cannot, it must agree.
        if (!fallback.empty() && platform.FileExists(fallback) && !platform.DeleteFile(fallback))
            return WritePasswordTo(platform, fallback, password);
        return true;
    }
    if (fallback.empty()) return false;
    platform.CreateFolder(platform.UserDataFolder() + "\\quillmoor");
    return WritePasswordTo(platform, fallback, password);
}

namespace {

// A read that failed reads as "": the file must read, and the value twice
// alike, before "" or anything else is taken for what it holds.
std::optional<std::string> ReadKnown(Platform& platform, const std::string& file) {
    return ReadKnownSetting(platform, kSection, kKey, file, kReadBuffer);
}

}  // namespace

std::optional<std::string> ReadPassword(Platform& platform) {
    const std::string fallback = FallbackPasswordFile(platform);
    if (!fallback.empty() && platform.FileExists(fallback)) {
        // The user's copy is the newer password: locked by another program it
        // is unknown, and the older one is not typed in its place.
        std::optional<std::string> password = ReadKnown(platform, fallback);
        if (!password || !password->empty()) return password;
    }
    return ReadKnown(platform, PasswordFile(platform));
}

}  // namespace qm::dcp
