#include "app/settings.h"

#include "platform/text.h"

namespace qm {

std::string ReadSetting(Platform& platform, const std::string& section, const std::string& key,
                        const std::string& file) {
    return platform.GetProfileString(section, ToLowerAscii(key), file, kSettingBufferSize);
}

void WriteSetting(Platform& platform, const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file) {
    platform.WriteProfileString(section, ToUpperAscii(key), value, file);
}

std::optional<std::string> ReadKnownSetting(Platform& platform, const std::string& section, const std::string& key,
                                            const std::string& file, int bufferSize) {
    if (platform.FileExists(file) && !ProfileFileReads(platform, file)) return std::nullopt;
    auto read = [&] { return platform.GetProfileString(section, ToLowerAscii(key), file, bufferSize); };
    std::string value = read();
    if (read() != value) return std::nullopt;
    return value;
}

std::string SettingsFile(Platform& platform) { return platform.ProgramFolder() + "\\quillmoor.dat"; }

std::string PasswordFile(Platform& platform) { return platform.SystemFolder() + "\\quillmoor.pws"; }

std::string ReasonsFile(Platform& platform) { return platform.ProgramFolder() + "\\quillmoor.rea"; }

bool ProfileFileReads(Platform& platform, const std::string& file) {
    // Far past any profile file of ours, short of a large allocation.
    constexpr std::size_t kCheckBytes = std::size_t{1} << 20;
    return platform.ReadFile(file, kCheckBytes).has_value();
}

}  // namespace qm
