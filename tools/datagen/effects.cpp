// Particles (the fireball and its sparks), the hit-point bar frame and the
// stage background.
#include "datagen.h"

#include "particle/particleFile.h"
#include "particle/particleListFile.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace gen {

namespace {

RGB mix(RGB a, RGB b, double t) {
    t = clampd(t, 0.0, 1.0);
    auto c = [t](int x, int y) {
        return static_cast<uint8_t>(clampi(static_cast<int>(x + (y - x) * t + 0.5), 0, 255));
    };
    return {c(a.r, b.r), c(a.g, b.g), c(a.b, b.b)};
}
RGB scale(RGB a, double k) {
    auto c = [k](int x) {
        return static_cast<uint8_t>(clampi(static_cast<int>(x * k + 0.5), 0, 255));
    };
    return {c(a.r), c(a.g), c(a.b)};
}

// Palette of a hot glow: index 0 is the colour key, 1..255 run from deep red
// through orange and yellow to white.
void firePalette(std::vector<RGB>& pal) {
    pal.assign(256, RGB{0, 0, 0});
    pal[0] = {255, 0, 255};
    const RGB stops[] = {{90, 10, 20},   {190, 30, 20},   {245, 110, 20},
                         {255, 200, 60}, {255, 250, 210}, {255, 255, 255}};
    for (int i = 1; i < 256; ++i) {
        double t = (i - 1) / 254.0 * 5.0;
        int k = clampi(static_cast<int>(t), 0, 4);
        pal[i] = mix(stops[k], stops[k + 1], t - k);
    }
}

uint8_t heatIndex(double h) {
    return static_cast<uint8_t>(1 + clampi(static_cast<int>(h * 254.0), 0, 254));
}

// A fireball flying to the right: a white-hot core with flame tongues trailing.
Indexed fireballFrame(int frame) {
    const int W = 72, H = 48;
    Indexed img(W, H);
    firePalette(img.palette);
    const double cx = 48, cy = 24, r = 13;
    double phase = frame * 1.7;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double dx = px - cx, dy = py - cy;
            double d = std::sqrt(dx * dx + dy * dy);
            double pulse = 1.0 + 0.08 * sinDeg(frame * 90.0);
            double h = 1.25 - d / (r * pulse);
            if (px < cx) {
                double t = (cx - px) / 46.0; // 0 at the core, 1 at the end of the tail
                if (t < 1.0) {
                    for (int tongue = 0; tongue < 3; ++tongue) {
                        double off = (tongue - 1) * 7.0 * t +
                                     4.0 * t * sinDeg((px * 9.0) + phase * 60.0 + tongue * 120.0);
                        double width =
                            11.0 * (1.0 - t) *
                            (0.75 + 0.5 * noise1(px * 0.18 + phase + tongue * 5, 7 + tongue));
                        double tdy = std::fabs(py - cy - off);
                        if (width > 0.5) h = std::max(h, (1.0 - tdy / width) * (1.0 - t) * 0.95);
                    }
                }
            }
            if (h > 0.06)
                img.at(x, y) =
                    heatIndex(h * 0.95 + 0.05 * noise1(px * 0.7 + py * 1.3 + frame * 11, 3));
        }
    return img;
}

// A spark: a four-pointed star that shrinks and cools.
Indexed sparkFrame(int frame) {
    const int W = 24, H = 24;
    Indexed img(W, H);
    firePalette(img.palette);
    const double size[3] = {10.5, 7.5, 4.5};
    const double heat[3] = {1.0, 0.8, 0.55};
    double s = size[frame];
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double dx = std::fabs(x + 0.5 - 12), dy = std::fabs(y + 0.5 - 12);
            double star = 1.0 - (std::sqrt(dx * dy) * 0.9 + (dx + dy) * 0.35) / s;
            double rot =
                1.0 - ((dx + dy) * 0.7 + std::fabs(dx - dy) * 0.5) / (s * 1.2); // diagonal rays
            double h = std::max(star, rot * 0.7) * heat[frame];
            if (h > 0.05) img.at(x, y) = heatIndex(h + 0.1);
        }
    return img;
}

