// The benchmark's online section: an online match of the real game, both
// sides in this process over the impaired link at a 160 ms round trip, with
// no particles and held at the particle cap.
#pragma once

namespace onlineBench {

// Starts the game headless for a versus match, plays the matches and prints
// the section (`bench --online`).  Run from the folder that holds data/.
int run();

} // namespace onlineBench
