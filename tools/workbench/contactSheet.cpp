#include "contactSheet.h"

#include "overlayPainter.h"
#include "stopGuard.h"
#include "workbench.h"

#include "base/bitmapFont.h"
#include "fighter/fighter.h"
#include "particle/particleListFile.h"
#include "sprite/CSprite.h"
#include "sprite/CSpriteBar.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

namespace contactSheet {

namespace {

constexpr int labelHeight = 16;
constexpr int infoHeight = 14;
constexpr int gap = 6;
constexpr int narrowestCell = 150; // wide enough for the line under the frame
constexpr int smallFrame = 100;    // frames smaller than this both ways are enlarged
constexpr int smallZoom = 3;
constexpr int sceneWidth = 800, sceneHeight = 600;
// SDL 1.2 keeps a surface's row length in bytes in 16 bits (4 bytes a pixel
// here) and positions in signed 16 bits: larger sheets are refused, not
// drawn wrapped round.
constexpr int widestSheet = 16383, tallestSheet = 32767;

struct sheetRow {
    std::string label;
    CSpriteBase* frames = nullptr;
};

// A surface of w x h in the display format, as the frames are.
SDL_Surface* displaySurface(int w, int h) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen || w <= 0 || h <= 0) return nullptr;
    const SDL_PixelFormat* f = screen->format;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask,
                                f->Amask);
}

int zoomFor(const SDL_Surface* image) {
    return image->w < smallFrame && image->h < smallFrame ? smallZoom : 1;
}

// The frame's width on the sheet: its own, enlarged, or the narrowest cell.
int cellWidth(const spriteFrame& frame) {
    if (!frame.image) return narrowestCell;
    return std::max(frame.image->w * zoomFor(frame.image), narrowestCell);
}

int cellHeight(const spriteFrame& frame) {
    return frame.image ? frame.image->h * zoomFor(frame.image) : 0;
}

// Copies src onto dst with its top-left corner at (x, y), every pixel as a
// zoom x zoom block; both surfaces have the same format.
void zoomCopy(SDL_Surface* src, SDL_Surface* dst, int x, int y, int zoom) {
    if (zoom == 1) {
        SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
        SDL_BlitSurface(src, nullptr, dst, &at);
        return;
    }
    const int bytes = src->format->BytesPerPixel;
    SDL_LockSurface(src);
    SDL_LockSurface(dst);
    for (int sy = 0; sy < src->h * zoom; ++sy)
        for (int sx = 0; sx < src->w * zoom; ++sx) {
            const int dx = x + sx, dy = y + sy;
            if (dx < 0 || dy < 0 || dx >= dst->w || dy >= dst->h) continue;
            const Uint8* from =
                static_cast<Uint8*>(src->pixels) + (sy / zoom) * src->pitch + (sx / zoom) * bytes;
            std::memcpy(static_cast<Uint8*>(dst->pixels) + dy * dst->pitch + dx * bytes, from,
                        bytes);
        }
    SDL_UnlockSurface(dst);
    SDL_UnlockSurface(src);
}

// The frame as the game draws it, over the cell colour and the floor line,
// on a surface of the frame's size; null without an image.
SDL_Surface* drawnFrame(CSpriteBase& set, int index) {
    const spriteFrame& f = set.frames[static_cast<size_t>(index)];
    SDL_Surface* out = f.image ? displaySurface(f.image->w, f.image->h) : nullptr;
    if (!out) return nullptr;
    overlayPainter::fill(out, 0, 0, out->w, out->h, overlayPainter::colour(out, cellColour));
    if (f.offsetY > 0 && f.offsetY < out->h)
        overlayPainter::fill(out, 0, f.offsetY, out->w, 1,
                             overlayPainter::colour(out, floorColour));
    CSprite sprite;
    sprite.base = &set;
    sprite.frame = index;
    sprite.animating = 0;
    sprite.screenSurf = out;
    sprite.draw();
    return out;
}

// A box of the frame, in sheet pixels.
colBox onSheet(const cell& at, int x1, int y1, int x2, int y2) {
    return {at.x + x1 * at.zoom, at.y + y1 * at.zoom, at.x + x2 * at.zoom, at.y + y2 * at.zoom};
}

