// Sound sets: lists, the "already present" rule, playing by name.
#include "sound/soundSet.h"
#include "sound/wavHeader.h"

#include "base/platform.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>
#include <vector>

#include <sys/stat.h>

using namespace testing_support;

namespace {

void put16(std::string& s, unsigned v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void put32(std::string& s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A short 16-bit mono PCM WAV of silence.
std::string tinyWav(unsigned samples = 64) {
    const unsigned rate = 22050, dataBytes = samples * 2;
    std::string s = "RIFF";
    put32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1); // PCM
    put16(s, 1); // mono
    put32(s, rate);
    put32(s, rate * 2);
    put16(s, 2);
    put16(s, 16);
    s += "data";
    put32(s, dataBytes);
    s += std::string(dataBytes, '\0');
    return s;
}

// The dummy audio driver, opened the way the game opens its device.
class DummyAudio {
  public:
    DummyAudio() {
        SDL_Init(SDL_INIT_AUDIO);
        opened_ = Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) == 0;
    }
    ~DummyAudio() {
        if (opened_) Mix_CloseAudio();
        SDL_Quit();
    }
    bool opened() const { return opened_; }

  private:
    bool opened_ = false;
};

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

std::string names(const soundSet& set) {
    std::string all;
    for (soundEntry* e = set.head; e; e = e->next)
        all += e->name + ",";
    return all;
}

} // namespace

TEST(SoundSet, LoadsWavFilesWithAnAudioDeviceAndPlaysByName) {
    TempDir dir;
    dir.write("common/sound", "SOUNDS: 3\nhit\nmissing\nbad\n");
    dir.write("common/hit.wav", tinyWav());
    dir.write("common/bad.wav", "this is no wave file");
    DummyAudio audio;
    ASSERT_TRUE(audio.opened()) << SDL_GetError();
    {
        TraceCapture capture;
        soundSet set;
        set.getList((dir / "common").c_str());
        EXPECT_EQ(capture.errors(),
                  "Loaded myfile.wav\nCould not load myfile.wav\nCould not load myfile.wav\n");
        EXPECT_NE(capture.text().find(dir / "common/hit.wav"), std::string::npos);
        EXPECT_EQ(set.numSounds, 3);
        EXPECT_EQ(names(set), "hit,missing,bad,");
        ASSERT_NE(set.returnSound("hit"), nullptr);
        EXPECT_EQ(set.returnSound("missing"), nullptr);

        capture.clear();
        set.Play("hit", -1);
        set.Play("missing", -1); // an entry without sound plays nothing
        EXPECT_EQ(countOf(capture.text(), "SOUND PLAYING"), 2);
        EXPECT_EQ(countOf(capture.text(), "FOUND SOUND EFFECT"), 2);

        capture.clear();
        set.Play("nothing", -1);
        EXPECT_NE(capture.text().find("DID NOT FIND SOUND EFFECT"), std::string::npos);
        EXPECT_EQ(capture.text().find("SOUND PLAYING"), std::string::npos);
        EXPECT_NE(capture.text().find("bad VS nothing"), std::string::npos);
    }
}

