// The fast background copy and the fast bar fill must do exactly what
// SDL_BlitSurface and SDL_FillRect do: the same pixels, the same clipping,
// the same rectangle written back.
#include "sprite/copyBlit.h"
#include "sprite/flipper.h"
#include "sprite/opaqueRuns.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

SDL_Surface* patterned(int w, int h, Uint32 seed) {
    SDL_Surface* s = SDL_DisplayFormat(SDL_GetVideoSurface());
    SDL_Surface* sized = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, s->format->Rmask,
                                              s->format->Gmask, s->format->Bmask, 0);
    SDL_FreeSurface(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            flipper::put_pixel32(sized, x, y, (x * 2654435761u + y * 40503u) ^ seed);
    return sized;
}

bool samePixels(SDL_Surface* a, SDL_Surface* b) {
    for (int y = 0; y < a->h; ++y)
        if (std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch,
                        static_cast<Uint8*>(b->pixels) + y * b->pitch, a->w * 4) != 0)
            return false;
    return true;
}

} // namespace

TEST(CopyBlit, MatchesSdlBlitForClippedAndUnclippedRectangles) {
    testing_support::HeadlessScreen sdl;
    SDL_Surface* source = patterned(120, 90, 0x1234);
    const int cases[][6] = {
        // source x, y, w, h, target x, y
        {0, 0, 120, 90, 10, 10},   {0, 0, 120, 90, -30, -20}, {10, 5, 60, 40, 250, 180},
        {-15, -7, 70, 50, 5, 5},   {100, 80, 50, 50, 0, 0},   {0, 0, 120, 90, 290, 220},
        {0, 0, 120, 90, 400, 400}, {30, 30, 0, 10, 3, 3},     {0, 0, 120, 90, -200, 0}};
    for (const auto& c : cases) {
        SDL_Surface* viaSdl = patterned(320, 240, 0xBEEF);
        SDL_Surface* viaCopy = patterned(320, 240, 0xBEEF);
        SDL_Rect from{Sint16(c[0]), Sint16(c[1]), Uint16(c[2]), Uint16(c[3])};
        SDL_Rect fromCopy = from;
        SDL_Rect to{Sint16(c[4]), Sint16(c[5]), 0, 0};
        SDL_Rect toCopy = to;
        int a = SDL_BlitSurface(source, &from, viaSdl, &to);
        int b = blit::copyBlit(source, &fromCopy, viaCopy, &toCopy);
        EXPECT_EQ(a, b);
        EXPECT_TRUE(samePixels(viaSdl, viaCopy)) << "case at " << c[4] << "," << c[5];
        EXPECT_EQ(to.x, toCopy.x);
        EXPECT_EQ(to.y, toCopy.y);
        EXPECT_EQ(to.w, toCopy.w);
        EXPECT_EQ(to.h, toCopy.h);
        SDL_FreeSurface(viaSdl);
        SDL_FreeSurface(viaCopy);
    }
    // A keyed source is left to SDL: transparent pixels stay transparent.
    SDL_SetColorKey(source, SDL_SRCCOLORKEY, flipper::get_pixel32(source, 0, 0));
    SDL_Surface* viaSdl = patterned(320, 240, 0x77);
    SDL_Surface* viaCopy = patterned(320, 240, 0x77);
    EXPECT_EQ(SDL_BlitSurface(source, nullptr, viaSdl, nullptr),
              blit::copyBlit(source, nullptr, viaCopy, nullptr));
    EXPECT_TRUE(samePixels(viaSdl, viaCopy));
    SDL_FreeSurface(viaSdl);
    SDL_FreeSurface(viaCopy);
    SDL_FreeSurface(source);
}

namespace {

SDL_Surface* plainPattern(int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            flipper::put_pixel32(s, x, y, x * 2654435761u + y * 40503u);
    return s;
}

} // namespace

