// The fast background copy and the fast bar fill must do exactly what
// SDL_BlitSurface and SDL_FillRect do: the same pixels, the same clipping,
// the same rectangle written back.
#include "sprite/copyBlit.h"
#include "sprite/flipper.h"
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
            put_pixel32(sized, x, y, (x * 2654435761u + y * 40503u) ^ seed);
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
        int b = copyBlit(source, &fromCopy, viaCopy, &toCopy);
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
    SDL_SetColorKey(source, SDL_SRCCOLORKEY, get_pixel32(source, 0, 0));
    SDL_Surface* viaSdl = patterned(320, 240, 0x77);
    SDL_Surface* viaCopy = patterned(320, 240, 0x77);
    EXPECT_EQ(SDL_BlitSurface(source, nullptr, viaSdl, nullptr),
              copyBlit(source, nullptr, viaCopy, nullptr));
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
            put_pixel32(s, x, y, x * 2654435761u + y * 40503u);
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
            EXPECT_EQ(SDL_FillRect(viaSdl, &a, 0xFF3300), rowFill(viaRows, &b, 0xFF3300));
            EXPECT_TRUE(samePixels(viaSdl, viaRows)) << c[0] << "," << c[1];
            if (a.w && a.h) { // SDL leaves an empty rectangle's fields unspecified
                EXPECT_EQ(a.x, b.x);
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.w, b.w);
                EXPECT_EQ(a.h, b.h);
            }
            // No rectangle: the whole clip rectangle.
            EXPECT_EQ(SDL_FillRect(viaSdl, nullptr, 0x123456), rowFill(viaRows, nullptr, 0x123456));
            EXPECT_TRUE(samePixels(viaSdl, viaRows));
            SDL_FreeSurface(viaSdl);
            SDL_FreeSurface(viaRows);
        }
}
