// The state a game ended in, as "name value" pairs in a fixed order: what the
// replay tool prints and checks a recorded game's expectations against, and
// what the versus program prints after a recorded match, so the two can be
// compared.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace finalState {

// Both fighters, the bars, the live particles, and the computer opponent's
// state (in a versus match, player 2's guard in its place).
std::map<std::string, std::string> describe(std::uint32_t tick, long passes, bool ended,
                                            bool versus);
// One "name value" line each.
std::string text(const std::map<std::string, std::string>& state);

} // namespace finalState
