#include "aolsim/control.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>

namespace aolsim::control {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool Ends(char c) { return c == '\n' || c == ';'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the escape at s[i] (just after the backslash); false when it is none.
bool Unescape(std::string_view s, std::size_t& i, std::string& out) {
    if (i >= s.size()) return false;
    switch (s[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= s.size()) return false;
            int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
            if (hi < 0 || lo < 0) return false;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return false;
    }
    ++i;
    return true;
}

std::string Where(int line) { return "line " + std::to_string(line) + ": "; }

}  // namespace

std::optional<std::vector<Command>> Parse(std::string_view script, std::string* error) {
    auto fail = [&](int line, const std::string& why) {
        if (error) *error = Where(line) + why;
        return std::nullopt;
    };
    if (script.size() > kMaxScript) return fail(1, "script longer than " + std::to_string(kMaxScript) + " bytes");
    std::vector<Command> commands;
    Command current;
    int line = 1;
    current.line = line;
    std::size_t i = 0;
    auto finish = [&] {
        if (!current.fields.empty()) commands.push_back(std::move(current));
        current = Command{};
        current.line = line;
    };
    while (i < script.size()) {
        char c = script[i];
        if (Blank(c)) {
            ++i;
            continue;
        }
        if (Ends(c)) {
            finish();
            if (c == '\n') current.line = ++line;
            ++i;
            continue;
        }
        if (current.fields.size() >= kMaxFields) return fail(line, "more than " + std::to_string(kMaxFields) + " fields");
        std::string field;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < script.size()) {
                char d = script[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    ++i;
                    if (!Unescape(script, i, field)) return fail(line, "bad escape");
                    continue;
                }
                if (d == '\n') ++line;
                field += d;
                ++i;
            }
            if (!closed) return fail(line, "unterminated quote");
            if (i < script.size() && !Blank(script[i]) && !Ends(script[i]))
                return fail(line, "text right after a closing quote");
        } else {
            while (i < script.size() && !Blank(script[i]) && !Ends(script[i])) {
                char d = script[i];
                if (d == '"') return fail(line, "quote inside a field");
                if (d == '\\') {
                    ++i;
                    if (!Unescape(script, i, field)) return fail(line, "bad escape");
                    continue;
                }
                field += d;
                ++i;
            }
        }
        current.fields.push_back(std::move(field));
    }
    finish();
    return commands;
}

std::string Quote(std::string_view field) {
    bool plain = !field.empty();
    for (char c : field) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || u == 0x7F || c == ';' || c == '"' || c == '\\') plain = false;
    }
    if (plain) return std::string(field);
    std::string out = "\"";
    static const char hex[] = "0123456789ABCDEF";
    for (char c : field) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    out += "\\x";
                    out += hex[u >> 4];
                    out += hex[u & 15];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string Join(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line += ' ';
        line += Quote(f);
    }
    return line;
}

std::vector<std::string> Fields(std::string_view line) {
    std::string error;
    auto commands = Parse(line, &error);
    if (!commands || commands->size() != 1) return {};
    return std::move(commands->front().fields);
}

std::vector<std::vector<std::string>> Records(std::string_view output) {
    std::vector<std::vector<std::string>> records;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string_view::npos) end = output.size();
        std::string_view line = output.substr(start, end - start);
        if (!line.empty()) records.push_back(Fields(line));
        start = end + 1;
    }
    return records;
}

// ---- running a script -------------------------------------------------------------

namespace {

struct Failure {
    std::string why;
};

class Runner {
public:
    explicit Runner(Client& client) : c_(client) {}

    void Execute(const std::vector<std::string>& f) {
        f_ = &f;
        const std::string& verb = f[0];
        auto it = Verbs().find(verb);
        if (it == Verbs().end()) throw Failure{"unknown command \"" + verb + "\""};
        const Verb& v = it->second;
        int args = static_cast<int>(f.size()) - 1;
        if (args < v.min || args > v.max) throw Failure{"wrong number of fields for \"" + verb + "\""};
        v.run(*this);
    }

