// The AOL password for signing back on, in its own profile file
// "quillmoor.pws" (section "dcp", key PASSWORD, plain text between double
// quotes, so that the blanks and quotes at its ends read back; a file of
// before, without them, reads as it always did).
//
// Its place is the system folder.  Where that cannot be written (a standard
// user on a current Windows, a 64-bit Wine prefix without C:\windows\system),
// the same file is kept in the user's own application-data folder, under
// "quillmoor", instead.  That copy is written only when the system folder
// refused the password, so it is the newer one whenever it exists, and it is
// removed once the system folder takes a write again.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace qm::dcp {

// The password in that profile file, and what reads back from it ("" when
// none is stored).  Every password reads back exactly as it was written.
bool WritePasswordTo(Platform& platform, const std::string& file, const std::string& password);
std::string ReadPasswordFrom(Platform& platform, const std::string& file);

// The user's own copy of the password file; "" when there is no user folder.
std::string FallbackPasswordFile(Platform& platform);

// Stores the password; false when no place would take it.
bool StorePassword(Platform& platform, const std::string& password);

// The stored password: the user's own copy when it holds one, otherwise the
// system folder's; "" when none is stored.  nullopt when it is not known: a
// file that is there did not read, or two reads of it disagree.
std::optional<std::string> ReadPassword(Platform& platform);

}  // namespace qm::dcp
