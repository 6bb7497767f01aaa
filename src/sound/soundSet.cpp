#include "sound/soundSet.h"

#include "base/dataLimits.h"
#include "base/media.h"
#include "base/platform.h"
#include "base/seams.h"
#include "sound/soundList.h"
#include "sound/wavHeader.h"

#include <SDL.h>

#include <vector>

namespace {

// Make one entry for a name and load folder/name.wav into it.  The error
// channel gets one fixed line per file, whatever the file is called.
soundEntry* loadEntry(const char* folder, const std::string& name) {
    soundEntry* entry = new soundEntry;
    entry->name = name;
    std::string path = std::string(folder ? folder : "") + "/" + name;
    path += ".wav";
    seams::trace() << "Sound file: " << path << "\n";
    // The bytes are checked before SDL_mixer sees them: its decoder trusts
    // what a WAV header says.
    // A file larger than a sound may be is refused from its size, unread.
    std::vector<unsigned char> bytes;
    std::string why;
    unsigned long long size = 0;
    switch (platform::readWholeFile(path, bytes, wavHeader::maxFileBytes, &size)) {
    case platform::ReadResult::Ok:
        if (wavHeader::isSound(bytes, &why))
            entry->chunk = Mix_LoadWAV_RW(
                media::memoryStream(bytes.data(), static_cast<int>(bytes.size())), 1);
        if (!entry->chunk && why.empty()) why = SDL_GetError();
        break;
    case platform::ReadResult::CannotStat:
        why = "not a regular file";
        break;
    case platform::ReadResult::TooLarge:
        why = wavHeader::tooLarge(size);
        break;
    default:
        why = "cannot be read";
        break;
    }
    if (entry->chunk) {
        seams::errors() << "Loaded myfile.wav\n";
    } else {
        seams::errors() << "Could not load myfile.wav\n";
        seams::trace() << "Sound file " << path << " not loaded: " << why << "\n";
    }
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
        soundEntry* entry = nullptr;
        if (dataLimits::nameStaysInside(name)) {
            entry = loadEntry(folder, name);
        } else {
            // A file outside the sound folder is never read: the sound is
            // silent, as one whose file is missing.
            entry = new soundEntry;
            entry->name = name;
            seams::trace() << list.path() << ":" << listed.line << ": sound \"" << name
                           << "\" leaves the sound folder; treated as missing\n";
            seams::errors() << "Could not load myfile.wav\n";
        }
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

void soundSet::Play(const std::string& name, int channel, int player) {
    soundEntry* entry = find(name);
    if (!entry) return;
    seams::trace() << "SOUND PLAYING\n";
    // A frame played again after a rollback does not start its sound twice.
    if (!seams::soundMayStart(player, name)) return;
    // A sound whose file did not load (or no audio device) stays silent.
    if (entry->chunk) media::playSound(channel, entry->chunk);
}

Mix_Chunk* soundSet::returnSound(const std::string& name) {
    soundEntry* entry = find(name);
    return entry ? entry->chunk : nullptr;
}

void soundSet::display() {
    for (soundEntry* entry = head; entry; entry = entry->next)
        seams::trace() << "Sound - " << entry->name << "\n";
}
