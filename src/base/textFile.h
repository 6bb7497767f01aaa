// Reading the game's plain-text data files.  Every loader reads its file line
// by line with the same rules: at most 254 characters per read (a longer line
// is split and its rest is the next line), line ends kept exactly as stored
// (a Windows "\r\n" stays in the text), and numbers read the way "%d" reads
// them but without any fixed-size buffer or overflow.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class textFile {
  public:
    static constexpr size_t maxLine = 254;

    textFile() = default;
    explicit textFile(const std::string& path) { open(path); }
    ~textFile() { close(); }
    textFile(const textFile&) = delete;
    textFile& operator=(const textFile&) = delete;

    // Only a regular file opens (a directory or a FIFO does not); a UTF-8
    // byte-order mark at its start is skipped.
    bool open(const std::string& path);
    // True when the open file started with a UTF-8 byte-order mark.
    bool hadByteOrderMark() const { return byteOrderMark_; }
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // Read the next line (up to 254 characters, line end included).
    // False at end of file, with line left empty.
    bool readLine(std::string& line);
    // True once a read has met the end of the file.
    bool atEnd() const { return eof_; }
    // Number of lines handed out so far (the current line's number).
    int lineNumber() const { return lineNumber_; }

  private:
    std::FILE* file_ = nullptr;
    bool eof_ = false;
    int lineNumber_ = 0;
    bool byteOrderMark_ = false;
};

// The words and numbers of a line, read as the game has always read them.
namespace text {

// Parse up to `count` integers the way sscanf("%d %d ...") does: each skips
// leading white space, takes an optional sign and decimal digits.  Values out
// of int range are clamped.  Returns how many were read before the first
// mismatch; the outputs after that are left untouched.
int scanInts(const std::string& text, int* out, int count, size_t start = 0);

// "FILES: %d" and friends: true and the number when text starts with prefix
// (exactly) followed by an integer.
bool scanHeader(const std::string& text, const char* prefix, int& value);

// True when the word is a sign and digits only, as an author writes a
// number ("12px" is not one, though "%d" reads 12 from it).
bool isPlainNumber(const std::string& word);

// The first blank-delimited word, as "%s" reads it ("" when there is none).
std::string firstWord(const std::string& text);
// Position just after the first word (for reading the numbers that follow).
size_t afterFirstWord(const std::string& text);

// Split into at most maxWords words on blanks, tabs, carriage returns and
// line feeds.
std::vector<std::string> splitWords(const std::string& text, size_t maxWords);

// The text without its trailing "\n" / "\r\n" / "\r".
std::string withoutLineEnd(const std::string& text);

// Whole-text decimal number as atoi reads it (0 when not a number).
int leadingInt(const std::string& text);

} // namespace text
