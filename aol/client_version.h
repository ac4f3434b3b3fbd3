// The client's version as the program uses it: the user's setting where
// there is one (for a client whose menus cannot be read), otherwise what the
// client's menus tell, asked afresh at every use.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qm::aol {

// The versions a user may set; "auto" (stored as "") asks the client.
bool IsSettableVersion(const std::string& text);

class ClientVersion {
public:
    explicit ClientVersion(Platform& platform) : platform_(platform) {}
    std::string operator()() const;

    // "" (auto), or one of "2.5" ... "8.0".
    std::string setting;

private:
    Platform& platform_;
};

}  // namespace qm::aol
