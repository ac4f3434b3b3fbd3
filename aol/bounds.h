// Every wait of the client automation ends.  The bounds live here, in one
// place: generous for a slow client, short enough that the program never
// looks stuck (every wait lets events run, so the program stays usable).
#pragma once

namespace qm::bounds {

// How often a wait looks at the client again while it lets events run.
constexpr double kPollSeconds = 0.05;

// A text the client did not answer for is asked for again for this long
// (a client closing a dialog can be deaf for a couple of seconds) before it
// counts as unreadable.
constexpr double kReadSeconds = 5.0;

// The chat sender presses Enter at most this often, waiting this long after
// each press for the client to empty its input box: a slow client is not
// sent the line twice, and one that never empties the box is given up on.
constexpr int kEnterPresses = 3;
constexpr double kEnterSeconds = 0.5;
// From the first press, how long the sender waits for the client to take the
// line (empty the box) before the user's text goes back: a client still busy
// with the line must not take the user's text in its place.
constexpr double kTakeSeconds = 5.0;
// Lines waiting for a send in progress; more are dropped.
constexpr int kQueuedLines = 64;
// A line the client answered Enter for but has not taken this long after the
// last press will not be taken: only then may the sender type over it.
constexpr double kLineGoneSeconds = 30.0;
// Lines waiting for a client that does not answer are dropped this long after
// they were sent: an announcement that late tells nothing true.
constexpr double kHeldLineSeconds = 60.0;
// While the user's text is owed or lines wait, the sender tries again this
// often; each try that a hung client leaves unanswered (a send timeout lost)
// doubles the wait before the next, up to the longest.
constexpr double kRetrySeconds = 3.0;
constexpr double kRetryLongestSeconds = 48.0;
// As the program ends, how long it waits for the client to let the user's
// text back in: longer than a client's usual hang, short for a closing program.
constexpr double kLastRestoreSeconds = 10.0;
// A send follows its room to a new input box (the room closed and opened
// again while a line went) at most this often.
constexpr int kBoxMoves = 3;

// Waiting for the client's alert's OK button, then for the alert to go.
constexpr double kAlertSeconds = 5.0;

// The upload lookup, when another dialog of the client is the first
// "_AOL_Modal": how long it looks again, events running, for that dialog to
// go before it gives up (the user may leave the dialog open for hours).
constexpr double kUploadLookupSeconds = 1.0;

// A menu walk reads at most this many menus, and this many items of each.
constexpr int kMenuItems = 1024;

// Texts read from the client's windows through messages: a longer one (the
// length the client reports is not trusted) is not read at all.  64 KiB is
// far beyond any caption, status text or chat line.
constexpr int kMaxTextRead = 65536;

// Disconnect protection's waits on the client.  Signing on over a slow line
// takes a while; a client that neither welcomes the user nor shows its
// sign-on window again within this long is left alone (the next look tries
// again).
constexpr double kSignOnSeconds = 120.0;
// A room keyword: the room, the alert or a sign-off within this long.
constexpr double kRoomSeconds = 60.0;
// A toolbar icon's pop-up menu opens within this long, or no key is sent.
constexpr double kPopupMenuSeconds = 5.0;
// After giving up on a pop-up menu, how long we still watch for it: a busy
// client opens it late from the click still queued, and it must not stay open.
constexpr double kLatePopupSeconds = 30.0;
// A pop-up menu that still shows this long after its key was sent did not
// take it; it is closed.
constexpr double kPopupKeySeconds = 3.0;
// A scan of the client's document windows visits at most this many.
constexpr int kDocumentWindows = 1024;
// The idle clock counts at most this many minutes at once (a week): a tick
// far behind never loops long; the next tick counts the rest.
constexpr int kMinutesCountedAtOnce = 7 * 24 * 60;

}  // namespace qm::bounds