    std::string output;

private:
    struct Verb {
        int min, max;
        std::function<void(Runner&)> run;
    };

    const std::string& Arg(int n) const { return (*f_)[static_cast<std::size_t>(n)]; }
    bool Has(int n) const { return static_cast<int>(f_->size()) > n; }

    long Int(int n, long lo, long hi) const { return ToInt(Arg(n), lo, hi); }

    // A text made long without a long script: `text` `times` times over,
    // at most kMaxRepeated bytes.
    static constexpr long kMaxRepeated = 4 << 20;
    static std::string Repeat(const std::string& text, long times) {
        if (text.empty()) return text;
        if (static_cast<std::size_t>(times) > kMaxRepeated / text.size())
            throw Failure{"a text repeated past " + std::to_string(kMaxRepeated) + " bytes"};
        std::string out;
        out.reserve(text.size() * static_cast<std::size_t>(times));
        for (long i = 0; i < times; ++i) out += text;
        return out;
    }
    // Field n, repeated as often as field `times` says when it is there.
    std::string Repeated(int n, int times) const {
        return Has(times) ? Repeat(Arg(n), Int(times, 1, kMaxRepeated)) : Arg(n);
    }

    static long ToInt(const std::string& s, long lo, long hi) {
        long value = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
        if (ec != std::errc() || end != s.data() + s.size() || value < lo || value > hi)
            throw Failure{"\"" + s + "\" is not a whole number from " + std::to_string(lo) + " to " +
                          std::to_string(hi)};
        return value;
    }

    double Seconds(int n) const {
        const std::string& s = Arg(n);
        double value = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
        if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value) || value < 0 || value > 86400)
            throw Failure{"\"" + s + "\" is not a number of seconds from 0 to 86400"};
        return value;
    }

    bool OnOff(int n) const {
        if (Arg(n) == "on") return true;
        if (Arg(n) == "off") return false;
        throw Failure{"\"" + Arg(n) + "\" is neither on nor off"};
    }

    Handle Document(int n) const {
        Handle h = c_.FindDocument(Arg(n));
        if (!h) throw Failure{"no document window \"" + Arg(n) + "\""};
        return h;
    }

    Handle RoomArg(int n) const {
        Handle h = c_.Room(Arg(n));
        if (!h) throw Failure{"no room \"" + Arg(n) + "\""};
        return h;
    }

    void Emit(const std::vector<std::string>& fields) { output += Join(fields) + "\n"; }
    void EmitEach(const std::vector<std::string>& items) {
        for (const std::string& s : items) Emit({s});
    }

    static const std::map<std::string, Verb>& Verbs();

    Client& c_;
    const std::vector<std::string>* f_ = nullptr;
};

const char* EventName(WindowEvent::Kind kind) {
    switch (kind) {
        case WindowEvent::Hidden: return "hidden";
        case WindowEvent::Minimized: return "minimized";
        case WindowEvent::Restored: return "restored";
        case WindowEvent::Shown: return "shown";
        case WindowEvent::Closed: return "closed";
    }
    return "?";
}

