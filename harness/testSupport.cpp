#include "testSupport.h"

#include "base/seams.h"
#include "dataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testing_support {
namespace {
Uint32 g_now = 0;
Uint32 manualTicks() {
    return g_now;
}
} // namespace

ManualClock::ManualClock(Uint32 start) {
    g_now = start;
    seams::setTickSource(manualTicks);
}
ManualClock::~ManualClock() {
    seams::setTickSource(nullptr);
}
void ManualClock::set(Uint32 now) {
    g_now = now;
}
void ManualClock::advance(Uint32 ms) {
    g_now += ms;
}
Uint32 ManualClock::now() const {
    return g_now;
}

TraceCapture::TraceCapture() {
    seams::setTraceStream(&out_);
    seams::setErrorStream(&err_);
}
TraceCapture::~TraceCapture() {
    seams::setTraceStream(nullptr);
    seams::setErrorStream(nullptr);
}
void TraceCapture::clear() {
    out_.str("");
    err_.str("");
}

TempDir::TempDir() {
    char pattern[] = "/tmp/fighter-test-XXXXXX";
    char* made = mkdtemp(pattern);
    if (!made) throw std::runtime_error("mkdtemp failed");
    path_ = made;
}
TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
void TempDir::mkdir(const std::string& rel) const {
    std::filesystem::create_directories(path_ + "/" + rel);
}
void TempDir::write(const std::string& rel, const std::string& content) const {
    writeFile(path_ + "/" + rel, content);
}
void TempDir::writeBmp(const std::string& rel, int w, int h, Uint32 rgb) const {
    testing_support::writeBmp(path_ + "/" + rel, w, h, rgb);
}

HeadlessScreen::HeadlessScreen() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) throw std::runtime_error(SDL_GetError());
    screen_ = SDL_SetVideoMode(800, 600, 32, SDL_HWPALETTE);
    if (!screen_) throw std::runtime_error(SDL_GetError());
}
HeadlessScreen::~HeadlessScreen() {
    SDL_Quit();
}

Uint32 rgbAt(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    Uint32 pixel = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                              y * surface->pitch + x * 4);
    SDL_UnlockSurface(surface);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return (Uint32(r) << 16) | (Uint32(g) << 8) | b;
}

Uint32 drawnPixel(SDL_Surface* target, SDL_Surface* image, Uint32 background, int x, int y) {
    SDL_Rect under = {0, 0, static_cast<Uint16>(image->w), static_cast<Uint16>(image->h)};
    SDL_FillRect(
        target, &under,
        SDL_MapRGB(target->format, background >> 16, (background >> 8) & 0xFF, background & 0xFF));
    SDL_BlitSurface(image, nullptr, target, nullptr);
    return rgbAt(target, x, y);
}

namespace {
std::vector<int> g_script;
size_t g_nextRandom = 0;
int scriptedRandom() {
    if (g_script.empty()) return 0;
    return g_script[g_nextRandom++ % g_script.size()];
}
} // namespace

void scriptRandom(std::vector<int> values) {
    g_script = std::move(values);
    g_nextRandom = 0;
    seams::setRandomSource(scriptedRandom);
}

RandomReset::~RandomReset() {
    seams::setRandomSource(nullptr);
}

std::string sourceDir() {
    return FIGHTER_SOURCE_DIR;
}

std::string shownFindings(const std::vector<finding>& findings) {
    std::string text;
    for (const finding& f : findings)
        text += std::to_string(f.line) + ": " + f.message + "\n";
    return text;
}

namespace {
void throwFatalStop(const std::string& message, fatal::Channel channel) {
    throw FatalStop{message, channel};
}
} // namespace

CatchFatalStops::CatchFatalStops() {
    fatal::setHandler(throwFatalStop);
}
CatchFatalStops::~CatchFatalStops() {
    fatal::setHandler(nullptr);
}

} // namespace testing_support
