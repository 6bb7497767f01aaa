#include "lineReader.h"

lineReader::lineReader(diagnostics& report, const std::string& path)
    : report_(report), path_(path) {}

bool lineReader::open() {
    line_ = 0;
    continues_ = false;
    report_.reading(path_);
    if (!file_.open(path_)) return false;
    if (file_.hadByteOrderMark())
        report_.note(path_, 1, "the file starts with a UTF-8 byte-order mark; the game skips it");
    return true;
}

bool lineReader::next(std::string& line) {
    if (!file_.readLine(line)) return false;
    if (!continues_) ++line_;
    bool split = line.size() == textFile::maxLine && line.back() != '\n' && !file_.atEnd();
    if (split && !continues_)
        report_.error(path_, line_,
                      "line longer than " + std::to_string(textFile::maxLine) +
                          " characters (line end included); the game reads the rest of it as "
                          "another line");
    continues_ = split;
    return true;
}
