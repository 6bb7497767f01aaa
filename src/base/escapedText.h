// Names come from data files that anyone may write, and a name can hold
// control bytes: an escape sequence in a move's name would reach the
// player's terminal through the trace and recolour it, clear it or worse.
// Wherever such text is shown, each control byte (below 0x20, and 0x7F) is
// written as \xHH instead; every other byte stays as it is.
#pragma once

#include <string>

namespace escapedText {

inline bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool hasControlBytes(const std::string& text);

// The text with every control byte as \xHH (two upper-case hex digits).
std::string escaped(const std::string& text);

// Appends c as \xHH.
void appendEscaped(std::string& out, unsigned char c);

} // namespace escapedText
