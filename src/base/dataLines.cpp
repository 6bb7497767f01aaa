#include "base/dataLines.h"

bool dataLines::open(const std::string& path) {
    path_ = path;
    line_ = 0;
    continues_ = false;
    found_.clear();
    if (!file_.open(path)) return false;
    if (file_.hadByteOrderMark())
        note(1, "the file starts with a UTF-8 byte-order mark; the game skips it");
    return true;
}

bool dataLines::readLine(std::string& line) {
    if (!file_.readLine(line)) return false;
    if (!continues_) ++line_;
    const bool split = line.size() == textFile::maxLine && line.back() != '\n' && !file_.atEnd();
    if (split && !continues_)
        error(line_, "line longer than " + std::to_string(textFile::maxLine) +
                         " characters (line end included); the game reads the rest of it as "
                         "another line");
    continues_ = split;
    return true;
}

void dataLines::warnTextAfter(const std::string& what) {
    std::string line;
    while (readLine(line)) {
        if (text::firstWord(line).empty()) continue;
        warning(line_, "text after " + what + " is ignored");
        return;
    }
}
