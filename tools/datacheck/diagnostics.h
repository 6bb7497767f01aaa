// The checker's findings, collected in the order they are found and printed
// the way compilers print theirs: "file:line: error: message".
#pragma once

#include "base/dataLines.h"

#include <ostream>
#include <string>
#include <vector>

enum class severity { error, warning, note };

struct diagnostic {
    std::string file;
    int line = 0; // 0: the file as a whole
    severity level = severity::error;
    std::string message;
};

class diagnostics {
  public:
    void error(const std::string& file, int line, const std::string& message);
    void warning(const std::string& file, int line, const std::string& message);
    void note(const std::string& file, int line, const std::string& message);
    void add(const std::string& file, int line, severity level, const std::string& message);

    // Files are listed in the order they were read: record each as it is.
    void reading(const std::string& file);

    const std::vector<diagnostic>& all() const { return list_; }
    int errors() const { return errors_; }
    int warnings() const { return warnings_; }
    int notes() const { return notes_; }

    // The findings grouped by file (in the order files were read, then
    // first reported) and by line within a file; same-line findings keep their order.
    std::vector<diagnostic> sorted() const;
    // How a data reader's finding is reported.
    static severity levelOf(const finding& found) {
        switch (found.level) {
        case finding::kind::warning:
            return severity::warning;
        case finding::kind::note:
            return severity::note;
        default:
            return severity::error;
        }
    }
    // One finding as printed.
    static std::string format(const diagnostic& d);
    // Names from data files may hold control bytes (an escape sequence would
    // reach the author's terminal): the report shows each as \xHH.
    static bool hasControlBytes(const std::string& text);
    static std::string escaped(const std::string& text);
    // The error for a name that holds control bytes; kind: "move", ...
    void controlBytes(const std::string& file, int line, const std::string& kind,
                      const std::string& name);
    // Every finding (sorted), one per line, then a summary line.
    void print(std::ostream& out) const;
    // All findings as printed (sorted), each ending in '\n'.
    std::string text() const;

  private:
    std::vector<diagnostic> list_;
    std::vector<std::string> files_; // in reading order
    int errors_ = 0;
    int warnings_ = 0;
    int notes_ = 0;
};
