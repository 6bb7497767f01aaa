#include "base/seams.h"

#include "base/escapedText.h"

#include <cstdlib>
#include <iostream>
#include <mutex>
#include <streambuf>
#include <unordered_map>

namespace seams {
namespace {

Uint32 sdlTicks() {
    return SDL_GetTicks();
}
int cRandom() {
    return std::rand();
}

Uint32 (*g_tickSource)() = sdlTicks;
int (*g_randomSource)() = cRandom;
bool (*g_soundGate)(int, const std::string&) = nullptr;

// Standard output is untied from C stdio and given a large buffer once, so a
// busy trace costs a memcpy, not a system call per line.
std::ostream& bufferedStdout() {
    static bool ready = [] {
        std::ios::sync_with_stdio(false);
        return true;
    }();
    (void)ready;
    return std::cout;
}

// Passes what is written on to the stream it stands for, with every control
// byte but the line end written as \xHH: the trace shows names from data
// files, and a name's escape sequence must not reach the terminal.  It keeps
// nothing itself, so the stream behind it always holds all that was written.
class escapingBuffer : public std::streambuf {
  public:
    explicit escapingBuffer(std::ostream& to) : to_(to) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        put(&ch, 1);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        put(s, n);
        return n;
    }
    int sync() override {
        to_.flush();
        return 0;
    }

  private:
    void put(const char* s, std::streamsize n) {
        std::streamsize plain = 0; // start of the bytes not written yet
        for (std::streamsize i = 0; i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            if (c == '\n' || !escapedText::isControl(c)) continue;
            if (i > plain) to_.write(s + plain, i - plain);
            std::string shown;
            escapedText::appendEscaped(shown, c);
            to_.write(shown.data(), static_cast<std::streamsize>(shown.size()));
            plain = i + 1;
        }
        if (n > plain) to_.write(s + plain, n - plain);
    }

    std::ostream& to_;
};

struct shownStream {
    explicit shownStream(std::ostream& to) : buffer(to), stream(&buffer) {}
    escapingBuffer buffer;
    std::ostream stream;
};

// One escaping stream per destination, made the first time the destination
// is installed and kept for the whole run (never freed, so no other stream
// can ever take its address).  The map also takes each escaping stream to
// itself: a caller that kept &trace() and hands it back to setTraceStream
// gets the destination it had.
std::mutex g_shownLock;
std::unordered_map<const std::ostream*, std::ostream*>& shownStreams() {
    static auto* all = new std::unordered_map<const std::ostream*, std::ostream*>;
    return *all;
}

std::ostream* shownFor(std::ostream& destination) {
    std::lock_guard<std::mutex> hold(g_shownLock);
    std::ostream*& shown = shownStreams()[&destination];
    if (!shown) {
        shown = &(new shownStream(destination))->stream;
        shownStreams()[shown] = shown;
    }
    return shown;
}

std::ostream* g_trace = nullptr;  // the escaping stream in use, once made
std::ostream* g_errors = nullptr; // likewise

} // namespace

Uint32 ticks() {
    return g_tickSource();
}
void setTickSource(Uint32 (*source)()) {
    g_tickSource = source ? source : sdlTicks;
}

int rawRandom() {
    return g_randomSource();
}
void setRandomSource(int (*source)()) {
    g_randomSource = source ? source : cRandom;
}

std::ostream& trace() {
    if (!g_trace) g_trace = shownFor(bufferedStdout());
    return *g_trace;
}
void setTraceStream(std::ostream* stream) {
    g_trace = shownFor(stream ? *stream : bufferedStdout());
}

std::ostream& errors() {
    if (!g_errors) g_errors = shownFor(std::cerr);
    return *g_errors;
}
void setErrorStream(std::ostream* stream) {
    g_errors = shownFor(stream ? *stream : std::cerr);
}

bool soundMayStart(int player, const std::string& name) {
    return !g_soundGate || g_soundGate(player, name);
}
void setSoundGate(bool (*gate)(int player, const std::string& name)) {
    g_soundGate = gate;
}

std::ostream& nowhere() {
    class dropAll : public std::streambuf {
      protected:
        int overflow(int c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    };
    static dropAll dropped;
    static std::ostream stream(&dropped);
    return stream;
}

} // namespace seams
