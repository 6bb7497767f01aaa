#include "base/escapedText.h"

namespace escapedText {

bool hasControlBytes(const std::string& text) {
    for (unsigned char c : text)
        if (isControl(c)) return true;
    return false;
}

void appendEscaped(std::string& out, unsigned char c) {
    static const char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 15];
}

std::string escaped(const std::string& text) {
    if (!hasControlBytes(text)) return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (unsigned char c : text) {
        if (isControl(c))
            appendEscaped(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

} // namespace escapedText
