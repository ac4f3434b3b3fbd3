#include "app/announcement.h"

#include <vector>

namespace qm {
namespace {

// "\xB7" is the middle dot of Windows-1252.
#define DOT "\xB7"

struct Run {
    enum Kind { Value, Handle, Fixed, Label } kind;
    const char* text = "";
};

struct Shape {
    int decoration;  // 1 to 3
    const char* title;
    std::vector<Run> runs;
};

const Run V{Run::Value};
const Run H{Run::Handle};
Run Fixed(const char* text) { return Run{Run::Fixed, text}; }
Run L(const char* text) { return Run{Run::Label, text}; }

const Shape& ShapeOf(Announcement kind) {
    static const std::vector<Run> kClock = {V, L("d : "), V, L("h : "), V, L("m")};
    static const std::vector<Run> kVersionAndTotal = {V, L(" " DOT " stats: "), V, L("d : "), V, L("h : "), V, L("m")};
    static const Shape kShapes[] = {
        {1, "quillmoor idle " DOT " enter: ", {H}},
        {2, "aol: ", kVersionAndTotal},
        {1, "quillmoor idle " DOT " exit: ", {H}},
        {2, "aol: ", kVersionAndTotal},
        {1, "quillmoor idle " DOT " ", kClock},
        {2, "re: ", {V}},
        {3, "file: ", {V, L(" " DOT " "), V, L("% " DOT " "), V, L("ml")}},
        {1, "quillmoor idle " DOT " ", {Fixed("idle on"), L(" " DOT " interval: "), V}},
        {1, "quillmoor idle " DOT " ", {Fixed("idle off")}},
        {1, "quillmoor idle " DOT " ", {Fixed("idle paused")}},
        {1, "quillmoor idle " DOT " ", {Fixed("idle unpaused")}},
        {1, "quillmoor idle " DOT " set idle interval: ", {V}},
        {1, "quillmoor idle " DOT " ", {H, L("'s stats")}},
        {2, "total idled: ", kClock},
        {1, "quillmoor idle " DOT " ", {Fixed("edit reasons")}},
        {1, "quillmoor idle " DOT " ", {Fixed("dcp re-enter")}},
        {1, "quillmoor idle " DOT " ", {Fixed("auto upchat")}},
        {1, "file: ", {V}},
        {2, "completed: ", {V, L("% " DOT " min left: "), V}},
    };
    return kShapes[static_cast<int>(kind)];
}

#undef DOT

}  // namespace

std::string ComposeAnnouncement(Announcement kind, const AnnouncementStyle& style,
                                const std::vector<LineValue>& values) {
    const Shape& shape = ShapeOf(kind);
    const Decoration& d = style.ascii[shape.decoration - 1];
    std::string line = "</b></u></i></s><font face=\"" + d.font + "\" color=#" + d.color + ">" + d.text +
                       " <font face=\"" + style.font + "\" color=#" + style.color1 + ">" + shape.title;
    auto next = values.begin();
    for (const Run& run : shape.runs) {
        switch (run.kind) {
            case Run::Label:
                line += "<font color=#" + style.color1 + ">" + run.text;
                break;
            case Run::Handle:
                line += "<font color=#" + style.color2 + ">" + style.handle;
                break;
            case Run::Fixed:
                line += "<font color=#" + style.color2 + ">" + run.text;
                break;
            case Run::Value:
                line += "<font color=#" + style.color2 + ">";
                if (next != values.end()) line += (next++)->Get();
                break;
        }
    }
    return line;
}

}  // namespace qm