TEST(SoundSet, AddToListSkipsOnlyNamesPresentBeforeTheCall) {
    TempDir dir;
    dir.write("common/sound", "SOUNDS: 2\npunch\nkick\n");
    // kick and punch are already there; Punch differs in case; roar twice
    // is loaded twice because the look-up only sees the older entries.
    dir.write("hero/sound", "SOUNDS: 5\nkick\nPunch\nroar\nroar\npunch\n");
    DummyAudio audio;
    ASSERT_TRUE(audio.opened());
    dir.write("common/kick.wav", tinyWav(64));
    dir.write("hero/kick.wav", tinyWav(128));
    {
        TraceCapture capture;
        soundSet set;
        set.getList((dir / "common").c_str());
        Mix_Chunk* commonKick = set.returnSound("kick");
        ASSERT_NE(commonKick, nullptr);
        capture.clear();

        set.addToList((dir / "hero").c_str());
        std::string trace = capture.text();
        EXPECT_NE(trace.find("ADDING TO SOUND SET, YAY!"), std::string::npos);
        EXPECT_NE(trace.find("-1\n"), std::string::npos);
        EXPECT_NE(trace.find("-2\n"), std::string::npos);
        EXPECT_NE(trace.find("New Total is : 5\n"), std::string::npos);
        // Three files tried, none of them the hero's kick.
        EXPECT_EQ(countOf(capture.errors(), "myfile.wav"), 3);
        EXPECT_EQ(set.numSounds, 5);
        EXPECT_EQ(names(set), "punch,kick,Punch,roar,roar,");
        EXPECT_EQ(set.returnSound("kick"), commonKick);
        EXPECT_EQ(set.find("roar"), set.head->next->next->next);
        EXPECT_EQ(set.find("Punch"), set.head->next->next);

        capture.clear();
        set.display();
        EXPECT_EQ(capture.text(),
                  "Sound - punch\nSound - kick\nSound - Punch\nSound - roar\nSound - roar\n");
    }
}

TEST(SoundSet, EmptyMissingAndMalformedLists) {
    TempDir dir;
    dir.write("none/sound", "SOUNDS: 0\nignored\n");
    dir.write("short/sound", "SOUNDS: 4\nfirst\nsecond\n");
    dir.write("huge/sound", "SOUNDS: 2000000000\nonly\n");
    dir.write("negative/sound", "SOUNDS: -3\nx\n");
    dir.write("junk/sound", "SOUND 2\na\nb\n");
    std::string longName(200, 'w');
    dir.write("long/sound", "SOUNDS: 1\n" + longName + "  trailing words\n");
    dir.write("plain/sound", "SOUNDS: 1\nhit\n");
    dir.write("plain/hit.wav", tinyWav());
    TraceCapture capture;

    // Without an audio device every sound stays silent.
    soundSet silent;
    EXPECT_NE(capture.text().find("SOUND CLASS INITIATED!"), std::string::npos);
    silent.getList((dir / "plain").c_str());
    EXPECT_EQ(capture.errors(), "Could not load myfile.wav\n");
    ASSERT_NE(silent.find("hit"), nullptr);
    EXPECT_EQ(silent.returnSound("hit"), nullptr);
    silent.Play("hit", -1);

    soundSet set;
    set.getList((dir / "absent").c_str());
    EXPECT_NE(capture.text().find("ERROR opening file " + (dir / "absent/sound") + "\n\n"),
              std::string::npos);
    EXPECT_EQ(set.head, nullptr);

    set.getList((dir / "none").c_str());
    EXPECT_EQ(set.numSounds, 0);
    EXPECT_EQ(set.head, nullptr);
    capture.clear();
    set.display();
    EXPECT_EQ(capture.text(), "");

    // Adding to an empty set builds the chain from the head; the count never
    // runs ahead of the entries really read.
    set.addToList((dir / "short").c_str());
    EXPECT_EQ(names(set), "first,second,");
    EXPECT_EQ(set.numSounds, 2);
    set.addToList((dir / "huge").c_str());
    set.addToList((dir / "negative").c_str());
    set.addToList((dir / "junk").c_str());
    EXPECT_EQ(names(set), "first,second,only,");
    EXPECT_EQ(set.numSounds, 3);
    EXPECT_EQ(set.find("x"), nullptr);

    capture.clear();
    set.addToList((dir / "absent").c_str());
    EXPECT_NE(capture.text().find("ERROR opening file"), std::string::npos);
    EXPECT_EQ(set.numSounds, 3);

    // A name far beyond the old limits is kept whole.
    set.addToList((dir / "long").c_str());
    EXPECT_EQ(set.numSounds, 4);
    ASSERT_NE(set.find(longName), nullptr);
    EXPECT_EQ(set.find(longName)->name.size(), 200u);
}

