#include "hostileCases.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace hostile {

dataCopy::dataCopy(const std::string& source, const std::string& root) : root_(root) {
    fs::copy(source + "/data", root + "/data", fs::copy_options::recursive);
}

std::string dataCopy::read(const std::string& rel) const {
    std::ifstream in(path(rel), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void dataCopy::write(const std::string& rel, const std::string& bytes) const {
    fs::remove_all(path(rel));
    fs::create_directories(fs::path(path(rel)).parent_path());
    std::ofstream out(path(rel), std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path(rel));
}

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

void put(std::string& s, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s += char((value >> (8 * i)) & 0xFF);
}

} // namespace

std::string bitmap1(unsigned w, unsigned h) {
    const unsigned row = (w + 31) / 32 * 4;
    std::string s = "BM";
    put(s, 62 + row * h, 4);
    put(s, 0, 4);
    put(s, 62, 4);
    put(s, 40, 4);
    put(s, w, 4);
    put(s, h, 4);
    put(s, 1, 2);
    put(s, 1, 2);
    put(s, 0, 4);
    put(s, row * h, 4);
    put(s, 2835, 4);
    put(s, 2835, 4);
    put(s, 2, 4);
    put(s, 0, 4);
    put(s, 0x000000, 4);
    put(s, 0xFFFFFF, 4);
    return s + std::string(size_t(row) * h, '\0');
}

namespace {

// The extra "fmt " bytes of Microsoft ADPCM with the standard 7 coefficients.
std::string msAdpcm(unsigned samplesPerBlock) {
    std::string e;
    put(e, 32, 2);
    put(e, samplesPerBlock, 2);
    put(e, 7, 2);
    for (int c : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232})
        put(e, static_cast<unsigned>(c) & 0xFFFF, 2);
    return e;
}

// The same file grown to `bytes` without writing them: a sparse file that
// takes no room on disk.
void sparse(const dataCopy& d, const std::string& rel, const std::string& start,
            unsigned long long bytes) {
    d.write(rel, start);
    if (truncate(d.path(rel).c_str(), static_cast<off_t>(bytes)) != 0)
        throw std::runtime_error("cannot grow " + rel);
}

} // namespace

std::string frameIndexOf(const dataCopy& d, const std::vector<std::string>& bitmapLines) {
    std::vector<std::string> punchLines = linesOf(d.read("Tavro/punch/info"));
    std::string text = "FILES: " + std::to_string(bitmapLines.size()) + "\n\n";
    for (const std::string& bitmapLine : bitmapLines) {
        text += bitmapLine + "\n";
        for (int n = 4; n <= 16; ++n)
            text += punchLines[n - 1] + "\n";
        text += "\n";
    }
    return text;
}

void dataCopy::setLine(const std::string& rel, int n, const std::string& text) const {
    std::vector<std::string> lines = linesOf(read(rel));
    if (n < 1 || n > int(lines.size())) throw std::runtime_error("no line there in " + rel);
    lines[n - 1] = text;
    write(rel, joined(lines));
}

void dataCopy::insertLine(const std::string& rel, int n, const std::string& text) const {
    std::vector<std::string> lines = linesOf(read(rel));
    lines.insert(lines.begin() + (n - 1), text);
    write(rel, joined(lines));
}

void dataCopy::remove(const std::string& rel) const {
    fs::remove_all(path(rel));
}

void dataCopy::fifo(const std::string& rel) const {
    remove(rel);
    if (mkfifo(path(rel).c_str(), 0600) != 0) throw std::runtime_error("no FIFO at " + rel);
}

void dataCopy::folder(const std::string& rel) const {
    remove(rel);
    fs::create_directories(path(rel));
}

void dataCopy::link(const std::string& rel, const std::string& target) const {
    remove(rel);
    fs::create_symlink(target, path(rel));
}

std::string wav(unsigned tag, unsigned channels, unsigned rate, unsigned blockAlign, unsigned bits,
                const std::string& extra, const std::string& data) {
    std::string fmt;
    put(fmt, tag, 2);
    put(fmt, channels, 2);
    put(fmt, rate, 4);
    put(fmt, rate * blockAlign, 4);
    put(fmt, blockAlign, 2);
    put(fmt, bits, 2);
    fmt += extra;
    std::string body = "WAVEfmt ";
    put(body, unsigned(fmt.size()), 4);
    body += fmt + "data";
    put(body, unsigned(data.size()), 4);
    body += data;
    std::string s = "RIFF";
    put(s, unsigned(body.size()), 4);
    return s + body;
}