// The bars' fill must do exactly what SDL_FillRect does: the same pixels,
// the same clipping, the same rectangle written back.
TEST(RowFill, MatchesSdlFillRectForClippedAndUnclippedRectangles) {
    testing_support::HeadlessScreen sdl;
    const int cases[][4] = {{10, 5, 360, 20},  {-30, -20, 100, 50}, {300, 200, 100, 100},
                            {0, 0, 320, 240},  {50, 50, 0, 10},     {400, 10, 20, 20},
                            {-500, 0, 20, 20}, {319, 239, 1, 1}};
    for (bool clipped : {false, true})
        for (const auto& c : cases) {
            SDL_Surface* viaSdl = plainPattern(320, 240);
            SDL_Surface* viaRows = plainPattern(320, 240);
            if (clipped) {
                SDL_Rect clip{20, 30, 200, 150};
                SDL_SetClipRect(viaSdl, &clip);
                SDL_SetClipRect(viaRows, &clip);
            }
            SDL_Rect a{Sint16(c[0]), Sint16(c[1]), Uint16(c[2]), Uint16(c[3])};
            SDL_Rect b = a;
            EXPECT_EQ(SDL_FillRect(viaSdl, &a, 0xFF3300), blit::rowFill(viaRows, &b, 0xFF3300));
            EXPECT_TRUE(samePixels(viaSdl, viaRows)) << c[0] << "," << c[1];
            if (a.w && a.h) { // SDL leaves an empty rectangle's fields unspecified
                EXPECT_EQ(a.x, b.x);
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.w, b.w);
                EXPECT_EQ(a.h, b.h);
            }
            // No rectangle: the whole clip rectangle.
            EXPECT_EQ(SDL_FillRect(viaSdl, nullptr, 0x123456),
                      blit::rowFill(viaRows, nullptr, 0x123456));
            EXPECT_TRUE(samePixels(viaSdl, viaRows));
            SDL_FreeSurface(viaSdl);
            SDL_FreeSurface(viaRows);
        }
}

namespace {

// A keyed frame in the screen's layout, like a character's: a blob of
// distinct colours on the key, and above it rows of every other kind (all
// key, no key, alternating, key at both ends, runs of three).
SDL_Surface* keyedFrame(int w, int h, Uint32 key) {
    SDL_Surface* s = patterned(w, h, 0x5A5A);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h * 0.6) / (h * 0.4);
            bool transparent = dx * dx + dy * dy > 1;
            if (y == 0) transparent = true;
            if (y == 1) transparent = false;
            if (y == 2) transparent = x % 2 == 0;
            if (y == 3) transparent = x < 3 || x > w - 4;
            if (y == 4) transparent = (x / 3) % 2 == 1;
            flipper::put_pixel32(s, x, y,
                                 transparent ? key : flipper::get_pixel32(s, x, y) & 0xFFFFFF);
        }
    SDL_SetColorKey(s, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
    return s;
}

// The same pixels, key and surface alpha in a surface of its own, for SDL to
// draw (SDL may keep only its run-length copy of a surface it has drawn).
SDL_Surface* copyForSdl(SDL_Surface* frame) {
    SDL_Surface* copy =
        SDL_CreateRGBSurface(SDL_SWSURFACE, frame->w, frame->h, 32, frame->format->Rmask,
                             frame->format->Gmask, frame->format->Bmask, frame->format->Amask);
    SDL_LockSurface(frame);
    for (int y = 0; y < frame->h; ++y)
        for (int x = 0; x < frame->w; ++x)
            flipper::put_pixel32(copy, x, y, flipper::get_pixel32(frame, x, y));
    SDL_UnlockSurface(frame);
    if (frame->flags & SDL_SRCCOLORKEY)
        SDL_SetColorKey(copy, SDL_SRCCOLORKEY | SDL_RLEACCEL, frame->format->colorkey);
    if (frame->flags & SDL_SRCALPHA) SDL_SetAlpha(copy, SDL_SRCALPHA, frame->format->alpha);
    return copy;
}

// Draws `frame` with its runs and SDL's copy of it with SDL_BlitSurface at
// each place, on equal screens, with and without a clip rectangle; every
// pixel and the rectangle written back must agree.
void expectDrawsLikeSdl(SDL_Surface* frame, const opaqueRuns& runs, const char* what) {
    SDL_Surface* sdlCopy = copyForSdl(frame);
    const int places[][2] = {{10, 10}, {-5, -3}, {300, 230}, {-30, 100}, {100, -40}, {310, 10},
                             {-50, 0}, {0, 239}, {319, 0},   {400, 400}, {-600, 5},  {150, 120}};
    for (bool clipped : {false, true})
        for (const auto& p : places) {
            SDL_Surface* viaSdl = patterned(320, 240, 0xBEEF);
            SDL_Surface* viaRuns = patterned(320, 240, 0xBEEF);
            if (clipped) {
                SDL_Rect clip{20, 30, 200, 150};
                SDL_SetClipRect(viaSdl, &clip);
                SDL_SetClipRect(viaRuns, &clip);
            }
            SDL_Rect a{Sint16(p[0]), Sint16(p[1]), 0, 0};
            SDL_Rect b = a;
            EXPECT_EQ(SDL_BlitSurface(sdlCopy, nullptr, viaSdl, &a), runs.blit(frame, viaRuns, &b));
            EXPECT_TRUE(samePixels(viaSdl, viaRuns))
                << what << " at " << p[0] << "," << p[1] << (clipped ? " clipped" : "");
            if (a.w && a.h) {
                EXPECT_EQ(a.x, b.x);
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.w, b.w);
                EXPECT_EQ(a.h, b.h);
            } else {
                EXPECT_EQ(0, b.w * b.h);
            }
            SDL_FreeSurface(viaSdl);
            SDL_FreeSurface(viaRuns);
        }
    SDL_FreeSurface(sdlCopy);
}

} // namespace