// Palette of cold chi: index 0 is the colour key, 1..255 run from deep
// indigo through blue and cyan to white.
void chiPalette(std::vector<RGB>& pal) {
    pal.assign(256, RGB{0, 0, 0});
    pal[0] = {255, 0, 255};
    const RGB stops[] = {{20, 16, 70},    {40, 60, 170},   {60, 140, 235},
                         {120, 215, 255}, {215, 245, 255}, {255, 255, 255}};
    for (int i = 1; i < 256; ++i) {
        double t = (i - 1) / 254.0 * 5.0;
        int k = clampi(static_cast<int>(t), 0, 4);
        pal[i] = mix(stops[k], stops[k + 1], t - k);
    }
}

// The shockwave running to the right along the floor: a low crest of chi
// whose front curls over, with ripples trailing behind it.  Its bottom row
// touches the floor.
Indexed shockwaveFrame(int frame) {
    const int W = 100, H = 60;
    Indexed img(W, H);
    chiPalette(img.palette);
    const double front = 78, floorY = H;
    double phase = frame * 90.0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double back = (front - px) / front; // 0 at the front, 1 at the tail
            double h = 0;
            if (px <= front + 12) {
                // crest height: tallest just behind the front, tapering back
                double crest = back < 0 ? 50.0 * (1.0 + back * 6.0)
                                        : 50.0 * (1.0 - back) * (0.75 + 0.25 * (1.0 - back));
                crest += 3.0 * sinDeg(px * 14.0 - phase);
                double top = floorY - std::max(crest, 0.0);
                // a hollow crest: a band under the top edge, thick at the
                // front and thin at the tail, over a faint glow
                double band = 5.0 + 15.0 * (1.0 - std::max(back, 0.0));
                if (py > top) {
                    double below = py - top;
                    if (below < band)
                        h = 1.0 - 0.5 * below / band - 0.35 * std::max(back, 0.0);
                    else if (noise1(px * 0.35 + py * 0.5 + frame * 5, 19) > 0.55)
                        h = 0.3 - 0.2 * std::max(back, 0.0); // flecks of chi inside
                }
            }
            // trailing ripples low on the floor
            if (back > 0.2) {
                double ripple = 5.0 + 3.0 * sinDeg(px * 20.0 + phase * 2.0);
                if (py > floorY - ripple) h = std::max(h, 0.55 - 0.4 * back);
            }
            if (h > 0.08)
                img.at(x, y) =
                    heatIndex(h * 0.92 + 0.08 * noise1(px * 0.6 + py * 0.9 + frame * 7, 17));
        }
    return img;
}

// The pillar a spent shockwave bursts into: a column of blue flame that
// shoots up from the floor and thins out.
Indexed pillarFrame(int frame) {
    const int W = 48, H = 128;
    Indexed img(W, H);
    chiPalette(img.palette);
    const double height[4] = {70, 124, 118, 90};
    const double width[4] = {16, 20, 15, 9};
    const double heat[4] = {1.0, 0.95, 0.75, 0.5};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double up = (H - py) / height[frame]; // 0 at the floor, 1 at the top
            if (up > 1.0) continue;
            double sway = 4.0 * up * sinDeg(py * 9.0 + frame * 70.0);
            double half =
                width[frame] * (1.0 - 0.75 * up) * (0.8 + 0.4 * noise1(py * 0.15 + frame * 3, 23));
            double dx = std::fabs(px - W / 2.0 - sway);
            if (dx > half) continue;
            double h = (1.0 - dx / half * 0.7) * (1.0 - 0.5 * up) * heat[frame];
            if (h > 0.08) img.at(x, y) = heatIndex(h);
        }
    return img;
}

// A definition of the shipped kind: opaque (alpha 255), no spare flags,
// NULL for the lists the game does not use; OnHitEnemy "spark" makes it hit.
particleRecord definition(int lifetime, int gravity, std::vector<std::string> onDeath,
                          const std::string& onHitEnemy = "spark") {
    particleRecord record;
    record.alpha = 255;
    record.lifetime = lifetime;
    record.gravity = gravity;
    record.events[OnDeath] = std::move(onDeath);
    record.events[OnHitPlayer] = {"NULL"};
    record.events[OnHitEnemy] = {onHitEnemy};
    record.events[OnHitTarget] = {"NULL"};
    record.events[OnHitAlly] = {"NULL"};
    return record;
}