// The line under a frame: its number, pause, damage, sound, step and "S"
// when it spawns particles.
std::string infoLine(int index, const spriteFrame& f) {
    std::string info = std::to_string(index + 1) + " P" + std::to_string(f.pause);
    if (f.damage > 0) info += " D" + std::to_string(f.damage);
    if (f.soundName != "NULL") info += " " + f.soundName;
    if (f.moveX || f.moveY) info += " M" + std::to_string(f.moveX) + "," + std::to_string(f.moveY);
    if (!f.partNames.empty()) info += " S";
    return info;
}

// One frame's cell: the frame, its boxes and anchor, and its line.
void drawCell(SDL_Surface* sheet, CSpriteBase& set, int index, const cell& at, int infoY) {
    const spriteFrame& f = set.frames[static_cast<size_t>(index)];
    SDL_Surface* drawn = drawnFrame(set, index);
    if (!drawn) {
        bitmapFont::draw(sheet, at.x, at.y, "no image",
                         overlayPainter::colour(sheet, missingColour));
        return;
    }
    zoomCopy(drawn, sheet, at.x, at.y, at.zoom);
    SDL_FreeSurface(drawn);
    overlayPainter::outline(sheet, onSheet(at, f.colX1, f.colY1, f.colX2, f.colY2),
                            overlayPainter::colour(sheet, workbench::bodyColour));
    // As in the workbench: a damage box without damage is dashed.
    const bool hasBox = f.dmgX1 != f.dmgX2 || f.dmgY1 != f.dmgY2;
    if (f.damage > 0 || hasBox)
        overlayPainter::outline(sheet, onSheet(at, f.dmgX1, f.dmgY1, f.dmgX2, f.dmgY2),
                                overlayPainter::colour(sheet, workbench::damageColour),
                                f.damage <= 0);
    overlayPainter::cross(sheet, at.x + f.offsetX * at.zoom, at.y + f.offsetY * at.zoom, 4,
                          overlayPainter::colour(sheet, workbench::anchorColour));
    bitmapFont::draw(sheet, at.x, infoY, infoLine(index, f),
                     overlayPainter::colour(sheet, textColour));
}

// The rows of the sheet, in order; the particles' and the bar's frame sets
// are loaded into `owned`.
std::vector<sheetRow> sheetRows(characterSnapshot& snapshot, const std::string& dataFolder,
                                std::vector<std::unique_ptr<CSpriteBase>>& owned) {
    std::vector<sheetRow> rows;
    for (animation& anim : snapshot.anims.animList)
        rows.push_back({"anim " + anim.animName, &anim.frameSet});
    for (moveInfo& move : snapshot.moves.moves)
        rows.push_back({move.name + " " + move.command +
                            (move.condition != "null" ? " if " + move.condition : ""),
                        &move.frameSet});
    particleListFile particles;
    if (particles.open(dataFolder + "/particle/", "default"))
        for (const listedParticle& particle : particles.readEntries()) {
            auto frames = std::make_unique<CSpriteBase>();
            if (particle.name.empty() || frames->initR(particle.folder.c_str()) != 0) continue;
            rows.push_back({"particle " + particle.name, frames.get()});
            owned.push_back(std::move(frames));
        }
    auto bar = std::make_unique<CSpriteBase>();
    if (bar->init((dataFolder + "/hpBar").c_str()) == 0) {
        rows.push_back({"hpBar", bar.get()});
        owned.push_back(std::move(bar));
    }
    return rows;
}

// Places a frame set's frame with its anchor at (x, y), facing as told, and
// draws it as the game does.
void place(SDL_Surface* on, CSpriteBase* set, int frame, int x, int y, bool facingRight) {
    if (!set || !set->hasFrame(frame)) return;
    CSprite sprite;
    sprite.base = set;
    sprite.frame = frame;
    sprite.animating = 0;
    sprite.screenSurf = on;
    sprite.adjustPos(x, y, facingRight);
    sprite.drawD(facingRight);
}

CSpriteBase* moveFrames(characterSnapshot& snapshot, const std::string& name) {
    for (moveInfo& move : snapshot.moves.moves)
        if (move.name == name) return &move.frameSet;
    return nullptr;
}

// Both hit-point bars as the game places them, player 1's at 80 percent.
void drawBars(SDL_Surface* on, const std::string& dataFolder) {
    CSpriteBase art;
    if (art.init((dataFolder + "/hpBar").c_str()) != 0) return;
    for (int side = 0; side < 2; ++side) {
        CSpriteBar bar;
        bar.init(&art, on);
        bar.xPos = side == 0 ? 10 : 410;
        bar.yPos = 10;
        bar.setBar(10, 5, 360, 20, 1000, side == 0 ? 800 : 1000, side == 1);
        bar.clearBack = true;
        bar.draw();
    }
}

} // namespace

