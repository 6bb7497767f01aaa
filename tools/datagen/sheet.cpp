// Contact sheet: every frame of every animation, move and particle as the
// game will load it, on a grey backdrop with the floor line, the collision
// box (yellow), the damage box (red, only when the frame does damage) and the
// anchor (blue), plus each frame's pause and sound.
#include "datagen.h"
#include "fighter/animationIndex.h"
#include "fighter/moveFile.h"
#include "particle/particleListFile.h"
#include "sprite/frameIndex.h"

#include <cctype>
#include <cstdio>
#include <fstream>

namespace gen {

namespace {

// 3x5 pixel font, one string of 15 bits per glyph (rows top to bottom).
const char* glyph(char c) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'A':
        return "010101111101101";
    case 'B':
        return "110101110101110";
    case 'C':
        return "011100100100011";
    case 'D':
        return "110101101101110";
    case 'E':
        return "111100110100111";
    case 'F':
        return "111100110100100";
    case 'G':
        return "011100101101011";
    case 'H':
        return "101101111101101";
    case 'I':
        return "111010010010111";
    case 'J':
        return "001001001101010";
    case 'K':
        return "101101110101101";
    case 'L':
        return "100100100100111";
    case 'M':
        return "101111111101101";
    case 'N':
        return "110101101101101";
    case 'O':
        return "010101101101010";
    case 'P':
        return "110101110100100";
    case 'Q':
        return "010101101110011";
    case 'R':
        return "110101110101101";
    case 'S':
        return "011100010001110";
    case 'T':
        return "111010010010010";
    case 'U':
        return "101101101101111";
    case 'V':
        return "101101101101010";
    case 'W':
        return "101101111111101";
    case 'X':
        return "101101010101101";
    case 'Y':
        return "101101010010010";
    case 'Z':
        return "111001010100111";
    case '0':
        return "111101101101111";
    case '1':
        return "010110010010111";
    case '2':
        return "110001010100111";
    case '3':
        return "110001010001110";
    case '4':
        return "101101111001001";
    case '5':
        return "111100110001110";
    case '6':
        return "011100111101111";
    case '7':
        return "111001010010010";
    case '8':
        return "111101111101111";
    case '9':
        return "111101111001110";
    case '-':
        return "000000111000000";
    case ':':
        return "000010000010000";
    case '.':
        return "000000000000010";
    case ',':
        return "000000000010100";
    case '/':
        return "001001010100100";
    default:
        return "000000000000000";
    }
}

void text(Rgb24& img, int x, int y, const std::string& s, RGB c, int scale) {
    for (char ch : s) {
        const char* g = glyph(ch);
        for (int r = 0; r < 5; ++r)
            for (int k = 0; k < 3; ++k)
                if (g[r * 3 + k] == '1')
                    img.fillRect(x + k * scale, y + r * scale, scale, scale, c);
        x += 4 * scale;
    }
}

// The frame folder's index, read as the game reads it.
std::vector<frameEntry> readInfo(const std::string& folder) {
    std::vector<frameEntry> out;
    frameIndex index;
    if (!index.open(folder)) return out;
    frameEntry read;
    while (index.next(read))
        out.push_back(read);
    return out;
}

// Whether a pixel has the entry's colour key, and so is not drawn.
bool keyed(const frameEntry& e, RGB c) {
    return e.keyRed >= 0 &&
           c == RGB{static_cast<uint8_t>(e.keyRed), static_cast<uint8_t>(e.keyGreen),
                    static_cast<uint8_t>(e.keyBlue)};
}

// Small images (particles) are shown enlarged.
int zoomFor(const Rgb24& img) {
    return img.w < 100 && img.h < 100 ? 3 : 1;
}

struct Row {
    std::string label;
    std::string folder;
    std::vector<frameEntry> entries;
};

} // namespace