// A particle's frames as drawn: one per forward step, each shown for the
// same time, with the same anchor and collision box.  One that hurts has its
// damage box where its collision box is.
struct ParticleFrames {
    std::string name;
    Indexed (*draw)(int frame);
    std::vector<int> steps; // each frame's forward step, one per frame
    int pause;
    int anchorX, anchorY;
    Box box;
    int damage; // 0: harmless
};

// Writes the particle's folder: f00.bmp on, and their index.
void writeParticleFrames(Writer& out, const ParticleFrames& p) {
    const std::string folder = "particle/" + p.name;
    std::vector<frameEntry> entries;
    for (size_t i = 0; i < p.steps.size(); ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "f%02zu.bmp", i);
        out.bytes(folder + "/" + file, bmp8(p.draw(static_cast<int>(i))));
        frameEntry entry = indexEntry(file, p.pause);
        spriteFrame& frame = entry.frame;
        frame.offsetX = p.anchorX;
        frame.offsetY = p.anchorY;
        setCollisionBox(frame, p.box);
        if (p.damage > 0) {
            setDamageBox(frame, p.box);
            frame.damage = p.damage;
            frame.hitType = 1;
        }
        frame.moveX = p.steps[i];
        frame.tagName = p.name;
        entries.push_back(entry);
    }
    out.text(folder + "/info", frameIndex::text(entries));
}

} // namespace

void writeParticles(Writer& out) {
    out.text(
        "particle/default",
        particleListFile::write({{"spark", 1}, {"fireball", 2}, {"pillar", 3}, {"shockwave", 4}}));

    writeParticleFrames(out, {"fireball", fireballFrame, /* steps */ {2, 2, 2, 2}, /* pause */ 20,
                              /* anchor */ 48, 24, /* box */ {30, 10, 62, 38}, /* damage */ 80});
    // Flies 1.5 s and bursts into three sparks; hits the opponent.
    out.text("particle/fireball/particle",
             particleFile::write(definition(1500, 0, {"spark 14 8", "spark 22 34", "spark 6 22"})));

    writeParticleFrames(out, {"spark", sparkFrame, /* steps */ {0, 1, 0}, /* pause */ 15,
                              /* anchor */ 12, 12, /* box */ {6, 6, 18, 18}, /* damage */ 0});
    out.text("particle/spark/particle", particleFile::write(definition(400, 1, {"NULL"}, "NULL")));

    // The shockwave hugs the floor (gravity keeps its bottom on the ground
    // line), runs a little faster than the fireball and not as far, and
    // bursts into a pillar when it dies of age.
    writeParticleFrames(out, {"shockwave", shockwaveFrame, /* steps */ {3, 3, 3, 3}, /* pause */ 15,
                              /* anchor */ 50, 60, /* box */ {36, 12, 88, 59}, /* damage */ 60});
    out.text("particle/shockwave/particle",
             particleFile::write(definition(650, 1, {"pillar 26 60"})));

    writeParticleFrames(out, {"pillar", pillarFrame, /* steps */ {0, 0, 0, 0}, /* pause */ 30,
                              /* anchor */ 24, 127, /* box */ {10, 10, 38, 127}, /* damage */ 80});
    out.text("particle/pillar/particle", particleFile::write(definition(360, 0, {"NULL"})));
}

