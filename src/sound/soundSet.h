// All named sound effects, loaded from sound lists ("SOUNDS: n" and one name
// per line, with name.wav beside the list) and played by name.
#pragma once

#include <SDL_mixer.h>

#include <string>

struct soundEntry {
    std::string name;
    Mix_Chunk* chunk = nullptr; // none when the file did not load
    soundEntry* next = nullptr;
};

class soundSet {
  public:
    soundEntry* head = nullptr;
    int numSounds = 0;

    soundSet();
    ~soundSet();
    soundSet(const soundSet&) = delete;
    soundSet& operator=(const soundSet&) = delete;

    void getList(const char* folder);
    void addToList(const char* folder);
    soundEntry* find(const std::string& name);
    // Starts the named sound on a channel (-1: any free one), unless the
    // sound seam says player `player` (0 left, 1 right) may not start it now.
    void Play(const std::string& name, int channel, int player = 0);
    Mix_Chunk* returnSound(const std::string& name);
    void display();

  private:
    // Append the sounds of the folder's list; with skipPresent, names the
    // set already holds are skipped.  False when the list cannot be opened.
    bool readList(const char* folder, bool skipPresent);
};
