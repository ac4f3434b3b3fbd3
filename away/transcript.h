// The chat room's transcript as the away log reads it: found beside the input
// box (never the box itself), read from its end within a bound, and told
// apart into the lines that are new since the last read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aol/chat_sender.h"
#include "platform/platform.h"

namespace qm::away {

// The room's transcript: the "RICHCNTLREADONLY" where the room has one (7.0,
// 8.0, and a client whose version is unknown but whose layout tells), else,
// for the early layout, the first "RICHCNTL".  0 when there is no room, or
// when the only candidate is the input box.
Hwnd FindTranscript(Platform& platform, aol::InputVariant variant);

// The text cut into lines at CR LF (a lone CR or LF ends a line too); an empty
// last line is dropped.
std::vector<std::string> SplitLines(const std::string& text);

// What came after `before` in `now`, both the lines of one transcript read
// some time apart: the client appends lines, trims the oldest, and a read
// bounded from the end starts later as the text grows.  The overlap taken is
// the longest run at the end of `before` that `now` holds from its start
// (after lines trimmed), the earliest such place when lines repeat; with no
// overlap at all every line of `now` is new.
std::vector<std::string> NewLines(const std::vector<std::string>& before, const std::vector<std::string>& now);

// Reads one transcript again and again and says what is new each time.
class TranscriptWatch {
public:
    explicit TranscriptWatch(Platform& platform) : platform_(platform) {}

    // Forgets what was read: the next read sets the start and is new in
    // nothing.
    void Restart() { seen_.reset(); }
    // The lines new since the last read.  A transcript that cannot be found
    // or read gives none and is read again next time; another transcript
    // (the room changed) is new in all its lines.
    std::vector<std::string> Read(aol::InputVariant variant);

private:
    Platform& platform_;
    struct Seen {
        Hwnd window = 0;
        std::vector<std::string> lines;
    };
    std::optional<Seen> seen_;
};

}  // namespace qm::away