// A keyed frame drawn from its opaque runs shows exactly what SDL's keyed
// blit shows, facing either way, cut at every edge of the screen and of a
// clip rectangle; the frame's pixels are never handed to SDL.
TEST(OpaqueRuns, DrawExactlyWhatSdlsKeyedBlitDraws) {
    testing_support::HeadlessScreen sdl;
    const Uint32 key = 0xFF00FF;
    SDL_Surface* frame = keyedFrame(61, 47, key);
    SDL_Surface* mirror = flipper::flip_surface(frame);
    ASSERT_NE(nullptr, mirror);
    const opaqueRuns right = opaqueRuns::of(frame), left = opaqueRuns::of(mirror);
    ASSERT_TRUE(right.known());
    ASSERT_TRUE(left.known());
    EXPECT_EQ(right.runCount(), left.runCount());
    expectDrawsLikeSdl(frame, right, "facing right");
    expectDrawsLikeSdl(mirror, left, "facing left");
    // The runs drew it all: SDL never made its run-length copy of the frame.
    EXPECT_FALSE(SDL_MUSTLOCK(frame));
    EXPECT_NE(nullptr, frame->pixels);
    SDL_FreeSurface(mirror);
    SDL_FreeSurface(frame);
}

// Frames the runs cannot stand for are drawn by SDL, with the same result:
// no colour key, scattered dots whose runs would outgrow a tenth of the
// pixels, a key changed or surface alpha set after the runs were worked out,
// and the game switched to SDL's drawing.
TEST(OpaqueRuns, FramesTheRunsCannotStandForAreDrawnBySdl) {
    testing_support::HeadlessScreen sdl;
    const Uint32 key = 0x00FF00;

    SDL_Surface* plain = patterned(40, 20, 0x99);
    EXPECT_FALSE(opaqueRuns::of(plain).known());
    EXPECT_FALSE(opaqueRuns::of(nullptr).known());
    SDL_FreeSurface(plain);

    SDL_Surface* dots = patterned(40, 20, 0x42);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            flipper::put_pixel32(
                dots, x, y, (x + y) % 2 == 0 ? key : flipper::get_pixel32(dots, x, y) & 0xFFFFFF);
    SDL_SetColorKey(dots, SDL_SRCCOLORKEY, key);
    const opaqueRuns scattered = opaqueRuns::of(dots);
    EXPECT_FALSE(scattered.known());
    expectDrawsLikeSdl(dots, scattered, "scattered dots");
    SDL_FreeSurface(dots);

    SDL_Surface* frame = keyedFrame(50, 40, key);
    // Read now: once SDL has drawn the frame it may keep only its own copy.
    const Uint32 anotherKey = flipper::get_pixel32(frame, 5, 1);
    const opaqueRuns runs = opaqueRuns::of(frame);
    ASSERT_TRUE(runs.known());
    EXPECT_LE(runs.bytes() * 10, static_cast<size_t>(50 * 40 * 4));
    blit::setSdlDrawingOnly(true);
    expectDrawsLikeSdl(frame, runs, "SDL's drawing only");
    blit::setSdlDrawingOnly(false);
    SDL_SetColorKey(frame, SDL_SRCCOLORKEY, anotherKey);
    expectDrawsLikeSdl(frame, runs, "another key");
    SDL_SetColorKey(frame, SDL_SRCCOLORKEY, key);
    SDL_SetAlpha(frame, SDL_SRCALPHA, 128);
    expectDrawsLikeSdl(frame, runs, "surface alpha");
    SDL_FreeSurface(frame);
}