void writeHealthBar(Writer& out) {
    const int W = 380, H = 30;
    Rgb24 img(W, H);
    const RGB goldHi{250, 222, 140}, gold{200, 150, 60}, goldLo{110, 72, 30}, edge{30, 20, 12};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // bevelled gold frame
            double t = (y + 0.5) / H;
            RGB c = t < 0.5 ? mix(goldHi, gold, t * 2.0) : mix(gold, goldLo, (t - 0.5) * 2.0);
            if ((x + y) % 7 == 0) c = scale(c, 0.93);
            img.at(x, y) = c;
        }
    // rounded end caps with a rivet each
    for (int side = 0; side < 2; ++side) {
        int cx = side == 0 ? 5 : W - 6;
        for (int y = 12; y <= 18; ++y)
            for (int x = cx - 3; x <= cx + 3; ++x) {
                double d = std::sqrt((x - cx) * (x - cx) + (y - 15) * (y - 15));
                if (d <= 2.6)
                    img.at(x, y) = mix(goldHi, RGB{255, 255, 230}, 1.0 - d / 2.6);
                else if (d <= 3.4)
                    img.at(x, y) = goldLo;
            }
    }
    img.frameRect(0, 0, W - 1, H - 1, edge);
    // the dark well the bar fills: 10,5 to 370,25, with a one-pixel lip around it
    img.frameRect(8, 3, 371, 26, goldLo);
    img.frameRect(9, 4, 370, 25, edge);
    for (int y = 5; y < 25; ++y)
        for (int x = 10; x < 370; ++x) {
            double t = (y - 5) / 20.0;
            RGB c = mix(RGB{40, 12, 16}, RGB{14, 6, 10}, t);
            if ((x / 4 + y / 4) % 2 == 0) c = scale(c, 1.12);
            img.at(x, y) = c;
        }
    out.bytes("hpBar/bar.bmp", bmp24(img));
    frameEntry t = indexEntry("bar.bmp", 100);
    t.keyRed = -1; // no colour key: the bar's art is drawn whole
    t.keyGreen = 0;
    t.keyBlue = 0;
    t.frame.tagName = "bar";
    out.text("hpBar/info", frameIndex::text({t}));
}

