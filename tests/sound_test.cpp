// Sound sets: lists, the "already present" rule, playing by name.
#include "sound/soundSet.h"

#include "base/platform.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

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
