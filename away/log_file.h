// The away log's file beside the program: one line a kept chat line, with
// the local time it was seen, ANSI as read, appended; never past a size.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace qm::away {

// The file never holds more: past it, its oldest half goes.  Years of
// mentions at a few a day, and quick to rewrite whole.
constexpr std::size_t kLogMostBytes = std::size_t{1} << 20;

std::string LogFile(Platform& platform);

// "2026-12-07 09:05:03" and "09:05".
std::string DateTimeText(const LocalTime& t);
std::string ClockText(const LocalTime& t);

// Appends `lines` (each ended by CR LF) to the log.  The file is made anew
// beside the old one and then put in its place, so a write that fails leaves
// the old file as it was.  A file that cannot be read, or is larger than one
// of ours can be, is left alone.  False when the lines did not reach it.
bool AppendToLog(Platform& platform, const std::string& path, const std::string& lines);

}  // namespace qm::away
