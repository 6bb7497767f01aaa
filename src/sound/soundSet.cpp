#include "sound/soundSet.h"

#include "base/seams.h"
#include "sound/soundList.h"

#include <SDL.h>

namespace {

// Make one entry for a name and load folder/name.wav into it.  The error
// channel gets one fixed line per file, whatever the file is called.
soundEntry* loadEntry(const char* folder, const std::string& name) {
    soundEntry* entry = new soundEntry;
    entry->name = name;
    std::string path = std::string(folder ? folder : "") + "/" + name;
    path += ".wav";
    seams::trace() << "Sound file: " << path << "\n";
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    entry->chunk = stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    if (entry->chunk)
        seams::errors() << "Loaded myfile.wav\n";
    else
        seams::errors() << "Could not load myfile.wav\n";
    return entry;
}

soundEntry* lastEntry(soundEntry* head) {
    soundEntry* last = head;
    while (last && last->next)
        last = last->next;
    return last;
}

} // namespace

soundSet::soundSet() {
    seams::trace() << "SOUND CLASS INITIATED!\n";
}

soundSet::~soundSet() {
    while (head) {
        soundEntry* next = head->next;
        if (head->chunk) Mix_FreeChunk(head->chunk);
        delete head;
        head = next;
    }
}

void soundSet::getList(const char* folder) {
    readList(folder, false);
}

void soundSet::addToList(const char* folder) {
    seams::trace() << "ADDING TO SOUND SET, YAY!\n";
    if (readList(folder, true)) seams::trace() << "New Total is : " << numSounds << "\n";
}

bool soundSet::readList(const char* folder, bool skipPresent) {
    soundList list;
    if (!list.open(folder ? folder : "")) {
        seams::trace() << "ERROR opening file " << list.path() << "\n\n";
        return false;
    }

    // New entries go after the old ones.  find() looks at numSounds entries
    // only and numSounds grows at the end, so names are checked against the
    // sounds present before this list.  The count only says how many names
    // to expect: a file with fewer lines gives fewer entries, and the set
    // counts only the entries it really has.
    soundEntry* last = lastEntry(head);
    int added = 0;
    int skipped = 0;
    for (const listedSound& listed : list.readNames()) {
        const std::string& name = listed.name;
        if (skipPresent && find(name)) {
            ++skipped;
            seams::trace() << "Skipped sound " << -skipped << "\n";
            continue;
        }
        soundEntry* entry = loadEntry(folder, name);
        if (last)
            last->next = entry;
        else
            head = entry;
        last = entry;
        ++added;
    }
    numSounds += added;
    return true;
}

soundEntry* soundSet::find(const std::string& name) {
    soundEntry* entry = head;
    for (int i = 0; i < numSounds && entry; ++i, entry = entry->next) {
        seams::trace() << entry->name << " VS " << name << "\n";
        if (entry->name == name) {
            seams::trace() << "FOUND SOUND EFFECT\n";
            return entry;
        }
    }
    seams::trace() << "DID NOT FIND SOUND EFFECT\n";
    return nullptr;
}

void soundSet::Play(const std::string& name, int channel) {
    soundEntry* entry = find(name);
    if (!entry) return;
    seams::trace() << "SOUND PLAYING\n";
    // A sound whose file did not load (or no audio device) stays silent.
    if (entry->chunk) Mix_PlayChannelTimed(channel, entry->chunk, 0, -1);
}

Mix_Chunk* soundSet::returnSound(const std::string& name) {
    soundEntry* entry = find(name);
    return entry ? entry->chunk : nullptr;
}

void soundSet::display() {
    for (soundEntry* entry = head; entry; entry = entry->next)
        seams::trace() << "Sound - " << entry->name << "\n";
}