int contactSheet(const std::string& dataDir, const std::string& outBmp) {
    std::vector<Row> rows;
    animationIndex anims;
    if (anims.open(dataDir + "/Tavro"))
        for (const animationName& anim : anims.readNames())
            if (!anim.name.empty())
                rows.push_back({"anim " + anim.name, dataDir + "/Tavro/" + anim.name, {}});
    moveFile moves;
    moveEntry move;
    if (moves.open(dataDir + "/Tavro"))
        while (moves.next(move))
            rows.push_back({move.name + " " + move.command +
                                (move.condition != "null" ? " if " + move.condition : ""),
                            dataDir + "/Tavro/" + move.name,
                            {}});
    particleListFile particles;
    if (particles.open(dataDir + "/particle/", "default"))
        for (const listedParticle& particle : particles.readEntries())
            if (!particle.name.empty())
                rows.push_back({"particle " + particle.name, particle.folder, {}});
    rows.push_back({"hpBar", dataDir + "/hpBar", {}});

    const int labelH = 16, infoH = 14, gap = 6;
    int cellH = 0, sheetW = 0;
    for (Row& r : rows) {
        r.entries = readInfo(r.folder);
        int rowW = gap;
        for (const frameEntry& e : r.entries) {
            Rgb24 img(1, 1);
            if (readBmp(r.folder + "/" + e.bitmap, img)) {
                rowW += std::max(img.w * zoomFor(img), 150) + gap;
                cellH = std::max(cellH, img.h * zoomFor(img));
            }
        }
        sheetW = std::max(sheetW, rowW);
    }
    int rowH = labelH + cellH + infoH + gap;
    Rgb24 sheet(std::max(sheetW, 400), gap + static_cast<int>(rows.size()) * rowH);
    sheet.fillRect(0, 0, sheet.w, sheet.h, RGB{40, 40, 48});
    const RGB yellow{255, 204, 0}, red{255, 0, 0}, blue{60, 120, 255}, white{230, 230, 230};
    int y = gap;
    for (const Row& r : rows) {
        text(sheet, gap, y + 3, r.label, white, 2);
        int x = gap;
        for (size_t i = 0; i < r.entries.size(); ++i) {
            const frameEntry& e = r.entries[i];
            const spriteFrame& f = e.frame;
            int cy = y + labelH;
            Rgb24 img(1, 1);
            if (!readBmp(r.folder + "/" + e.bitmap, img)) {
                text(sheet, x, cy, "missing " + e.bitmap, red, 2);
                x += 150 + gap;
                continue;
            }
            int z = zoomFor(img);
            sheet.fillRect(x, cy, img.w * z, img.h * z, RGB{92, 96, 110});
            if (f.offsetY > 0 && f.offsetY < img.h)
                sheet.fillRect(x, cy + f.offsetY * z, img.w * z, 1, RGB{140, 120, 100});
            for (int py = 0; py < img.h; ++py)
                for (int px = 0; px < img.w; ++px) {
                    RGB c = img.get(px, py);
                    if (!keyed(e, c)) sheet.fillRect(x + px * z, cy + py * z, z, z, c);
                }
            sheet.frameRect(x + f.colX1 * z, cy + f.colY1 * z, x + f.colX2 * z, cy + f.colY2 * z,
                            yellow);
            if (f.damage > 0)
                sheet.frameRect(x + f.dmgX1 * z + 1, cy + f.dmgY1 * z + 1, x + f.dmgX2 * z - 1,
                                cy + f.dmgY2 * z - 1, red);
            sheet.fillRect(x + f.offsetX * z - 2, cy + f.offsetY * z - 1, 4, 2, blue);
            int shownH = img.h * z;
            std::string info = std::to_string(i) + " P" + std::to_string(f.pause);
            if (f.damage > 0) info += " D" + std::to_string(f.damage);
            if (f.soundName != "NULL") info += " " + f.soundName;
            if (f.moveX || f.moveY)
                info += " M" + std::to_string(f.moveX) + "," + std::to_string(f.moveY);
            if (!f.partNames.empty()) info += " S";
            text(sheet, x, cy + shownH + 3, info, white, 2);
            x += std::max(img.w * z, 150) + gap;
        }
        y += rowH;
    }
    std::vector<uint8_t> bytes = bmp24(sheet);
    std::ofstream out(outBmp, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}

int sceneShot(const std::string& dataDir, const std::string& outBmp) {
    // The stage with both fighters standing on the ground line, facing each
    // other, a fireball between them and both bars, as the game lays them out.
    Rgb24 scene(1, 1);
    if (!readBmp(dataDir + "/tBG2.bmp", scene)) return 1;
    auto place = [&](const std::string& folder, size_t frame, int ax, int ay, bool right) {
        std::vector<frameEntry> es = readInfo(folder);
        if (frame >= es.size()) return;
        const frameEntry& e = es[frame];
        Rgb24 img(1, 1);
        if (!readBmp(folder + "/" + e.bitmap, img)) return;
        int offX = right ? e.frame.offsetX : img.w - e.frame.offsetX;
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x) {
                RGB c = img.get(right ? x : img.w - 1 - x, y);
                if (keyed(e, c)) continue;
                int sx = ax - offX + x, sy = ay - e.frame.offsetY + y;
                if (sx >= 0 && sy >= 0 && sx < scene.w && sy < scene.h) scene.at(sx, sy) = c;
            }
    };
    place(dataDir + "/Tavro/fireball", 2, 230, 530, true);
    place(dataDir + "/Tavro/standing", 0, 560, 530, false);
    place(dataDir + "/particle/fireball", 1, 400, 530 - 118, true);
    Rgb24 bar(1, 1);
    if (readBmp(dataDir + "/hpBar/bar.bmp", bar)) {
        for (int side = 0; side < 2; ++side) {
            int bx = side == 0 ? 10 : 410;
            scene.blit(bar, bx, 10);
            scene.fillRect(bx + 10, 15, 360, 20, RGB{0, 0, 0});
            int fill = side == 0 ? 300 : 360;
            scene.fillRect(side == 0 ? bx + 10 : bx + 10 + 360 - fill, 15, fill, 20,
                           RGB{255, 51, 0});
        }
    }
    std::vector<uint8_t> bytes = bmp24(scene);
    std::ofstream out(outBmp, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}

} // namespace gen