TEST(SoundSet, TheGameSoundsAllLoad) {
    if (!platform::directoryExists(sourceDir() + "/data/particle")) GTEST_SKIP() << "no game data";
    std::string previousDir = platform::currentDirectory();
    ASSERT_TRUE(platform::changeDirectory(sourceDir()));
    DummyAudio audio;
    ASSERT_TRUE(audio.opened());
    {
        TraceCapture capture;
        soundSet set;
        set.getList("data/soundSet");
        set.addToList("data/Tavro/sound");
        ASSERT_GT(set.numSounds, 0);
        EXPECT_EQ(countOf(capture.errors(), "Loaded myfile.wav\n"), set.numSounds);
        EXPECT_EQ(capture.errors().find("Could not"), std::string::npos);
        for (soundEntry* e = set.head; e; e = e->next)
            EXPECT_NE(e->chunk, nullptr) << e->name;
    }
    platform::changeDirectory(previousDir);
}

namespace {

// A WAV with every field of its "fmt " chunk chosen; `extra` follows the
// 16 standard bytes of the chunk, `data` is the sound data.
struct wavParts {
    unsigned tag = 1, channels = 1, rate = 22050, blockAlign = 2, bits = 16;
    std::string extra;
    std::string data = std::string(64, '\0');
    long dataSize = -1; // as announced; -1: the real size
};

std::string buildWav(const wavParts& w) {
    std::string fmt;
    put16(fmt, w.tag);
    put16(fmt, w.channels);
    put32(fmt, w.rate);
    put32(fmt, w.rate * w.blockAlign);
    put16(fmt, w.blockAlign);
    put16(fmt, w.bits);
    fmt += w.extra;
    std::string body = "WAVEfmt ";
    put32(body, static_cast<unsigned>(fmt.size()));
    body += fmt + "data";
    put32(body, w.dataSize < 0 ? static_cast<unsigned>(w.data.size())
                               : static_cast<unsigned>(w.dataSize));
    body += w.data;
    std::string s = "RIFF";
    put32(s, static_cast<unsigned>(body.size()));
    return s + body;
}

// The extra "fmt " bytes of Microsoft ADPCM: 7 standard coefficient pairs.
std::string msExtra(unsigned samplesPerBlock) {
    std::string e;
    put16(e, 32);
    put16(e, samplesPerBlock);
    put16(e, 7);
    for (int c : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232})
        put16(e, static_cast<unsigned>(c) & 0xFFFF);
    return e;
}

bool sound(const wavParts& w, std::string* why = nullptr) {
    std::string bytes = buildWav(w);
    return wavHeader::isSound(std::vector<unsigned char>(bytes.begin(), bytes.end()), why);
}

} // namespace

