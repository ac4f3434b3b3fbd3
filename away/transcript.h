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

// Transcripts remembered at once: more rooms than anyone sits in, and each
// memory is one bounded read.
constexpr std::size_t kTranscriptsRemembered = 8;

// Reads the room's transcript again and again and says what is new each time.
class TranscriptWatch {
public:
    explicit TranscriptWatch(Platform& platform) : platform_(platform) {}

    // Forgets what was read: the next read sets the start and is new in
    // nothing.
    void Restart() {
        seen_.clear();
        started_ = false;
    }
    // The next read is new in nothing, but the rooms read before stay
    // remembered: what was taken from them is not taken again.
    void Rebase() { started_ = false; }
    // The lines new since the last read of the same transcript.  A transcript
    // that cannot be found or read gives none and is read again next time;
    // one not read before (another room) is new in all its lines; a room left
    // and come back to is new only in what came meanwhile.
    std::vector<std::string> Read(aol::InputVariant variant);

private:
    Platform& platform_;
    struct Seen {
        Hwnd window = 0;
        std::vector<std::string> lines;
    };
    std::vector<Seen> seen_;  // the most recently read last
    bool started_ = false;
};

}  // namespace qm::away
