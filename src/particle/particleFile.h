// A particle definition's file "particle", beside its frame index: five
// numbers, one a line (alpha, lifetime in milliseconds, gravity, two flags),
// then five event lists, each a count line followed by that many entries:
// OnDeath, OnHitPlayer, OnHitEnemy, OnHitTarget, OnHitAlly.  An entry is a
// spawn line "name [dx [dy]]" or NULL.
//
// The particle definitions and the data checker read the file here: the
// definition takes the values, the checker also their lines and the
// findings.  The data generator writes it from the same record.
#pragma once

#include "base/dataLines.h"

#include <string>
#include <vector>

// Event lists, in the order the particle file holds them.
enum particleEvent { OnDeath = 0, OnHitPlayer, OnHitEnemy, OnHitTarget, OnHitAlly, eventKinds };

struct particleRecord {
    int alpha = 0;
    int lifetime = 0; // milliseconds; <= 0: no limit
    int gravity = 0;  // 1: the particle falls
    int flagA = 0, flagB = 0;
    std::vector<std::string> events[eventKinds]; // entries, line ends removed
};

class particleFile {
  public:
    // The lists' names as authors know them ("OnDeath", ...).
    static const char* eventName(int event);

    // Opens folder/particle.  False when it cannot be opened.
    bool open(const std::string& folder);
    const std::string& path() const { return lines_.path(); }

    // Reads the file into record.  A line that holds no number leaves its
    // value as it was; the values and lists the file ends before keep what
    // record held.  A list holds only the entries the file has, however
    // large its count.
    void read(particleRecord& record);
    // After the lists: reports text that follows them.
    void finish();

    // Where the values stand (editor lines; 0 when the file ends before).
    int valueLine(int value) const { return valueLines_[value]; } // 0 alpha ... 4 the second flag
    int countLine(int event) const { return countLines_[event]; }
    const std::vector<int>& entryLines(int event) const { return entryLines_[event]; }

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The file's text for a record, which read() gives back as it was.  A
    // record that would not be read back so is refused: std::invalid_argument
    // with what unreadable() says.
    static std::string write(const particleRecord& record);
    // Why the record would not be read back as written ("" when it would):
    // an event entry holding a line end or a NUL byte, or too long for one
    // read.
    static std::string unreadable(const particleRecord& record);

  private:
    bool number(int& value, const std::string& what);

    dataLines lines_;
    int valueLines_[5] = {0, 0, 0, 0, 0};
    int countLines_[eventKinds] = {0, 0, 0, 0, 0};
    std::vector<int> entryLines_[eventKinds];
};
