#include "diagnostics.h"

void diagnostics::error(const std::string& file, int line, const std::string& message) {
    add(file, line, severity::error, message);
}

void diagnostics::warning(const std::string& file, int line, const std::string& message) {
    add(file, line, severity::warning, message);
}

void diagnostics::note(const std::string& file, int line, const std::string& message) {
    add(file, line, severity::note, message);
}

void diagnostics::add(const std::string& file, int line, severity level,
                      const std::string& message) {
    list_.push_back({file, line, level, message});
    if (level == severity::error) ++errors_;
    if (level == severity::warning) ++warnings_;
    if (level == severity::note) ++notes_;
}

std::string diagnostics::format(const diagnostic& d) {
    std::string out = d.file;
    if (d.line > 0) out += ":" + std::to_string(d.line);
    switch (d.level) {
    case severity::error: out += ": error: "; break;
    case severity::warning: out += ": warning: "; break;
    case severity::note: out += ": note: "; break;
    }
    return out + d.message;
}

void diagnostics::print(std::ostream& out) const {
    for (const diagnostic& d : list_) out << format(d) << '\n';
    out << errors_ << (errors_ == 1 ? " error, " : " errors, ") << warnings_
        << (warnings_ == 1 ? " warning, " : " warnings, ") << notes_
        << (notes_ == 1 ? " note" : " notes") << '\n';
}

std::string diagnostics::text() const {
    std::string out;
    for (const diagnostic& d : list_) out += format(d) + "\n";
    return out;
}
