// Every wait of the program ends.  The bounds live here, in one place: generous
// for a slow client, short enough that the program never looks stuck.
#pragma once

namespace qm::bounds {

// A message sent to another program's window gives up after this long when
// that program does not answer (it reads as "" or 0).
constexpr unsigned kSendTimeoutMs = 1000;

// How often a wait looks at the client again while it lets events run.
constexpr double kPollSeconds = 0.05;

// The chat sender presses Enter at most this often, waiting this long after
// each press for the client to empty its input box: a slow client is not
// sent the line twice, and one that never empties the box is given up on.
constexpr int kEnterPresses = 3;
constexpr double kEnterSeconds = 0.5;

// Waiting for the client's alert's OK button.
constexpr double kAlertSeconds = 5.0;

// A menu walk reads at most this many menus, and this many items of each.
constexpr int kMenuItems = 1024;

}  // namespace qm::bounds
