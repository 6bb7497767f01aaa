// The hostile corpus: small broken variants of the shipped data, each with
// what the game must do with it and what the checker must say.  Every case
// starts from a copy of data/ and damages one thing, the way a careless or
// hostile character pack would.  The corpus test plays each one; any other
// test that compares the game and the checker can walk the same list.
#pragma once

#include <string>
#include <vector>

namespace hostile {

// A copy of the shipped data under a folder of its own, and the ways a
// case damages it.  Paths are relative to its data/ folder.
class dataCopy {
  public:
    // Copies source/data to root/data.
    dataCopy(const std::string& source, const std::string& root);
    std::string path(const std::string& rel) const { return root_ + "/data/" + rel; }

    std::string read(const std::string& rel) const;
    void write(const std::string& rel, const std::string& bytes) const;
    // Replace line n (1-based) of a text file, keeping the others.
    void setLine(const std::string& rel, int n, const std::string& text) const;
    // Put a line before line n (1-based).
    void insertLine(const std::string& rel, int n, const std::string& text) const;
    void remove(const std::string& rel) const;
    // Put a FIFO, a folder or a symbolic link where a file was.
    void fifo(const std::string& rel) const;
    void folder(const std::string& rel) const;
    void link(const std::string& rel, const std::string& target) const;

  private:
    std::string root_;
};

enum class outcome {
    runs, // start-up and a few thousand passes, with no sanitizer report
    stops // exit code 1 after start-up's last words
};

struct hostileCase {
    const char* name;
    void (*damage)(const dataCopy& data);
    outcome game;
    // Text the game's trace holds (runs), or the last words before the exit
    // (stops); it names the file.  Empty: nothing in particular.
    const char* gameSays;
    // A line of the checker's report on data/ (paths start with "data/");
    // empty: the checker finds nothing beyond its findings on the shipped
    // data (the game handles it as it should, and so may the author).
    const char* checkerSays;
    // Played from a working directory whose path is longer than the system
    // lets a program read back, with data/ there.
    bool deepDirectory = false;
    // Played with the address space held to what the test had at the start
    // plus the frames' memory budget and 100 MB (not under AddressSanitizer,
    // which reserves terabytes of it).
    bool memoryLimit = false;
};

const std::vector<hostileCase>& cases();
// The case of that name; std::invalid_argument when there is none.
const hostileCase& named(const std::string& name);

// A 1-bit bitmap of w x h pixels, all of colour 0.
std::string bitmap1(unsigned w, unsigned h);

// A frame index of entries like the first of Tavro/punch, one per bitmap
// line given ("file pause red green blue").
std::string frameIndexOf(const dataCopy& data, const std::vector<std::string>& bitmapLines);

// n particle definitions c0 .. c(n-1) without frames, each spawning the next
// as it dies, the first spawned by the fireball.  Thousands of folders: the
// corpus test makes it in memory-backed storage where there is some.
void longSpawnChain(const dataCopy& data, int n);

// WAV bytes with chosen format fields (16-bit mono 22,050 Hz PCM by default).
std::string wav(unsigned tag = 1, unsigned channels = 1, unsigned rate = 22050,
                unsigned blockAlign = 2, unsigned bits = 16, const std::string& extra = "",
                const std::string& data = std::string(64, '\0'));

} // namespace hostile
