#include "base/countHeader.h"

#include "base/textFile.h"

void countHeader::read(dataLines& lines, const std::string& prefix,
                       const std::string& consequence) {
    prefix_ = prefix;
    announced_ = 0;
    std::string line;
    lines.readLine(line);
    line_ = lines.line();
    read_ = text::scanHeader(line, prefix.c_str(), announced_);
    if (read_) return;
    announced_ = 0;
    lines.error(line_, "first line must be \"" + prefix + " <count>\"; " + consequence);
}

void countHeader::reportHeld(dataLines& lines, size_t held, const std::string& things) const {
    const std::string count = std::to_string(announced_);
    lines.error(line_, "\"" + prefix_ + " " + count + "\" announces " + count + " " + things +
                           " but the file holds " + std::to_string(held));
}