TEST(WavHeader, TakesWhatTheDecoderHandlesAndRefusesImpossibleHeaders) {
    std::string why;
    EXPECT_TRUE(sound({}));
    wavParts stereo8;
    stereo8.channels = 2, stereo8.bits = 8;
    EXPECT_TRUE(sound(stereo8));
    wavParts ms; // Microsoft ADPCM, 256-byte blocks of 500 samples
    ms.tag = 2, ms.bits = 4, ms.blockAlign = 256, ms.extra = msExtra(500);
    ms.data = std::string(512, '\0');
    EXPECT_TRUE(sound(ms, &why)) << why;
    wavParts ima; // IMA ADPCM, 256-byte blocks of 505 samples
    ima.tag = 0x11, ima.bits = 4, ima.blockAlign = 256, ima.extra = std::string("\2\0\xF9\1", 4);
    ima.data = std::string(256, '\0');
    EXPECT_TRUE(sound(ima, &why)) << why;

    struct bad {
        wavParts w;
        const char* reason;
    };
    std::vector<bad> cases;
    auto add = [&](const char* reason, auto change) {
        bad b{{}, reason};
        change(b.w);
        cases.push_back(b);
    };
    add("0 channels", [](wavParts& w) { w.channels = 0; });
    add("6 channels", [](wavParts& w) { w.channels = 6, w.blockAlign = 12; });
    add("sample rate 1 Hz", [](wavParts& w) { w.rate = 1; });
    add("sample rate 4000000000 Hz", [](wavParts& w) { w.rate = 4000000000u; });
    add("24-bit PCM", [](wavParts& w) { w.bits = 24; });
    add("block size 0 does not match", [](wavParts& w) { w.blockAlign = 0; });
    add("sample format 3 cannot be loaded", [](wavParts& w) { w.tag = 3; });
    add("\"data\" chunk runs past the end", [](wavParts& w) { w.dataSize = 0x7FFFFFF0; });
    add("bytes of sound data; at most 4194304",
        [](wavParts& w) { w.data = std::string(4 * 1024 * 1024 + 2, '\0'); });
    add("ADPCM block size 0 cannot hold", [&](wavParts& w) { w = ms, w.blockAlign = 0; });
    add("ADPCM block size 64 cannot hold", [&](wavParts& w) { w = ms, w.blockAlign = 64; });
    add("\"fmt \" chunk cut short", [&](wavParts& w) { w = ms, w.extra.resize(20); });
    add("coefficient table", [&](wavParts& w) { w = ms, w.extra[4] = 9; });
    add("names predictor 200 of 7", [&](wavParts& w) { w = ms, w.data[256] = char(200); });
    add("starts at step 89 of 89", [&](wavParts& w) { w = ima, w.data[2] = 89; });
    add("not 1 plus a multiple of 8", [&](wavParts& w) { w = ima, w.extra[2] = 4; });
    for (const bad& b : cases) {
        why.clear();
        EXPECT_FALSE(sound(b.w, &why)) << b.reason;
        EXPECT_NE(why.find(b.reason), std::string::npos) << why;
    }
    std::vector<unsigned char> noFormat = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(wavHeader::isSound(noFormat, &why));
    EXPECT_EQ(why, "no \"fmt \" chunk");
}

TEST(SoundSet, ABadWavIsSkippedWithALineNamingIt) {
    TempDir dir;
    // The names stay inside the folder; ../secret and /tmp/x never open.
    dir.write("set/sound", "SOUNDS: 5\nzero\nfifo\nup\n../secret\nok\n");
    wavParts zeroRate;
    zeroRate.rate = 0;
    dir.write("set/zero.wav", buildWav(zeroRate));
    dir.write("secret.wav", tinyWav());
    dir.write("set/ok.wav", tinyWav());
    ASSERT_EQ(mkfifo((dir / "set/fifo.wav").c_str(), 0600), 0);
    dir.mkdir("set/up.wav");
    DummyAudio audio;
    ASSERT_TRUE(audio.opened()) << SDL_GetError();
    TraceCapture capture;
    soundSet set;
    set.getList((dir / "set").c_str());
    EXPECT_EQ(set.numSounds, 5);
    EXPECT_EQ(capture.errors(), "Could not load myfile.wav\nCould not load myfile.wav\n"
                                "Could not load myfile.wav\nCould not load myfile.wav\n"
                                "Loaded myfile.wav\n");
    const std::string trace = capture.text();
    EXPECT_NE(trace.find("Sound file " + (dir / "set/zero.wav") +
                         " not loaded: sample rate 0 Hz; it must be from 4000 to 192000 Hz\n"),
              std::string::npos)
        << trace;
    EXPECT_NE(
        trace.find("Sound file " + (dir / "set/fifo.wav") + " not loaded: not a regular file"),
        std::string::npos);
    EXPECT_NE(trace.find("Sound file " + (dir / "set/up.wav") + " not loaded: not a regular file"),
              std::string::npos);
    EXPECT_NE(trace.find(dir / "set/sound" + ":5: sound \"../secret\" leaves the sound folder; "
                                             "treated as missing\n"),
              std::string::npos);
    EXPECT_EQ(trace.find("secret.wav"), std::string::npos);
    EXPECT_EQ(set.returnSound("../secret"), nullptr);
    EXPECT_NE(set.returnSound("ok"), nullptr);
}
