// The data checker's verdict on a data folder, as the workbench shows it
// after a change: every finding as "file:line: error|warning|note: message",
// the counts, and which findings concern the files that changed.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class dataReport {
  public:
    struct finding {
        std::string file;
        bool error = false;
        std::string text; // as the checker prints it
    };

    std::vector<finding> findings; // in the checker's order
    int errors = 0;
    int warnings = 0;
    int notes = 0;
    std::string summary; // "0 errors, 1 warning, 1 note"

    // Runs the checker on the data folder.  A loader that gives up inside
    // the checker is one more error, with the loader's message.
    static dataReport check(const std::string& dataFolder);

    // The errors that concern the changed paths: those in a file of the
    // same folder as a changed path, or of a folder above it (the index or
    // move file that names it), up to the data folder.
    std::vector<const finding*> errorsAbout(const std::vector<std::string>& changed,
                                            const std::string& dataFolder) const;

    // True when a finding reads exactly so.
    bool has(const std::string& text) const;

    // Every finding, one per line, then the summary.
    void print(std::ostream& out) const;
};
