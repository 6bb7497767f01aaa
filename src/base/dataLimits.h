// The ranges a value read from data is kept in.  Content far outside them
// makes no sense on an 800 x 600 stage, and keeping every value inside lets
// the game add positions, offsets, boxes and steps without ever leaving the
// int range.  docs/data-formats.md lists them for authors.  Names read from
// data are kept inside the data folder.
#pragma once

#include <algorithm>
#include <string>

namespace dataLimits {

// Offsets, boxes, points, movement steps and spawn offsets, in pixels.
inline constexpr int coordinate = 100000;
// Hit points a frame's damage box takes away.
inline constexpr int damageMost = 1000000;
// Where a fighter or particle may be at all, in pixels from the origin.
inline constexpr int position = 1000000000;

inline int clampCoordinate(int value) {
    return std::clamp(value, -coordinate, coordinate);
}
inline int clampDamage(int value) {
    return std::clamp(value, 0, damageMost);
}
inline int clampPosition(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -position, position));
}

// True when a name taken from a data file stays inside the folder it is
// looked up in: not absolute and no ".." component (a backslash counts as a
// separator too, as it does where the game also runs).
bool nameStaysInside(const std::string& name);

} // namespace dataLimits
