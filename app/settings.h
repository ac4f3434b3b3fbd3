// The settings store: profile (INI) files read and written one value at a time.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace qm {

// A value read back holds at most 749 bytes.
constexpr int kSettingBufferSize = 750;

// The value of `key` in `section` of `file`; "" when the file, the section or
// the key is missing.
std::string ReadSetting(Platform& platform, const std::string& section, const std::string& key,
                        const std::string& file);

// Stores the value under `section` and `key` (written in upper case), creating
// the entry, the section and the file as needed.  A failed write is silent.
void WriteSetting(Platform& platform, const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file);

// The value as ReadSetting gives it (read into `bufferSize` bytes), when
// that is known: nullopt when the file is there but does not read, or two
// reads disagree (one failed).
std::optional<std::string> ReadKnownSetting(Platform& platform, const std::string& section, const std::string& key,
                                            const std::string& file, int bufferSize = kSettingBufferSize);

// True when the profile file reads, all of it as far as a profile file goes:
// one locked by another program, even a range of it, would read as if its
// values were "", and those must never be taken for what it holds.
bool ProfileFileReads(Platform& platform, const std::string& file);

// The settings file beside the program.
std::string SettingsFile(Platform& platform);
// The AOL password for signing back on.
std::string PasswordFile(Platform& platform);
// The idle reasons, one per line.
std::string ReasonsFile(Platform& platform);

}  // namespace qm
