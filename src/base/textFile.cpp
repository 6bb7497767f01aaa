#include "base/textFile.h"

#include "base/platform.h"

#include <cctype>
#include <climits>
#include <cstring>

bool textFile::open(const std::string& path) {
    close();
    file_ = platform::openRegularFile(path);
    eof_ = false;
    lineNumber_ = 0;
    byteOrderMark_ = false;
    if (!file_) return false;
    // Editors on Windows may start a UTF-8 file with a byte-order mark; it
    // is not part of the first line.
    unsigned char start[3] = {0, 0, 0};
    const size_t got = std::fread(start, 1, sizeof start, file_);
    byteOrderMark_ = got == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
    if (!byteOrderMark_) std::rewind(file_);
    return true;
}

void textFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool textFile::readLine(std::string& line) {
    line.clear();
    if (!file_ || eof_) return false;
    char buffer[maxLine + 1];
    if (!std::fgets(buffer, sizeof buffer, file_)) {
        eof_ = true;
        return false;
    }
    line.assign(buffer, std::strlen(buffer));
    ++lineNumber_;
    // Peek so that atEnd() turns true as soon as the last line was read,
    // like a C stream whose read ran into the end of the file.
    int next = std::fgetc(file_);
    if (next == EOF)
        eof_ = true;
    else
        std::ungetc(next, file_);
    return true;
}

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// One "%d": returns false when no digits follow.
bool scanOne(const std::string& text, size_t& pos, int& value) {
    size_t p = pos;
    while (p < text.size() && isBlank(text[p]))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return false;
    long long magnitude = 0;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (text[p] - '0');
        ++p;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) signedValue = INT_MAX;
    if (signedValue < INT_MIN) signedValue = INT_MIN;
    value = static_cast<int>(signedValue);
    pos = p;
    return true;
}

} // namespace

int text::scanInts(const std::string& text, int* out, int count, size_t start) {
    size_t pos = start;
    for (int i = 0; i < count; ++i) {
        int value = 0;
        if (!scanOne(text, pos, value)) return i;
        out[i] = value;
    }
    return count;
}

bool text::isPlainNumber(const std::string& word) {
    size_t i = (!word.empty() && (word[0] == '-' || word[0] == '+')) ? 1 : 0;
    if (i >= word.size()) return false;
    for (; i < word.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
    return true;
}

bool text::scanHeader(const std::string& text, const char* prefix, int& value) {
    size_t length = std::strlen(prefix);
    if (text.compare(0, length, prefix) != 0) return false;
    return text::scanInts(text, &value, 1, length) == 1;
}

std::string text::firstWord(const std::string& text) {
    size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    size_t end = begin;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    return text.substr(begin, end - begin);
}

size_t text::afterFirstWord(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    while (pos < text.size() && !isBlank(text[pos]))
        ++pos;
    return pos;
}

std::vector<std::string> text::splitWords(const std::string& text, size_t maxWords) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (words.size() < maxWords) {
        while (pos < text.size() &&
               (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
        if (pos >= text.size()) break;
        size_t end = pos;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\r' &&
               text[end] != '\n')
            ++end;
        words.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

std::string text::withoutLineEnd(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r'))
        --end;
    return text.substr(0, end);
}

int text::leadingInt(const std::string& text) {
    int value = 0;
    return text::scanInts(text, &value, 1) == 1 ? value : 0;
}
