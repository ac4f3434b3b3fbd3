// The reasons file: one reason per line, each ended by CR LF, nothing else.
// It is read back exactly as it was written, so that a reason comes back
// after a restart as the user typed it, commas, quotes and blanks included.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"
#include "reasons/reason_list.h"

namespace qm::reasons {

// A larger file is read only this far (whole lines of it): that is room for
// every one of the 32767 reasons at 256 bytes each.
constexpr std::size_t kMaxFileBytes = std::size_t{8} << 20;
// The file is read in growing pieces from this size on, so that a small
// file costs a small read and a read that breaks midway still leaves the
// lines read before.
constexpr std::size_t kFirstReadBytes = std::size_t{64} << 10;

// Appends the reasons of the file to `list`, in file order, letting events
// run after each one.  CR LF or a lone LF ends a line, a last line without
// one ends with the file; a lone CR is part of its line; a blank line is an
// empty reason.  It stops when the list is full; a file that cannot be
// read adds nothing, one that breaks midway the lines read before.
void LoadReasons(Platform& platform, const std::string& path, ReasonList& list);

// Writes every entry of `list`, in order, each followed by CR LF, in place of
// what the file held.  False when the file could not be written.
bool SaveReasons(Platform& platform, const std::string& path, const ReasonList& list);

}  // namespace qm::reasons
