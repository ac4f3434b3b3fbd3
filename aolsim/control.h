// aolsim's control language: how a test in another process sets the scene of
// aolsim.exe and reads back what it saw.  The command line and each control
// message carry a script; README.md lists the commands.
//
// A script is commands separated by line ends or ";".  A command is fields
// separated by blanks or tabs; the first is the verb.  A field in double
// quotes may hold anything, with \\ \" \n \r \t and \xHH escapes (the escapes
// also work outside quotes).  Bytes 0x80 to 0xFF pass as they are.  Output
// is one line per record, its fields written the same way, so that Fields()
// reads them back exactly.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aolsim/client.h"

namespace aolsim::control {

// A script longer than this is refused whole.
constexpr std::size_t kMaxScript = 1 << 20;
// Fields of one command, at most.
constexpr std::size_t kMaxFields = 64;

struct Command {
    int line = 0;  // 1-based, for messages
    std::vector<std::string> fields;
};

// The commands of a script; nullopt (and a message) when it cannot be read.
std::optional<std::vector<Command>> Parse(std::string_view script, std::string* error);

// A field as a script writes it: as it is when nothing in it needs quotes.
std::string Quote(std::string_view field);
// Fields as one line (without its line end).
std::string Join(const std::vector<std::string>& fields);
// The fields of one output line; a line that cannot be read yields none.
std::vector<std::string> Fields(std::string_view line);
// The records of an output, one per line.
std::vector<std::vector<std::string>> Records(std::string_view output);

struct Result {
    bool ok = true;
    std::string output;  // the records of the queries that ran
    std::string error;   // why it stopped; "" when ok
};

// Runs the script's commands in order; stops at the first one that fails.
Result Run(Client& client, std::string_view script);

// ---- The channel of aolsim.exe (README.md) --------------------------------------
// A hidden top-level window of this class, captioned ChannelCaption(its
// process id), takes WM_COPYDATA with dwData kScriptTag and the script's bytes;
// wParam names a window for the reply, sent back as WM_COPYDATA with dwData
// kReplyTag.  SendMessage answers kAnswerOk, kAnswerFailed (the script
// stopped), or 0 (refused unread: wrong tag, too long, no data).
constexpr const char* kChannelClass = "AolsimControl";
constexpr unsigned long kScriptTag = 0x514D5331;  // "QMS1"
constexpr unsigned long kReplyTag = 0x514D5232;   // "QMR2"
constexpr long kAnswerOk = 1;
constexpr long kAnswerFailed = 2;
std::string ChannelCaption(unsigned long processId);

// The reply: "ok" or "error" and the reason as its first record, then the
// output's records.
std::string Reply(const Result& result);
// nullopt for a reply that is not one.
std::optional<Result> ReadReply(std::string_view reply);

}  // namespace aolsim::control