const std::map<std::string, Runner::Verb>& Runner::Verbs() {
    constexpr long kMax = 1000000;
    static const std::map<std::string, Verb> verbs = {
        // ---- scene
        {"start", {1, 1, [](Runner& r) { r.c_.Start(r.Arg(1)); }}},
        {"signon", {1, 1, [](Runner& r) { r.c_.SignOn(r.Arg(1)); }}},
        {"signoff", {0, 0, [](Runner& r) { r.c_.SignOff(); }}},
        {"disconnect", {0, 2, [](Runner& r) {
             Leftovers leftovers;
             for (int i = 1; r.Has(i); ++i) {
                 if (r.Arg(i) == "transfer-status")
                     leftovers.transferStatus = true;
                 else if (r.Arg(i) == "status")
                     leftovers.status = true;
                 else
                     throw Failure{"unknown leftover \"" + r.Arg(i) + "\""};
             }
             r.c_.Disconnect(leftovers);
         }}},
        {"vanish", {0, 1, [](Runner& r) {
             if (r.Has(1))
                 r.c_.VanishAfter(r.Seconds(1));
             else
                 r.c_.Vanish();
         }}},
        {"hang", {1, 1, [](Runner& r) { r.c_.Hang(r.Seconds(1)); }}},
        {"room", {1, 2, [](Runner& r) {
             if (!r.c_.OpenRoom(r.Arg(1), r.Has(2) ? r.Arg(2) : std::string())) throw Failure{"client not running"};
         }}},
        {"type", {2, 3, [](Runner& r) { r.c_.TypeInRoom(r.RoomArg(1), r.Repeated(2, 3)); }}},
        {"shift", {2, 3, [](Runner& r) {
             r.c_.ShiftTextOnLength(r.c_.RoomInput(r.RoomArg(1)), r.Repeated(2, 3));
         }}},
        {"say", {3, 3, [](Runner& r) { r.c_.Say(r.RoomArg(1), r.Arg(2), r.Arg(3)); }}},
        {"chatter", {2, 2, [](Runner& r) { r.c_.Chatter(r.Arg(1), r.Seconds(2)); }}},
        {"log", {1, 1, [](Runner& r) {
             // Appended a line at a time, so that a reader of the file sees
             // each line as it comes.
             std::string path = r.Arg(1);
             {
                 std::ofstream probe(path, std::ios::binary | std::ios::app);
                 if (!probe) throw Failure{"cannot write \"" + path + "\""};
             }
             r.c_.SetRoomLog([path](const std::string& room, const std::string& who, const std::string& text) {
                 std::ofstream file(path, std::ios::binary | std::ios::app);
                 file << room << '\t' << who << '\t' << text << "\r\n";
             });
         }}},
        {"document", {1, 9, [](Runner& r) {
             DocumentParts parts;
             std::string caption = r.Arg(1);
             for (int i = 2; r.Has(i); ++i) {
                 const std::string& a = r.Arg(i);
                 if (a == "readonly") {
                     parts.readOnly = true;
                     continue;
                 }
                 std::size_t eq = a.find('=');
                 std::string name = a.substr(0, eq);
                 if (name == "repeat" && eq != std::string::npos) {
                     caption = Repeat(r.Arg(1), ToInt(a.substr(eq + 1), 1, kMaxRepeated));
                     continue;
                 }
                 int* slot = name == "richcntl"   ? &parts.richcntl
                             : name == "listbox"  ? &parts.listboxes
                             : name == "icon"     ? &parts.icons
                             : name == "static"   ? &parts.statics
                             : name == "combobox" ? &parts.comboboxes
                             : name == "edit"     ? &parts.edits
                                                  : nullptr;
                 if (!slot || eq == std::string::npos) throw Failure{"unknown part \"" + a + "\""};
                 *slot = static_cast<int>(ToInt(a.substr(eq + 1), 0, 32));
             }
             if (!r.c_.OpenDocument(caption, parts)) throw Failure{"client not running"};
         }}},
        {"order", {1, 32, [](Runner& r) {
             std::vector<Handle> order;
             for (int i = 1; r.Has(i); ++i) order.push_back(r.Document(i));
             r.c_.SetDocumentOrder(order);
         }}},
        {"close", {1, 1, [](Runner& r) { r.c_.DestroyWindow(r.Document(1)); }}},
        // ---- alerts, delays, sign-on, keywords
        {"alert", {0, 1, [](Runner& r) { r.c_.ShowAlert(r.Has(1) ? r.Arg(1) : std::string(kAlertText)); }}},
        {"alert-after-chat", {1, 1, [](Runner& r) { r.c_.AlertAfterChatLines(static_cast<int>(r.Int(1, 0, kMax))); }}},
        {"alert-after-keyword",
         {1, 1, [](Runner& r) { r.c_.AlertAfterKeywords(static_cast<int>(r.Int(1, 0, kMax))); }}},
        {"delay", {2, 2, [](Runner& r) {
             Delays d = r.c_.GetDelays();
             double s = r.Seconds(2);
             const std::string& which = r.Arg(1);
             if (which == "signon")
                 d.signOn = s;
             else if (which == "room")
                 d.room = s;
             else if (which == "chat")
                 d.chat = s;
             else if (which == "alert")
                 d.alert = s;
             else if (which == "popup")
                 d.popup = s;
             else if (which == "alert-close")
                 d.alertClose = s;
             else
                 throw Failure{"unknown delay \"" + which + "\""};
             r.c_.SetDelays(d);
         }}},
        {"password", {1, 1, [](Runner& r) { r.c_.RequirePassword(r.Arg(1)); }}},
        {"fail-signons", {1, 1, [](Runner& r) { r.c_.FailSignOns(static_cast<int>(r.Int(1, 0, kMax))); }}},
        {"reject", {1, 1, [](Runner& r) { r.c_.RejectKeyword(r.Arg(1)); }}},
        {"map", {2, 2, [](Runner& r) { r.c_.MapKeyword(r.Arg(1), r.Arg(2)); }}},
        // ---- transfers
        {"download", {3, 4, [](Runner& r) {
             r.c_.StartDownload(r.Repeated(1, 4), static_cast<int>(r.Int(2, -1, 100)), r.Arg(3));
         }}},
        {"download-progress", {2, 2, [](Runner& r) {
             r.c_.SetDownloadProgress(static_cast<int>(r.Int(1, -1, 100)), r.Arg(2));
         }}},
        {"download-end", {0, 0, [](Runner& r) { r.c_.EndDownload(); }}},
        {"upload", {3, 4, [](Runner& r) {
             r.c_.StartUpload(r.Repeated(1, 4), static_cast<int>(r.Int(2, -1, 100)), r.Arg(3));
         }}},
        {"upload-progress", {2, 2, [](Runner& r) {
             r.c_.SetUploadProgress(static_cast<int>(r.Int(1, -1, 100)), r.Arg(2));
         }}},
        {"upload-end", {0, 0, [](Runner& r) { r.c_.EndUpload(); }}},
        {"upload-end-on-read", {1, 1, [](Runner& r) {
             r.c_.EndUploadOnRead(static_cast<int>(r.Int(1, 0, kMax)));
         }}},
        {"modal", {1, 1, [](Runner& r) { r.c_.ShowOtherModal(r.Arg(1)); }}},
        {"modal-close", {0, 0, [](Runner& r) { r.c_.CloseOtherModal(); }}},
        {"menu-pad", {1, 1, [](Runner& r) { r.c_.PadMenus(static_cast<int>(r.Int(1, 0, 4096))); }}},
        // ---- faults
        {"never-empties", {1, 1, [](Runner& r) { r.c_.SetInputNeverEmpties(r.OnOff(1)); }}},
        {"when", {2, 3, [](Runner& r) {
             static const std::map<std::string, Trigger> triggers = {
                 {"password-typed", Trigger::PasswordTyped}, {"keyword-entered", Trigger::KeywordEntered},
                 {"chat-line-sent", Trigger::ChatLineSent},  {"menu-command", Trigger::MenuCommand},
                 {"popup-opened", Trigger::PopupOpened},     {"resume-pressed", Trigger::ResumePressed},
                 {"chat-enter", Trigger::ChatEnter}};
             static const std::map<std::string, Reaction> reactions = {{"vanish", Reaction::Vanish},
                                                                       {"disconnect", Reaction::Disconnect},
                                                                       {"alert", Reaction::Alert},
                                                                       {"hang", Reaction::Hang},
                                                                       {"block", Reaction::Block},
                                                                       {"close-all", Reaction::CloseAll}};
             auto t = triggers.find(r.Arg(1));
             auto a = reactions.find(r.Arg(2));
             if (t == triggers.end()) throw Failure{"unknown trigger \"" + r.Arg(1) + "\""};
             if (a == reactions.end()) throw Failure{"unknown reaction \"" + r.Arg(2) + "\""};
             r.c_.When(t->second, a->second, r.Has(3) ? r.Seconds(3) : 0.0);
         }}},
        // ---- read-back
        {"echo", {0, kMaxFields, [](Runner& r) {
             r.Emit(std::vector<std::string>(r.f_->begin() + 1, r.f_->end()));
         }}},
        {"state", {0, 0, [](Runner& r) {
             r.Emit({r.c_.Running() ? "running" : "not-running", VersionName(r.c_.GetVersion()),
                     r.c_.SignedOn() ? "signed-on" : r.c_.Connecting() ? "connecting" : "signed-off",
                     r.c_.ScreenName()});
         }}},
        {"transcript", {1, 1, [](Runner& r) { r.EmitEach(r.c_.Transcript(r.Arg(1))); }}},
        {"chat", {0, 0, [](Runner& r) {
             for (const ChatLine& line : r.c_.Chat()) r.Emit({line.room, line.text});
         }}},
        {"input", {1, 1, [](Runner& r) { r.Emit({r.c_.InputText(r.RoomArg(1))}); }}},
        {"passwords", {0, 0, [](Runner& r) { r.EmitEach(r.c_.PasswordsTyped()); }}},
        {"keywords", {0, 0, [](Runner& r) { r.EmitEach(r.c_.KeywordsSubmitted()); }}},
        {"menu-commands", {0, 0, [](Runner& r) { r.EmitEach(r.c_.MenuCommands()); }}},
        {"popup-picks", {0, 0, [](Runner& r) { r.EmitEach(r.c_.PopupPicks()); }}},
        {"toolbar-clicks", {0, 0, [](Runner& r) {
             for (int i : r.c_.ToolbarClicks()) r.Emit({std::to_string(i)});
         }}},
        {"presses", {0, 0, [](Runner& r) {
             for (const IconPress& p : r.c_.IconPresses())
                 r.Emit({p.window, std::to_string(p.icon), p.bySpace ? "space" : "mouse"});
         }}},
        {"resume-presses", {0, 0, [](Runner& r) {
             r.Emit({std::to_string(r.c_.DownloadResumePresses()), std::to_string(r.c_.UploadResumePresses())});
         }}},
        {"events", {0, 0, [](Runner& r) {
             for (const WindowEvent& e : r.c_.WindowEvents()) r.Emit({EventName(e.kind), e.cls, e.caption});
         }}},
        {"alerts", {0, 0, [](Runner& r) {
             r.Emit({std::to_string(r.c_.AlertsShown()), std::to_string(r.c_.AlertsDismissed())});
         }}},
    };
    return verbs;
}

}  // namespace

Result Run(Client& client, std::string_view script) {
    Result result;
    auto commands = Parse(script, &result.error);
    if (!commands) {
        result.ok = false;
        return result;
    }
    Runner runner(client);
    for (const Command& command : *commands) {
        try {
            runner.Execute(command.fields);
        } catch (const Failure& failure) {
            result.ok = false;
            result.error = Where(command.line) + failure.why;
            break;
        }
    }
    result.output = std::move(runner.output);
    return result;
}

std::string ChannelCaption(unsigned long processId) { return "aolsim " + std::to_string(processId); }

std::string Reply(const Result& result) {
    std::string first = result.ok ? "ok" : Join({"error", result.error});
    return first + "\n" + result.output;
}

std::optional<Result> ReadReply(std::string_view reply) {
    std::size_t end = reply.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    std::vector<std::string> first = Fields(reply.substr(0, end));
    Result result;
    if (first == std::vector<std::string>{"ok"}) {
        result.ok = true;
    } else if (first.size() == 2 && first[0] == "error") {
        result.ok = false;
        result.error = first[1];
    } else {
        return std::nullopt;
    }
    result.output = std::string(reply.substr(end + 1));
    return result;
}

}  // namespace aolsim::control