namespace {

constexpr int stageW = 800, stageH = 600, ground = 530;

// The dusk sky, the sun with its halo and thin clouds.
void paintSky(Rgb24& img) {
    const int W = stageW;
    // dusk sky
    const RGB top{28, 34, 86}, mid{120, 78, 140}, low{250, 156, 92};
    for (int y = 0; y < ground; ++y) {
        double t = y / 420.0;
        RGB c = t < 0.55 ? mix(top, mid, t / 0.55) : mix(mid, low, (t - 0.55) / 0.45);
        for (int x = 0; x < W; ++x)
            img.at(x, y) = c;
    }
    // sun with a soft halo
    const double sx = 560, sy = 330;
    for (int y = 200; y < 460; ++y)
        for (int x = 420; x < 700; ++x) {
            double d = std::sqrt((x - sx) * (x - sx) + (y - sy) * (y - sy));
            if (d < 38)
                img.at(x, y) = mix(RGB{255, 236, 170}, RGB{255, 250, 220}, 1.0 - d / 38);
            else if (d < 120)
                img.at(x, y) = mix(img.at(x, y), RGB{255, 200, 130}, (1.0 - (d - 38) / 82) * 0.45);
        }
    // thin clouds
    for (int k = 0; k < 6; ++k) {
        double cy = 90 + k * 45 + 20 * noise1(k * 3.1, 11);
        double cx = 100 + 130 * k + 60 * noise1(k * 1.7, 12);
        for (int y = static_cast<int>(cy) - 6; y <= static_cast<int>(cy) + 6; ++y)
            for (int x = static_cast<int>(cx) - 110; x <= static_cast<int>(cx) + 110; ++x) {
                if (x < 0 || x >= W) continue;
                double dx = (x - cx) / 110.0,
                       dy = (y - cy) / (4.0 + 3.0 * noise1(x * 0.05, 13 + k));
                double v = 1.0 - dx * dx - dy * dy;
                if (v > 0) img.at(x, y) = mix(img.at(x, y), RGB{255, 190, 170}, v * 0.55);
            }
    }
}

// Far mountains, nearer hills and a pagoda on them.
void paintHills(Rgb24& img) {
    const int W = stageW;
    // far mountains, nearer hills
    for (int x = 0; x < W; ++x) {
        double far = 330 + 55 * noise1(x / 90.0, 21) + 18 * noise1(x / 23.0, 22);
        double near = 405 + 35 * noise1(x / 70.0, 31) + 10 * noise1(x / 17.0, 32);
        for (int y = static_cast<int>(far); y < ground; ++y) {
            double haze = clampd((y - far) / 120.0, 0.0, 1.0);
            img.at(x, y) = mix(RGB{122, 92, 150}, RGB{150, 104, 140}, haze);
            if (y < far + 3) img.at(x, y) = mix(img.at(x, y), RGB{230, 170, 160}, 0.5); // lit ridge
        }
        for (int y = static_cast<int>(near); y < ground; ++y)
            img.at(x, y) = mix(RGB{70, 56, 100}, RGB{86, 64, 104}, (y - near) / 80.0);
    }
    // a pagoda on the hills
    {
        const int px = 190;
        int baseY = static_cast<int>(405 + 35 * noise1(px / 70.0, 31)) + 4;
        RGB dark{44, 34, 66};
        for (int tier = 0; tier < 4; ++tier) {
            int bw = 44 - tier * 8, y0 = baseY - tier * 24;
            img.fillRect(px - bw / 2, y0 - 16, bw, 16, dark);
            for (int r = 0; r < 8; ++r) { // upturned roof
                int half = bw / 2 + 12 - r;
                img.fillRect(px - half, y0 - 16 - r, half * 2, 1, dark);
            }
            img.fillRect(px - bw / 2 + 4, y0 - 12, 4, 4, RGB{250, 190, 90});
            img.fillRect(px + bw / 2 - 8, y0 - 12, 4, 4, RGB{250, 190, 90});
        }
        img.fillRect(px - 1, baseY - 4 * 24 - 22, 3, 14, dark);
    }
}

// The tree line behind the courtyard wall, and the wall.
void paintWall(Rgb24& img) {
    const int W = stageW;
    // tree line behind the courtyard wall
    for (int x = 0; x < W; ++x) {
        double topY = 468 + 14 * noise1(x / 14.0, 41) + 8 * noise1(x / 5.0, 42);
        for (int y = static_cast<int>(topY); y < 505; ++y)
            img.at(x, y) = mix(RGB{34, 40, 52}, RGB{26, 30, 40}, (y - topY) / 40.0);
    }
    // courtyard wall
    for (int y = 496; y < ground; ++y)
        for (int x = 0; x < W; ++x) {
            RGB c = mix(RGB{170, 120, 96}, RGB{130, 88, 74}, (y - 496) / 34.0);
            if (y < 500) c = RGB{70, 44, 40};
            if (y >= 500 && (y - 500) % 12 == 0) c = scale(c, 0.8);
            if (y >= 500 && (x + ((y - 500) / 12) * 20) % 40 == 0) c = scale(c, 0.8);
            img.at(x, y) = c;
        }
}

// The stone floor in perspective; its top edge is the ground line.
void paintFloor(Rgb24& img) {
    const int W = stageW, H = stageH;
    Rng rng(99);
    for (int y = ground; y < H; ++y) {
        double depth = (y - ground) / 70.0;
        for (int x = 0; x < W; ++x) {
            RGB c = mix(RGB{150, 128, 104}, RGB{110, 90, 74}, depth);
            c = scale(c, 0.94 + 0.08 * rng.unit());
            img.at(x, y) = c;
        }
    }
    const int rows[] = {538, 549, 563, 580, 599};
    for (int r : rows)
        for (int x = 0; x < W; ++x)
            img.at(x, r) = scale(img.at(x, r), 0.72);
    for (int k = -12; k <= 12; ++k) {
        // joints converging toward a point above the stage centre
        for (int y = ground; y < H; ++y) {
            double t = (y - 300.0) / (ground - 300.0);
            int x = static_cast<int>(400 + k * 64 * t);
            if (x >= 0 && x < W) img.at(x, y) = scale(img.at(x, y), 0.75);
        }
    }
    for (int x = 0; x < W; ++x) {
        img.at(x, ground) = RGB{196, 174, 146};
        img.at(x, ground + 1) = RGB{176, 152, 124};
    }
}

} // namespace

void writeStage(Writer& out) {
    Rgb24 img(stageW, stageH);
    paintSky(img);
    paintHills(img);
    paintWall(img);
    paintFloor(img);
    out.bytes("tBG2.bmp", bmp24(img));
}

} // namespace gen
