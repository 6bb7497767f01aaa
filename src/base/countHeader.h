// The count line that opens a list-like data file, "<prefix> <count>"
// ("ANIMS: 12"), read the same way for every such file: the line, its
// editor line, the count, and the findings when the line is not one or when
// the file holds fewer than it announces.
#pragma once

#include "base/dataLines.h"

#include <cstddef>
#include <string>

class countHeader {
  public:
    // Reads the next line of lines (the file's first) as "<prefix> <count>".
    // When it does not read so the count is 0 and the error at that line
    // says so, followed by "; " and what the game does then.
    void read(dataLines& lines, const std::string& prefix, const std::string& consequence);

    // The count announced (0 when the line did not read).
    int announced() const { return announced_; }
    // The editor line of the count line (0 when the file is empty).
    int line() const { return line_; }
    // True when the line read "<prefix> <count>".
    bool wasRead() const { return read_; }

    // The error at the count line: ""<prefix> <n>" announces <n> <things>
    // but the file holds <held>".
    void reportHeld(dataLines& lines, size_t held, const std::string& things) const;

  private:
    std::string prefix_;
    int announced_ = 0;
    int line_ = 0;
    bool read_ = false;
};
