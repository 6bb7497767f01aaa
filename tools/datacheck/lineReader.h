// Reads a data file exactly as the game's loaders do (textFile: at most 254
// characters per read, line ends kept) while keeping the number of the line
// as the author sees it in an editor.  A line too long for the game is read
// in pieces, as the game reads it, and reported once.
#pragma once

#include "base/textFile.h"
#include "diagnostics.h"

#include <string>

class lineReader {
  public:
    lineReader(diagnostics& report, const std::string& path);

    bool open();
    const std::string& path() const { return path_; }

    // The next piece the game would read; false at the end of the file.
    bool next(std::string& line);
    // True once a read has met the end of the file (as the game sees it).
    bool atEnd() const { return file_.atEnd(); }
    // The editor line of the piece read last (the last line after the end).
    int line() const { return line_; }

  private:
    diagnostics& report_;
    std::string path_;
    textFile file_;
    int line_ = 0;
    bool continues_ = false; // the last piece did not end its line
};