namespace {

const char* const bom = "\xEF\xBB\xBF";

// Frame entries of data/Tavro/punch/info start at lines 3, 18, 33, 48 and
// 63; the third (line 33) is the one that hits.
const char* const punch = "Tavro/punch/info";

// count more moves at the end of the move file, each a copy of "punch"
// under the given name (so shown from the folder of that name).
void appendMoves(const dataCopy& d, int count, const std::string& name) {
    std::vector<std::string> lines = linesOf(d.read("Tavro/moveset"));
    int punchRecord = 0;
    for (size_t n = 1; n < lines.size(); n += 11)
        if (lines[n] == "punch") punchRecord = int(n);
    std::vector<std::string> record(lines.begin() + punchRecord, lines.begin() + punchRecord + 11);
    record[0] = name;
    const int moves = std::stoi(lines[0].substr(lines[0].find(' ') + 1));
    lines[0] = "ANIMS: " + std::to_string(moves + count);
    for (int i = 0; i < count; ++i)
        lines.insert(lines.end(), record.begin(), record.end());
    d.write("Tavro/moveset", joined(lines));
}

// The punch's frames near their memory budget: one 2048 x 2048 bitmap with
// nine colour keys, nine images of 32 MB.
void framesNearBudget(const dataCopy& d, const std::string& folder) {
    d.write(folder + "/big.bmp", bitmap1(2048, 2048));
    std::vector<std::string> entries;
    for (int k = 0; k < 9; ++k)
        entries.push_back("big.bmp 1 255 0 " + std::to_string(k));
    d.write(folder + "/info", frameIndexOf(d, entries));
}

std::vector<hostileCase> makeCases() {
    using o = outcome;
    std::vector<hostileCase> all = {
        // Sounds: bytes SDL_mixer must never see, and files that are no files.
        {"wav-zero-rate", [](const dataCopy& d) { d.write("soundSet/hit.wav", wav(1, 1, 0)); },
         o::runs, "not loaded: sample rate 0 Hz",
         "data/soundSet/sound:2: error: sound data/soundSet/hit.wav: sample rate 0 Hz; it must be "
         "from 4000 to 192000 Hz; \"hit\" plays nothing"},
        {"wav-one-hertz", [](const dataCopy& d) { d.write("soundSet/hit.wav", wav(1, 1, 1)); },
         o::runs, "not loaded: sample rate 1 Hz", "sample rate 1 Hz"},
        {"wav-huge-rate",
         [](const dataCopy& d) { d.write("soundSet/hit.wav", wav(1, 1, 0xFFFFFFFF)); }, o::runs,
         "not loaded: sample rate 4294967295 Hz", "sample rate 4294967295 Hz"},
        {"wav-no-channels", [](const dataCopy& d) { d.write("soundSet/block.wav", wav(1, 0)); },
         o::runs, "0 channels",
         "data/soundSet/sound:3: error: sound data/soundSet/block.wav: 0 channels; only mono and "
         "stereo sounds can be loaded"},
        {"wav-many-channels",
         [](const dataCopy& d) { d.write("soundSet/block.wav", wav(1, 200, 22050, 400)); }, o::runs,
         "200 channels", "200 channels"},
        {"wav-zero-block",
         [](const dataCopy& d) { d.write("Tavro/sound/punch.wav", wav(1, 1, 22050, 0)); }, o::runs,
         "block size 0",
         "data/Tavro/sound/sound:2: error: sound data/Tavro/sound/punch.wav: block size 0 does not "
         "match 1 x 16-bit samples"},
        {"wav-24-bit",
         [](const dataCopy& d) { d.write("Tavro/sound/kick.wav", wav(1, 1, 22050, 3, 24)); },
         o::runs, "24-bit PCM", "24-bit PCM; only 8- and 16-bit PCM can be loaded"},
        {"wav-float",
         [](const dataCopy& d) { d.write("Tavro/sound/kick.wav", wav(3, 1, 22050, 4, 32)); },
         o::runs, "sample format 3", "sample format 3 cannot be loaded"},
        {"wav-adpcm-zero-block",
         [](const dataCopy& d) {
             d.write("soundSet/step.wav",
                     wav(2, 1, 22050, 0, 4, msAdpcm(500), std::string(256, 0)));
         },
         o::runs, "ADPCM block size 0", "ADPCM block size 0 cannot hold 500 samples a channel"},
        {"wav-adpcm-short-block",
         [](const dataCopy& d) {
             d.write("soundSet/step.wav",
                     wav(2, 2, 22050, 32, 4, msAdpcm(500), std::string(64, 0)));
         },
         o::runs, "ADPCM block size 32", "ADPCM block size 32 cannot hold 500 samples a channel"},
        {"wav-adpcm-predictor",
         [](const dataCopy& d) {
             std::string data(512, 0);
             data[256] = char(250);
             d.write("soundSet/step.wav", wav(2, 1, 22050, 256, 4, msAdpcm(500), data));
         },
         o::runs, "names predictor 250", "names predictor 250 of 7"},
        {"wav-adpcm-coefficients",
         [](const dataCopy& d) {
             std::string extra = msAdpcm(500);
             extra[4] = 40;
             d.write("soundSet/step.wav", wav(2, 1, 22050, 256, 4, extra, std::string(256, 0)));
         },
         o::runs, "coefficient table", "ADPCM coefficient table is not the standard one"},
        {"wav-ima-step",
         [](const dataCopy& d) {
             std::string data(256, 0);
             data[2] = char(200);
             d.write("soundSet/step.wav",
                     wav(0x11, 1, 22050, 256, 4, std::string("\2\0\xF9\1", 4), data));
         },
         o::runs, "starts at step 200", "starts at step 200 of 89"},
        {"wav-fmt-cut-short",
         [](const dataCopy& d) { d.write("soundSet/step.wav", wav(2, 1, 22050, 256, 4, "\2\0")); },
         o::runs, "\"fmt \" chunk cut short", "\"fmt \" chunk cut short"},
        {"wav-data-past-end",
         [](const dataCopy& d) {
             std::string bytes = wav();
             bytes[40] = '\xFF', bytes[41] = '\xFF', bytes[42] = '\xFF', bytes[43] = '\x7F';
             d.write("soundSet/fireball.wav", bytes);
         },
         o::runs, "\"data\" chunk runs past the end",
         "\"data\" chunk runs past the end of the file"},
        {"wav-fmt-past-end",
         [](const dataCopy& d) {
             std::string bytes = wav();
             bytes[16] = '\xF0', bytes[17] = '\xFF', bytes[18] = '\xFF', bytes[19] = '\xFF';
             d.write("soundSet/fireball.wav", bytes);
         },
         o::runs, "\"fmt \" chunk runs past the end",
         "\"fmt \" chunk runs past the end of the file"},
        {"wav-too-long",
         [](const dataCopy& d) {
             d.write("soundSet/fireball.wav",
                     wav(1, 1, 22050, 2, 16, "", std::string(4 * 1024 * 1024 + 2, 0)));
         },
         o::runs, "4194306 bytes of sound data", "4194306 bytes of sound data; at most 4194304"},
        {"wav-no-data",
         [](const dataCopy& d) { d.write("soundSet/fireball.wav", wav().substr(0, 36)); }, o::runs,
         "no \"data\" chunk", "no \"data\" chunk"},
        {"wav-not-riff",
         [](const dataCopy& d) { d.write("soundSet/fireball.wav", "ID3\3 an mp3"); }, o::runs,
         "not a WAV file", "not a WAV file (no RIFF/WAVE header)"},
        {"wav-empty", [](const dataCopy& d) { d.write("soundSet/fireball.wav", ""); }, o::runs,
         "not a WAV file",
         "data/soundSet/sound:5: error: sound data/soundSet/fireball.wav: not a WAV file (no "
         "RIFF/WAVE header)"},
        {"wav-fifo", [](const dataCopy& d) { d.fifo("soundSet/whoosh.wav"); }, o::runs,
         "whoosh.wav not loaded: not a regular file", "soundSet/whoosh.wav: not a regular file"},
        {"wav-folder", [](const dataCopy& d) { d.folder("soundSet/whoosh.wav"); }, o::runs,
         "whoosh.wav not loaded: not a regular file", "soundSet/whoosh.wav: not a regular file"},
        {"wav-missing", [](const dataCopy& d) { d.remove("Tavro/sound/shout.wav"); }, o::runs,
         "shout.wav not loaded: cannot be read", "Tavro/sound/shout.wav: cannot open the file"},

        // Sound lists.
        {"sound-name-up", [](const dataCopy& d) { d.setLine("soundSet/sound", 2, "../tBG2"); },
         o::runs, "data/soundSet/sound:2: sound \"../tBG2\" leaves the sound folder",
         "data/soundSet/sound:2: error: sound \"../tBG2\" leaves the sound folder; the game never "
         "reads it and the sound plays nothing"},
        {"sound-name-absolute",
         [](const dataCopy& d) { d.setLine("Tavro/sound/sound", 3, "/dev/zero"); }, o::runs,
         "data/Tavro/sound/sound:3: sound \"/dev/zero\" leaves the sound folder",
         "data/Tavro/sound/sound:3: error: sound \"/dev/zero\" leaves the sound folder; the game "
         "never reads it and the sound plays nothing"},
        {"sound-list-bom",
         [](const dataCopy& d) { d.write("soundSet/sound", bom + d.read("soundSet/sound")); },
         o::runs, "Sound - step",
         "data/soundSet/sound:1: note: the file starts with a UTF-8 byte-order mark; the game "
         "skips it"},
        {"sound-list-folder", [](const dataCopy& d) { d.folder("soundSet/sound"); }, o::runs,
         "ERROR opening file data/soundSet/sound",
         "data/soundSet/sound: error: cannot open the sound list; the game loads none of its "
         "sounds"},
        {"sound-list-fifo", [](const dataCopy& d) { d.fifo("Tavro/sound/sound"); }, o::runs,
         "ERROR opening file data/Tavro/sound/sound",
         "data/Tavro/sound/sound: error: cannot open the sound list; the game loads none of its "
         "sounds"},
        {"sound-list-wild-count",
         [](const dataCopy& d) { d.setLine("soundSet/sound", 1, "SOUNDS: 2147483647"); }, o::runs,
         "",
         "data/soundSet/sound:1: error: \"SOUNDS: 2147483647\" announces 2147483647 sounds but the "
         "file holds 5"},

        // Particles: chains that multiply, definitions that cannot show.
        {"particle-doubles-itself",
         [](const dataCopy& d) {
             d.write("particle/spark/particle", "255\n400\n1\n0\n0\n2\nspark 14 8\nspark 22 "
                                                "34\n1\nNULL\n1\nNULL\n1\nNULL\n1\nNULL\n");
         },
         o::runs, "",
         "data/particle/spark/particle:6: error: particle \"spark\": spawn loop \"spark\" -> "
         "\"spark\" spawns 2 particles for every 1 that die: they multiply until the game drops "
         "new ones at 400 live particles"},
        {"particle-fireball-loop",
         [](const dataCopy& d) {
             d.setLine("particle/spark/particle", 6, "2");
             d.setLine("particle/spark/particle", 7, "fireball 0 0\nfireball 0 0");
         },
         o::runs, "",
         "data/particle/spark/particle:6: error: particle \"spark\": spawn loop \"spark\" -> "
         "\"fireball\" -> \"spark\" spawns 5 particles for every 2 that die"},
        {"particle-renews-itself",
         [](const dataCopy& d) { d.setLine("particle/spark/particle", 7, "spark 0 0"); }, o::runs,
         "",
         "data/particle/spark/particle:6: warning: particle \"spark\": spawn loop \"spark\" -> "
         "\"spark\" renews itself: once spawned, these particles never all die"},
        {"particle-folder-missing",
         [](const dataCopy& d) {
             d.remove("particle/spark/info");
             d.setLine("particle/spark/particle", 2, "0");
         },
         o::runs, "ERROR opening file data/particle/spark/info",
         "data/particle/default:2: error: cannot open frame index data/particle/spark/info"},
        {"particle-list-missing", [](const dataCopy& d) { d.remove("particle/default"); }, o::runs,
         "ERROR opening file data/particle/default",
         "data/particle/default: error: cannot open the particle list \"default\"; the game loads "
         "no particles"},
        {"particle-list-folder", [](const dataCopy& d) { d.folder("particle/default"); }, o::runs,
         "ERROR opening file data/particle/default",
         "data/particle/default: error: cannot open the particle list \"default\"; the game loads "
         "no particles"},
        {"particle-list-fifo", [](const dataCopy& d) { d.fifo("particle/default"); }, o::runs,
         "ERROR opening file data/particle/default",
         "data/particle/default: error: cannot open the particle list \"default\"; the game loads "
         "no particles"},
        {"particle-name-up",
         [](const dataCopy& d) { d.setLine("particle/default", 2, "../Tavro/punch 1"); }, o::runs,
         "data/particle/default:2: particle \"../Tavro/punch\" leaves the particle folder",
         "data/particle/default:2: error: particle definition \"../Tavro/punch\" leaves the "
         "particle folder; the game never reads it and never spawns it"},
        {"particle-name-absolute",
         [](const dataCopy& d) { d.setLine("particle/default", 3, "/tmp 2"); }, o::runs,
         "data/particle/default:3: particle \"/tmp\" leaves the particle folder",
         "data/particle/default:3: error: particle definition \"/tmp\" leaves the particle folder; "
         "the game never reads it and never spawns it"},
        {"particle-wild-counts",
         [](const dataCopy& d) {
             d.setLine("particle/fireball/particle", 6, "2147483647");
             d.setLine("particle/default", 1, "PARTS: 2147483647");
         },
         o::runs, "",
         "data/particle/default:1: error: \"PARTS: 2147483647\" announces 2147483647 definitions "
         "but the file holds 4"},
        {"particle-extreme-offsets",
         [](const dataCopy& d) {
             d.setLine("particle/fireball/particle", 7, "spark 2147483647 -2147483648");
             d.setLine(std::string("Tavro/fireball/info"), 44, "fireball -2147483648 2147483647");
         },
         o::runs, "",
         "data/particle/fireball/particle:7: warning: particle \"fireball\": offset 2147483647 is "
         "outside -100000 .. 100000; the game uses 100000"},
        {"particle-file-bom",
         [](const dataCopy& d) {
             d.write("particle/fireball/particle", bom + d.read("particle/fireball/particle"));
         },
         o::runs, "",
         "data/particle/fireball/particle:1: note: the file starts with a UTF-8 byte-order mark; "
         "the game skips it"},

        // Frames: numbers at the ends of the int range.
        {"frame-extreme-offsets",
         [](const dataCopy& d) { d.setLine(punch, 34, "2147483647 -2147483648"); }, o::runs, "",
         "data/Tavro/punch/info:34: warning: frame 3: anchor value 2147483647 is outside -100000 "
         ".. 100000; the game uses 100000"},
        {"frame-extreme-boxes",
         [](const dataCopy& d) {
             d.setLine(punch, 35, "-2147483648 -2147483648 2147483647 2147483647");
             d.setLine(punch, 36, "2147483647 2147483647 -2147483648 -2147483648");
         },
         o::runs, "",
         "data/Tavro/punch/info:36: warning: frame 3: damage box value 2147483647 is outside "
         "-100000 .. 100000; the game uses 100000"},
        {"frame-extreme-damage", [](const dataCopy& d) { d.setLine(punch, 37, "2147483647"); },
         o::runs, "",
         "data/Tavro/punch/info:37: warning: frame 3: damage 2147483647 is outside 0 .. 1000000; "
         "the game uses 1000000"},
        {"frame-negative-damage", [](const dataCopy& d) { d.setLine(punch, 37, "-2147483648"); },
         o::runs, "",
         "data/Tavro/punch/info:37: warning: frame 3: damage -2147483648 is outside 0 .. 1000000; "
         "the game uses 0"},
        {"frame-extreme-steps",
         [](const dataCopy& d) { d.setLine(punch, 44, "2147483647 2147483647"); }, o::runs, "",
         "data/Tavro/punch/info:44: warning: frame 3: movement value 2147483647 is outside -100000 "
         ".. 100000; the game uses 100000"},
        {"frame-extreme-pause",
         [](const dataCopy& d) { d.setLine(punch, 33, "f02.bmp 2147483647 255 0 255"); }, o::runs,
         "", ""},
        {"frame-negative-pause",
         [](const dataCopy& d) { d.setLine(punch, 33, "f02.bmp -2147483648 255 0 255"); }, o::runs,
         "", ""},
        {"frame-wild-count", [](const dataCopy& d) { d.setLine(punch, 1, "FILES: 2147483647"); },
         o::runs, "",
         "data/Tavro/punch/info:1: error: \"FILES: 2147483647\" announces 2147483647 frames but "
         "the file holds 5"},
        {"frame-wild-particle-count", [](const dataCopy& d) { d.setLine(punch, 43, "2147483647"); },
         o::runs, "",
         "data/Tavro/punch/info:46: error: frame 3: no particle definition named \"punch\" in "
         "data/particle/default"},
        {"frame-index-crlf",
         [](const dataCopy& d) {
             std::string text = d.read(punch), crlf;
             for (char c : text)
                 crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
             d.write(punch, crlf);
         },
         o::runs, "", ""},
        {"frame-index-bom", [](const dataCopy& d) { d.write(punch, bom + d.read(punch)); }, o::runs,
         "", "data/Tavro/punch/info:1: note: the file starts with a UTF-8 byte-order mark"},
        {"frame-index-long-line",
         [](const dataCopy& d) { d.setLine(punch, 2, "#" + std::string(3000, 'x')); }, o::stops,
         "info:2: frame 0, bitmap data/Tavro/punch/xxxxxxxxxx",
         "data/Tavro/punch/info:2: error: line longer than 254 characters (line end included); the "
         "game reads the rest of it as another line"},
        {"frame-index-folder", [](const dataCopy& d) { d.folder(punch); }, o::runs,
         "ERROR opening file data/Tavro/punch/info",
         "data/Tavro/moveset:101: error: cannot open frame index data/Tavro/punch/info"},
        {"frame-index-fifo", [](const dataCopy& d) { d.fifo(punch); }, o::runs,
         "ERROR opening file data/Tavro/punch/info",
         "data/Tavro/moveset:101: error: cannot open frame index data/Tavro/punch/info"},
        {"frame-index-loop", [](const dataCopy& d) { d.link(punch, "info"); }, o::runs,
         "ERROR opening file data/Tavro/punch/info",
         "data/Tavro/moveset:101: error: cannot open frame index data/Tavro/punch/info"},

        // Frames: bitmaps that cannot be read; the game stops naming them.
        {"bitmap-name-up",
         [](const dataCopy& d) { d.setLine(punch, 33, "../kick/f00.bmp 18 255 0 255"); }, o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/../kick/f00.bmp: the name "
         "leaves the frame folder",
         "data/Tavro/punch/info:33: error: frame 3: bitmap name \"../kick/f00.bmp\" leaves the "
         "frame folder and is never read; the game stops with exit code 1"},
        {"bitmap-name-absolute",
         [](const dataCopy& d) { d.setLine(punch, 3, "/etc/passwd 12 255 0 255"); }, o::stops,
         "data/Tavro/punch/info:3: frame 0, bitmap data/Tavro/punch//etc/passwd: the name leaves "
         "the frame folder",
         "data/Tavro/punch/info:3: error: frame 1: bitmap name \"/etc/passwd\" leaves the frame "
         "folder and is never read; the game stops with exit code 1"},
        {"bitmap-missing", [](const dataCopy& d) { d.remove("Tavro/punch/f02.bmp"); }, o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f02.bmp: cannot be read",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: cannot open the file; "
         "the game stops with exit code 1"},
        {"bitmap-folder", [](const dataCopy& d) { d.folder("Tavro/punch/f02.bmp"); }, o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f02.bmp: not a regular file",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: not a regular file; "
         "the game stops with exit code 1"},
        {"bitmap-fifo", [](const dataCopy& d) { d.fifo("Tavro/punch/f02.bmp"); }, o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f02.bmp: not a regular file",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: not a regular file; "
         "the game stops with exit code 1"},
        {"bitmap-garbage", [](const dataCopy& d) { d.write("Tavro/punch/f02.bmp", "GIF89a"); },
         o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f02.bmp: cannot be decoded",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: bitmap too short for "
         "its header; the game stops with exit code 1"},
        {"bitmap-cut-short",
         [](const dataCopy& d) {
             d.write("Tavro/punch/f02.bmp", d.read("Tavro/punch/f02.bmp").substr(0, 400));
         },
         o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f02.bmp: cannot be decoded",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: bitmap palette runs "
         "past the file; the game stops with exit code 1"},
        {"bitmap-empty", [](const dataCopy& d) { d.write("Tavro/walk/f03.bmp", ""); }, o::stops,
         "bitmap data/Tavro/walk/f03.bmp: cannot be decoded",
         "data/Tavro/walk/info:48: error: bitmap data/Tavro/walk/f03.bmp: bitmap too short for its "
         "header; the game stops with exit code 1"},
        {"bitmap-too-wide",
         [](const dataCopy& d) { d.write("Tavro/punch/f02.bmp", bitmap1(5000, 1)); }, o::stops,
         "bitmap data/Tavro/punch/f02.bmp: cannot be decoded",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: bitmap of 5000 x 1 "
         "pixels is larger than a frame may be (at most 4096 pixels each way and 4194304 pixels in "
         "all); the game stops with exit code 1"},
        {"bitmap-too-many-pixels",
         [](const dataCopy& d) { d.write("particle/spark/f01.bmp", bitmap1(2100, 2100)); },
         o::stops, "bitmap data/particle/spark/f01.bmp: cannot be decoded",
         "bitmap data/particle/spark/f01.bmp: bitmap of 2100 x 2100 pixels is larger than a frame "
         "may be"},
        {"frame-blank-line-inside", [](const dataCopy& d) { d.insertLine(punch, 36, ""); },
         o::stops,
         "data/Tavro/punch/info:47: frame 3, bitmap data/Tavro/punch/punch: cannot be read",
         "data/Tavro/punch/info:36: error: frame 3: expected the damage box (4 numbers), found "
         "\"\"; empty lines are not allowed inside a frame entry"},

        // The character's indexes.
        {"animation-name-up", [](const dataCopy& d) { d.setLine("Tavro/info", 3, "../hpBar"); },
         o::runs, "data/Tavro/info:3: animation \"../hpBar\" leaves the character folder",
         "data/Tavro/info:3: error: animation \"../hpBar\" leaves the character folder; the game "
         "never reads it and the animation has no frames"},
        {"animation-index-bom",
         [](const dataCopy& d) { d.write("Tavro/info", bom + d.read("Tavro/info")); }, o::runs, "",
         "data/Tavro/info:1: note: the file starts with a UTF-8 byte-order mark"},
        {"animation-index-folder", [](const dataCopy& d) { d.folder("Tavro/info"); }, o::stops,
         "no animations found in data/Tavro/info",
         "data/Tavro/info: error: cannot open the animation index; the game stops with exit code "
         "1"},
        {"animation-index-fifo", [](const dataCopy& d) { d.fifo("Tavro/info"); }, o::stops,
         "no animations found in data/Tavro/info",
         "data/Tavro/info: error: cannot open the animation index; the game stops with exit code "
         "1"},
        {"move-name-up", [](const dataCopy& d) { d.setLine("Tavro/moveset", 13, "../walk"); },
         o::runs, "data/Tavro/moveset:13: move \"../walk\" leaves the character folder",
         "data/Tavro/moveset:13: error: move 2 \"../walk\": the name leaves the character folder; "
         "the game never reads its frames and the move has none"},
        {"move-name-absolute", [](const dataCopy& d) { d.setLine("Tavro/moveset", 2, "/proc"); },
         o::runs, "data/Tavro/moveset:2: move \"/proc\" leaves the character folder",
         "data/Tavro/moveset:2: error: move 1 \"/proc\": the name leaves the character folder; the "
         "game never reads its frames and the move has none"},
        {"moveset-bom",
         [](const dataCopy& d) { d.write("Tavro/moveset", bom + d.read("Tavro/moveset")); },
         o::runs, "",
         "data/Tavro/moveset:1: note: the file starts with a UTF-8 byte-order mark; the game skips "
         "it"},
        {"moveset-fifo", [](const dataCopy& d) { d.fifo("Tavro/moveset"); }, o::runs,
         "ERROR opening file data/Tavro/moveset",
         "data/Tavro/moveset: error: cannot open the move file; the character has no moves"},
        {"attack-file-fifo", [](const dataCopy& d) { d.fifo("Tavro/ai/attack"); }, o::runs,
         "ERROR opening file data/Tavro/ai/attack",
         "data/Tavro/ai/attack: error: cannot open the attack file; the computer opponent never "
         "attacks"},
        {"attack-file-bom",
         [](const dataCopy& d) { d.write("Tavro/ai/attack", bom + d.read("Tavro/ai/attack")); },
         o::runs, "",
         "data/Tavro/ai/attack:1: note: the file starts with a UTF-8 byte-order mark; the game "
         "skips it"},
        {"attack-file-wild-count",
         [](const dataCopy& d) { d.setLine("Tavro/ai/attack", 1, "Attacks: -2147483648"); },
         o::runs, "",
         "data/Tavro/ai/attack:1: warning: negative count -2147483648: section 1 (ground) is "
         "empty"},

        // The bar and the stage.
        {"bar-missing", [](const dataCopy& d) { d.remove("hpBar"); }, o::runs,
         "No hit-point bar frames in data/hpBar",
         "data/hpBar/info: error: cannot open frame index data/hpBar/info"},
        {"bar-empty", [](const dataCopy& d) { d.write("hpBar/info", "FILES: 0\n"); }, o::runs,
         "No hit-point bar frames in data/hpBar",
         "data/hpBar/info:1: warning: no frames: nothing to show"},
        {"bar-bitmap-fifo", [](const dataCopy& d) { d.fifo("hpBar/bar.bmp"); }, o::runs,
         "No hit-point bar frames in data/hpBar",
         "data/hpBar/info:3: error: bitmap data/hpBar/bar.bmp: not a regular file; the game stops "
         "loading this folder"},
        {"stage-missing", [](const dataCopy& d) { d.remove("tBG2.bmp"); }, o::stops,
         "Cannot load the stage data/tBG2.bmp",
         "data/tBG2.bmp: error: background bitmap: cannot open the file"},
        {"stage-fifo", [](const dataCopy& d) { d.fifo("tBG2.bmp"); }, o::stops,
         "Cannot load the stage data/tBG2.bmp",
         "data/tBG2.bmp: error: background bitmap: not a regular file"},
        {"stage-too-large", [](const dataCopy& d) { d.write("tBG2.bmp", bitmap1(8000, 600)); },
         o::stops, "Cannot load the stage data/tBG2.bmp: bitmap of 8000 x 600 pixels",
         "data/tBG2.bmp: error: background bitmap: bitmap of 8000 x 600 pixels is larger than a "
         "frame may be"},

        // Sizes: files of gigabytes (sparse, so they cost no disk) are
        // refused from their size, before a byte is read.
        {"wav-sparse-2gb",
         [](const dataCopy& d) { sparse(d, "soundSet/fireball.wav", wav(), 2200000000ull); },
         o::runs, "file of 2200000000 bytes; a sound file may hold at most 8388608",
         "data/soundSet/sound:5: error: sound data/soundSet/fireball.wav: file of 2200000000 "
         "bytes; a sound file may hold at most 8388608"},
        {"bitmap-sparse-2gb",
         [](const dataCopy& d) {
             sparse(d, "Tavro/punch/f02.bmp", bitmap1(64, 64), 2200000000ull);
         },
         o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f02.bmp: file of 2200000000 "
         "bytes; a bitmap may hold at most 33554432",
         "data/Tavro/punch/info:33: error: bitmap data/Tavro/punch/f02.bmp: file of 2200000000 "
         "bytes; a bitmap may hold at most 33554432; the game stops with exit code 1"},
        {"wav-empty-data",
         [](const dataCopy& d) {
             d.write("soundSet/fireball.wav", wav(1, 1, 22050, 2, 16, "", ""));
         },
         o::runs, "the \"data\" chunk holds no sound", "the \"data\" chunk holds no sound"},
        {"wav-odd-chunk-before-format",
         [](const dataCopy& d) {
             std::string bytes = wav();
             d.write("soundSet/fireball.wav",
                     bytes.substr(0, 12) + std::string("LIST\3\0\0\0abc\0", 12) + bytes.substr(12));
         },
         o::runs, "\"LIST\" chunk of odd size 3",
         "\"LIST\" chunk of odd size 3 before the sound data"},

        // The memory budget for decoded frames.  One 2048 x 2048 bitmap
        // (512 KB on disk) costs 32 MB decoded: named with twenty colour
        // keys it is twenty images and passes the budget; named three
        // hundred times with one key it is decoded once.
        {"frames-past-budget",
         [](const dataCopy& d) {
             d.write("Tavro/punch/big.bmp", bitmap1(2048, 2048));
             std::vector<std::string> entries;
             for (int k = 0; k < 20; ++k)
                 entries.push_back("big.bmp 1 255 0 " + std::to_string(k));
             d.write("Tavro/punch/info", frameIndexOf(d, entries));
         },
         o::stops, "the frames would take more than their memory budget of 512 MB",
         "bitmap data/Tavro/punch/big.bmp: the frames would take more than their memory budget of "
         "512 MB",
         false, true},
        {"frames-one-bitmap-many-entries",
         [](const dataCopy& d) {
             d.write("Tavro/punch/big.bmp", bitmap1(2048, 2048));
             d.write("Tavro/punch/info",
                     frameIndexOf(d, std::vector<std::string>(300, "big.bmp 1 255 0 255")));
         },
         o::runs, "", "is larger than the first frame of \"blank\"", false, true},
        {"frames-near-budget", [](const dataCopy& d) { framesNearBudget(d, "Tavro/punch"); },
         o::runs, "", "is larger than the first frame of \"blank\"", false, true},
        // Sets that show the same files share their images, whatever path
        // reaches them: 2000 moves on one folder decode it once, and a
        // second move on a link to the punch's folder costs nothing; the
        // same bytes in other files are decoded again, and pass the budget.
        {"moves-2000-share-a-folder", [](const dataCopy& d) { appendMoves(d, 2000, "punch"); },
         o::runs, "", "move \"punch\" is defined twice", false, true},
        {"frames-near-budget-linked-folder",
         [](const dataCopy& d) {
             framesNearBudget(d, "Tavro/punch");
             d.link("Tavro/punch2", "punch");
             appendMoves(d, 1, "punch2");
         },
         o::runs, "", "is larger than the first frame of \"blank\"", false, true},
        {"frames-near-budget-copied-folder",
         [](const dataCopy& d) {
             framesNearBudget(d, "Tavro/punch");
             framesNearBudget(d, "Tavro/punch2");
             appendMoves(d, 1, "punch2");
         },
         o::stops,
         "bitmap data/Tavro/punch2/big.bmp: the frames would take more than their memory budget "
         "of 512 MB",
         "bitmap data/Tavro/punch2/big.bmp: the frames would take more than their memory budget "
         "of 512 MB",
         false, true},

        // Particles: chains that fill the list without a loop, and ones that
        // never end.
        {"particle-doubling-chain",
         [](const dataCopy& d) {
             std::string list = d.read("particle/default");
             list.replace(list.find('4'), 1, "44");
             for (int i = 0; i < 40; ++i) {
                 const std::string name = "d" + std::to_string(i);
                 list += name + " " + std::to_string(i + 5) + "\n";
                 const std::string next = i < 39 ? "2\nd" + std::to_string(i + 1) + " 0 0\nd" +
                                                       std::to_string(i + 1) + " 0 0\n"
                                                 : "1\nNULL\n";
                 d.write("particle/" + name + "/particle",
                         "255\n60\n0\n0\n0\n" + next + "1\nNULL\n1\nNULL\n1\nNULL\n1\nNULL\n");
                 d.link("particle/" + name + "/info", "../spark/info");
                 for (const char* bmp : {"f00.bmp", "f01.bmp", "f02.bmp"})
                     d.link("particle/" + name + "/" + bmp, std::string("../spark/") + bmp);
             }
             d.write("particle/default", list);
             d.setLine("particle/fireball/particle", 7, "d0 0 0");
         },
         o::runs, "Particle limit of 400 reached",
         "data/particle/d30/particle:6: error: particle \"d30\": its \"OnDeath\" follow-ups "
         "multiply "
         "to 512 particles alive at once, with no loop"},
        {"particle-never-ends",
         [](const dataCopy& d) {
             d.setLine("particle/spark/particle", 2, "0");
             d.setLine("particle/spark/info", 29, "0 0"); // the frame that moved it
         },
         o::runs, "",
         "data/particle/spark/particle:2: warning: particle \"spark\": never ends: lifetime 0"},
        // Names with escape sequences: the checker refuses them, and both
        // the checker and the game's trace show them escaped, never raw.
        {"move-name-escape",
         [](const dataCopy& d) { d.setLine("Tavro/moveset", 13, "wa\x1b[2Jlk"); }, o::runs,
         "Lets Rock!: wa\\x1B[2Jlk\n",
         "data/Tavro/moveset:13: error: move name \"wa\\x1B[2Jlk\" holds control bytes"},
        {"sound-name-escape",
         [](const dataCopy& d) { d.setLine("soundSet/sound", 3, "bl\x1b]0;owned\x07ock"); },
         o::runs, "Sound file: data/soundSet/bl\\x1B]0;owned\\x07ock.wav",
         "data/soundSet/sound:3: error: sound name \"bl\\x1B]0;owned\\x07ock\" holds control "
         "bytes"},
        {"bitmap-name-escape",
         [](const dataCopy& d) { d.setLine(punch, 33, "f\x1b[5m02.bmp 18 255 0 255"); }, o::stops,
         "data/Tavro/punch/info:33: frame 2, bitmap data/Tavro/punch/f\\x1B[5m02.bmp: cannot be "
         "read",
         "data/Tavro/punch/info:33: error: bitmap name \"f\\x1B[5m02.bmp\" holds control bytes"},

        // Where the game is started from.
        // Every frame folder is left again without reading the working
        // directory's path back: the bar, loaded last, still loads.
        {"deep-working-directory", [](const dataCopy&) {}, o::runs, "loading data/hpBar: 1 frames",
         "", true},
    };
    return all;
}

} // namespace

void longSpawnChain(const dataCopy& d, int n) {
    std::string list = d.read("particle/default");
    list.replace(list.find('4'), 1, std::to_string(n + 4));
    for (int i = 0; i < n; ++i) {
        const std::string name = "c" + std::to_string(i);
        list += name + " " + std::to_string(i + 5) + "\n";
        fs::create_directory(d.path("particle/" + name));
        std::ofstream(d.path("particle/" + name + "/particle"))
            << "255\n400\n0\n0\n0\n1\n"
            << (i + 1 < n ? "c" + std::to_string(i + 1) + " 0 0" : std::string("NULL"))
            << "\n1\nNULL\n1\nNULL\n1\nNULL\n1\nNULL\n";
    }
    d.write("particle/default", list);
    d.setLine("particle/fireball/particle", 7, "c0 0 0");
}

const std::vector<hostileCase>& cases() {
    static const std::vector<hostileCase> all = makeCases();
    return all;
}

const hostileCase& named(const std::string& name) {
    for (const hostileCase& c : cases())
        if (name == c.name) return c;
    throw std::invalid_argument("no hostile case named " + name);
}

} // namespace hostile
