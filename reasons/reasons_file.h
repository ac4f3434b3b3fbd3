// The reasons file: one reason per line, each ended by CR LF, nothing else.
// It is read back exactly as it was written, so that a reason comes back
// after a restart as the user typed it, commas, quotes and blanks included.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "app/reason_list.h"

namespace qm::reasons {

// A larger file is read only this far (whole lines of it): that is room for
// every one of the 32767 reasons at 256 bytes each.
constexpr std::size_t kMaxFileBytes = std::size_t{8} << 20;
// The file is read in growing pieces from this size on, so that a small
// file costs a small read and a read that breaks midway still leaves the
// lines read before.
constexpr std::size_t kFirstReadBytes = std::size_t{64} << 10;

// A file whose reasons did not all fit in the list is kept whole when the
// list is saved, up to this size: a larger one is not rewritten at all.
constexpr std::size_t kMaxKeptBytes = std::size_t{64} << 20;

// What a load took of the file: its first `bytes` bytes, as whole lines.
// Unless `whole`, the file holds more that is not in the list, or could not
// be read at all, and saving the list must not destroy that.
struct Loaded {
    std::size_t bytes = 0;
    bool whole = true;
};

// Appends the reasons of the file to `list`, in file order, letting events
// run after each one.  CR LF or a lone LF ends a line, a last line without
// one ends with the file; a lone CR is part of its line; a blank line is an
// empty reason.  It stops when the list is full; a file that cannot be
// read adds nothing, one that breaks midway the lines read before.
Loaded LoadReasons(Platform& platform, const std::string& path, ReasonList& list);

// Writes every entry of `list`, in order, each followed by CR LF, in place of
// the part of the file that `loaded` took; what it did not take follows
// unchanged.  A file that then cannot be read whole, or is larger than
// kMaxKeptBytes, is left as it is.  Returns what the file's list part is
// now, or nullopt when nothing was written.
std::optional<Loaded> SaveReasons(Platform& platform, const std::string& path, const ReasonList& list,
                                  const Loaded& loaded = {});

}  // namespace qm::reasons
