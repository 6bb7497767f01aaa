// The checks the writers beside the data readers make before they write a
// value: each gives "" when the reader reads the value back exactly as
// given, and otherwise says why it would not (the writers then refuse the
// record with std::invalid_argument, so no file is written that reads back
// as something else).  Lines are read as textFile reads them: at most 253
// characters before the line end, up to a NUL byte.
#pragma once

#include <cstddef>
#include <string>

namespace writtenText {

// A value written as the only word of its line and read as the line's first
// word: something, without blanks or NUL bytes, short enough for one read.
// "<what> holds a NUL byte", "<what> "<text>" is not one word",
// "<what> longer than 253 characters".
std::string word(const std::string& what, const std::string& text);

// A value written as a whole line and read back without its line end: no
// line end or NUL byte inside, short enough for one read.
// "<what> holds a NUL byte", "<what> "<text>" holds a line end",
// "<what> longer than 253 characters".
std::string line(const std::string& what, const std::string& text);

// Throws std::invalid_argument(problem) unless problem is "".
void refuse(const std::string& problem);
// The same for the number-th record of a list, the message then saying
// which: "<record> <number>: <problem>".
void refuse(const std::string& record, std::size_t number, const std::string& problem);

} // namespace writtenText
