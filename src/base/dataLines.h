// A data file read line by line exactly as the loaders read it (textFile:
// at most 254 characters per read, line ends kept), keeping also what an
// author needs to hear about it: the number of the line as an editor shows
// it, and the problems the file's reader finds, each at its line.  The game
// goes by the values read and ignores the findings; the data checker prints
// them.
#pragma once

#include "base/textFile.h"

#include <string>
#include <vector>

// One problem found in a data file.  Line 0 means the file as a whole.
struct finding {
    enum class kind {
        error,   // the game goes wrong, or not as the author meant
        warning, // the game reads it, but likely not as meant
        note     // harmless, but worth knowing
    };
    int line = 0;
    kind level = kind::error;
    std::string message;
};

class dataLines {
  public:
    bool open(const std::string& path);
    const std::string& path() const { return path_; }

    // The next piece the game reads (up to 254 characters, line end kept);
    // false, with line empty, at the end of the file.  A line too long for
    // one read is reported once.
    bool readLine(std::string& line);
    // True once a read has met the end of the file.
    bool atEnd() const { return file_.atEnd(); }
    // The editor line of the piece read last.
    int line() const { return line_; }

    void error(int line, const std::string& message) {
        found_.push_back({line, finding::kind::error, message});
    }
    void warning(int line, const std::string& message) {
        found_.push_back({line, finding::kind::warning, message});
    }
    void note(int line, const std::string& message) {
        found_.push_back({line, finding::kind::note, message});
    }
    const std::vector<finding>& findings() const { return found_; }

    // Reads on past blank lines; the first line that holds a word gets the
    // warning "text after <what> is ignored" (what the file was meant to
    // hold ends there).
    void warnTextAfter(const std::string& what);

  private:
    textFile file_;
    std::string path_;
    int line_ = 0;
    bool continues_ = false; // the last piece did not end its line
    std::vector<finding> found_;
};
