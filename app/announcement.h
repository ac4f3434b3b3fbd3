// Every line the program says in a chat room: a head that closes open
// formatting and shows one of three decorations, a title in colour 1, then
// values in colour 2, each maybe followed by a short label in colour 1.  No
// value is escaped or checked; the tags are never closed.
#pragma once

#include <functional>
#include <vector>
#include <string>
#include <type_traits>

namespace qm {

struct Decoration {
    std::string text, color, font;
};

struct AnnouncementStyle {
    std::string handle;
    std::string color1, color2;  // six hex digits, no '#'
    std::string font;
    Decoration ascii[3];         // decorations 1 to 3
};

enum class Announcement {
    EntryLine1,
    EntryLine2,      // values: version, days, hours, minutes
    ExitLine1,
    ExitLine2,       // values: version, days, hours, minutes
    IdleClock,       // values: days, hours, minutes
    IdleReason,      // values: reason
    IdleTransfer,    // values: file name, percent done, minutes left
    IdleOn,          // values: interval
    IdleOff,
    IdlePaused,
    IdleUnpaused,
    SetInterval,     // values: interval
    StatsLine1,
    StatsLine2,      // values: days, hours, minutes
    EditReasons,
    DcpReenter,
    AutoUpchat,
    TransferReport1, // values: file name
    TransferReport2, // values: percent done, minutes left
};

// A value of a line: a text, or a reader called while the line is built, in
// the order of the line's values.
class LineValue {
public:
    LineValue(std::string text) : text_(std::move(text)) {}
    LineValue(const char* text) : text_(text) {}
    template <typename Read>
        requires std::is_invocable_r_v<std::string, Read&>
    LineValue(Read read) : read_(std::move(read)) {}
    std::string Get() const { return read_ ? read_() : text_; }

private:
    std::string text_;
    std::function<std::string()> read_;
};

// Line `kind` drawn with `style`.  Missing values read as "".
std::string ComposeAnnouncement(Announcement kind, const AnnouncementStyle& style,
                                const std::vector<LineValue>& values = {});

}  // namespace qm