SDL_Surface* sheet(characterSnapshot& snapshot, const std::string& dataFolder,
                   std::vector<std::vector<cell>>* cells) {
    std::vector<std::unique_ptr<CSpriteBase>> owned;
    const std::vector<sheetRow> rows = sheetRows(snapshot, dataFolder, owned);
    int frameHeight = 0, width = 400;
    for (const sheetRow& row : rows) {
        int rowWidth = gap;
        for (const spriteFrame& f : row.frames->frames) {
            rowWidth += cellWidth(f) + gap;
            frameHeight = std::max(frameHeight, cellHeight(f));
        }
        width = std::max(width, rowWidth);
    }
    const int rowHeight = labelHeight + frameHeight + infoHeight + gap;
    const long long height = gap + static_cast<long long>(rows.size()) * rowHeight;
    if (width > widestSheet || height > tallestSheet) {
        SDL_SetError("the sheet would be %d x %lld pixels, larger than a surface can be (%d x %d)",
                     width, height, widestSheet, tallestSheet);
        return nullptr;
    }
    SDL_Surface* out = displaySurface(width, static_cast<int>(height));
    if (!out) return nullptr;
    overlayPainter::fill(out, 0, 0, out->w, out->h, overlayPainter::colour(out, backdropColour));
    if (cells) cells->assign(rows.size(), {});
    int y = gap;
    for (size_t r = 0; r < rows.size(); ++r) {
        bitmapFont::draw(out, gap, y + 3, rows[r].label, overlayPainter::colour(out, textColour));
        int x = gap;
        for (size_t i = 0; i < rows[r].frames->frames.size(); ++i) {
            const spriteFrame& f = rows[r].frames->frames[i];
            const cell at{x, y + labelHeight, f.image ? zoomFor(f.image) : 1};
            drawCell(out, *rows[r].frames, static_cast<int>(i), at, at.y + cellHeight(f) + 2);
            if (cells) (*cells)[r].push_back(at);
            x += cellWidth(f) + gap;
        }
        y += rowHeight;
    }
    return out;
}

SDL_Surface* scene(characterSnapshot& snapshot, const std::string& dataFolder) {
    SDL_Surface* out = displaySurface(sceneWidth, sceneHeight);
    if (!out) return nullptr;
    if (snapshot.stage)
        SDL_BlitSurface(snapshot.stage, nullptr, out, nullptr);
    else
        overlayPainter::fill(out, 0, 0, out->w, out->h, overlayPainter::colour(out, cellColour));
    // Player 1 throws a fireball at the opponent standing on the right.
    place(out, moveFrames(snapshot, "fireball"), 2, 230, g_GroundLevel, true);
    animation* standing = snapshot.anims.returnAnimation("standing");
    place(out, standing ? &standing->frameSet : nullptr, 0, 560, g_GroundLevel, false);
    auto ball = snapshot.particles.find("fireball");
    if (ball != snapshot.particles.end())
        place(out, ball->second.get(), 1, 400, g_GroundLevel - 118, true);
    drawBars(out, dataFolder);
    return out;
}

int save(const std::string& dataFolder, const std::string& outBmp, bool scenePicture,
         std::ostream& err) {
    // Frames are converted to the display format as they load, so a video
    // mode is needed; nothing is shown.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(8, 8, 32, 0)) {
        err << "workbench: cannot start SDL: " << SDL_GetError() << "\n";
        return 1;
    }
    int result = 1;
    try {
        stopGuard guard;
        std::unique_ptr<characterSnapshot> loaded = characterSnapshot::load(dataFolder);
        SDL_Surface* picture =
            scenePicture ? scene(*loaded, dataFolder) : sheet(*loaded, dataFolder);
        if (!picture)
            err << "workbench: cannot make the picture: " << SDL_GetError() << "\n";
        else if (SDL_SaveBMP(picture, outBmp.c_str()) != 0)
            err << "workbench: cannot write " << outBmp << ": " << SDL_GetError() << "\n";
        else
            result = 0;
        if (picture) SDL_FreeSurface(picture);
    } catch (const loadStopped& stop) {
        err << "workbench: cannot load the character: " << stop.message << "\n";
    } catch (const std::exception& failure) {
        err << "workbench: cannot load the character: " << failure.what() << "\n";
    }
    SDL_Quit();
    return result;
}

} // namespace contactSheet
