// A character's move file, "moveset": a line "ANIMS: <count>", then one
// record of eleven lines per move, with nothing between records:
//
//   1 name        the move's name, also its frame folder's
//   2 command     the key letters, the last one the button that completes it
//   3 reserved    a number, not used
//   4 linkMove    the move this one is queued behind, NULL for none
//   5 linkFrame   from which frame of linkMove
//   6 reserved
//   7 fromMove    the move that must be running, NULL: none may run
//   8 fromFrame   from which frame of fromMove
//   9 reserved
//  10 reserved
//  11 condition   the whole line, blanks kept; null for none
//
// A word line gives its first word, a number line the number it starts
// with.  The move set reads the file here, the data checker reads it here
// for the findings too, and the data generator writes it here, so what is
// written is what is read.
#pragma once

#include "base/countHeader.h"
#include "base/dataLines.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One record as the file gives it.  Made by hand (to be written), it is a
// plain move; read from a file, every text starts empty and holds what its
// line gave, so a damaged record never matches a move or a condition.
struct moveEntry {
    std::string name;
    std::string command;
    std::string linkMove = "NULL";
    int32_t linkFrame = 0;
    std::string fromMove = "NULL";
    int32_t fromFrame = 0;
    std::string condition = "null";

    // Where the record stands in the file (editor lines), when read.
    int line = 0; // the name line
    int commandLine = 0, linkLine = 0, fromLine = 0, conditionLine = 0;
    bool complete = false; // all eleven lines were there
};

class moveFile {
  public:
    // Opens characterFolder/moveset and reads its count line.  False when
    // the file cannot be opened.
    bool open(const std::string& characterFolder);
    const std::string& path() const { return lines_.path(); }
    // The moves the first line announces (0 when it is not "ANIMS: <n>").
    int announced() const { return header_.announced(); }
    int headerLine() const { return header_.line(); }
    bool headerRead() const { return header_.wasRead(); }

    // Reads the next record.  A record cut short by the end of the file
    // keeps what it read.  False when the file ends before another record's
    // name line, and once the announced records have been read.
    bool next(moveEntry& entry);
    // After the announced records: reports text that follows them.
    void finish();

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // The whole file for these records, in this order.  A record that would
    // not be read back as written is refused: std::invalid_argument, with
    // the record's number and what unreadable() says.
    static std::string text(const std::vector<moveEntry>& moves);
    // The eleven lines of one record, refused the same way.
    static std::string recordText(const moveEntry& move);
    // Why the record would not be read back as written ("" when it would):
    // a name, command or move reference that is not one word, a condition
    // holding a line end or a NUL byte, a line too long for the reader.
    static std::string unreadable(const moveEntry& move);

  private:
    bool recordLine(std::string& line, const char* what);
    void word(std::string& field, int& at, const char* what);
    void number(int32_t* field, const char* what);

    dataLines lines_;
    countHeader header_;
    bool cut_ = false;   // the file ended inside a record
    bool ended_ = false; // the file ended before a record began
    std::string where_;  // "move <n> "<name>": " for the record being read
    std::vector<std::pair<std::string, int>> names_; // names read so far, with their lines
};
