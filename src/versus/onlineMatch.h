// The versus program's online modes: one player on each machine, the match
// played through the rollback session (src/net/rollbackSession.h).
//
//   versus --host [PORT]         waits for a player on UDP PORT (7707 by default);
//                                the host plays the left-hand fighter
//   versus --join HOST[:PORT]    joins a host; plays the right-hand fighter
//   versus --join-bridge PORT    plays the right-hand fighter against a
//                                browser, through the bridge (web/bridge.js)
//                                listening on 127.0.0.1:PORT
//   --delay N                    input delay in frames, 0 to 8 (2 by default)
//
// Either player plays with either set of keys (or the first joystick).  F1
// shows or hides the overlay: ping, frames rolled back, input delay.  Escape
// leaves the match and tells the other side.  For the tests: --frames N
// ends the match once N frames are confirmed (then prints a digest of their
// checksums), --autoplay SEED plays by itself, --impair SEED holds back what
// this side sends (80 +- 20 ms, 5% lost, some repeated and reordered).
// After a desync the program writes versus-desync-p1.replay (or -p2) with
// the match as this side confirmed it, and the session's log beside it.
#pragma once

#include "versus/versusProgram.h"

namespace onlineMatch {

// Plays an online match to its end; returns the exit code: 0 when the match
// ended as asked (Escape, the other player leaving, --frames reached), 1
// when it ended otherwise (connection lost, refused, desync), 2 when the
// network could not be set up.
int play(const versusProgram::options& opts);

} // namespace onlineMatch
