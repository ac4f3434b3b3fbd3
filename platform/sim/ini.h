// A portable reader and writer of Windows profile (INI) files, for platforms
// without the profile-string services.  It works on the file's bytes and
// follows the rules those services have: names match in any letter case, the
// first matching section and entry count, blanks around a value and one
// enclosing pair of quotes are dropped on read, values are cut to fit the
// reader's buffer, and a write changes only the one line it must.
#pragma once

#include <cstddef>
#include <string>

namespace qm::ini {

// The value of `key` in `section`, as GetPrivateProfileStringA with default ""
// returns it into a buffer of `bufferSize` bytes; "" when absent.
std::string Read(const std::string& content, const std::string& section, const std::string& key,
                 std::size_t bufferSize);

// `content` with `key` in `section` set to `value`: an existing entry is
// rewritten in place, a new entry goes after the section's last entry, a new
// section at the end of the file.
std::string Write(const std::string& content, const std::string& section, const std::string& key,
                  const std::string& value);

}  // namespace qm::ini
