#include "base/writtenText.h"

#include "base/textFile.h"

#include <stdexcept>
#include <string>

namespace {

std::string tooLong(const std::string& what, const std::string& text) {
    if (text.size() < textFile::maxLine) return "";
    return what + " longer than " + std::to_string(textFile::maxLine - 1) + " characters";
}

} // namespace

namespace writtenText {

std::string word(const std::string& what, const std::string& text) {
    if (text.find('\0') != std::string::npos) return what + " holds a NUL byte";
    if (text.empty() || text::firstWord(text) != text)
        return what + " \"" + text + "\" is not one word";
    return tooLong(what, text);
}

std::string line(const std::string& what, const std::string& text) {
    if (text.find('\0') != std::string::npos) return what + " holds a NUL byte";
    if (text.find_first_of("\r\n") != std::string::npos)
        return what + " \"" + text + "\" holds a line end";
    return tooLong(what, text);
}

void refuse(const std::string& problem) {
    if (!problem.empty()) throw std::invalid_argument(problem);
}

void refuse(const std::string& record, std::size_t number, const std::string& problem) {
    if (!problem.empty())
        throw std::invalid_argument(record + " " + std::to_string(number) + ": " + problem);
}

} // namespace writtenText
