// The particle list, a file in data/particle/ ("default"): a line
// "PARTS: <count>", then one definition a line, "folder [number]": the
// definition's folder in data/particle/, which is also its name (the name
// spawn lines use), and a number that is kept and not used.  A third word is
// ignored.  Every line after the first counts as one of the announced
// definitions, blank ones too.
//
// The particle definitions and the data checker read lists here: the
// definitions take the entries, the checker also their lines and the
// findings.  The data generator writes lists from the same entries.
#pragma once

#include "base/countHeader.h"
#include "base/dataLines.h"

#include <string>
#include <utility>
#include <vector>

struct listedParticle {
    listedParticle() = default;
    listedParticle(std::string name, int number) : name(std::move(name)), number(number) {}

    std::string name; // the line's first word ("" for a blank line)
    int number = 0;   // the list number
    // Filled in by reading:
    std::string text;   // the line as read, line end kept
    std::string folder; // the folder the definition is loaded from
    int line = 0;
};

class particleListFile {
  public:
    // Opens folder + listName (folder ends in '/': the definitions' folders
    // are inside it) and reads the count line.  False when the list cannot
    // be opened.
    bool open(const std::string& folder, const std::string& listName);
    const std::string& path() const { return lines_.path(); }
    // The definitions the first line announces (0 when it is not "PARTS: <n>").
    int announced() const { return header_.announced(); }

    // Reads the announced entries, as many as the file has lines for.
    const std::vector<listedParticle>& readEntries();
    // After the entries: reports text that follows them.
    void finish();

    const std::vector<finding>& findings() const { return lines_.findings(); }

    // A definition's line as a definition reads it, the list's folder glued
    // to the line of the list ("data/particle/spark 1"), in words: the
    // definition's folder, the list number and a third word nobody reads.
    // A line that starts with a blank so names the list's folder itself.
    static std::vector<std::string> definitionWords(const std::string& definitionLine);

    // The list's text for these entries (name and number each), which
    // readEntries() gives back.  An entry that would not be read back so is
    // refused: std::invalid_argument, with its number and what unreadable()
    // says.
    static std::string write(const std::vector<listedParticle>& entries);
    // Why the entry would not be read back as written ("" when it would): a
    // name that is not one word, or a line too long for one read.
    static std::string unreadable(const listedParticle& entry);

  private:
    dataLines lines_;
    std::string folder_;
    countHeader header_;
    std::vector<listedParticle> entries_;
};
