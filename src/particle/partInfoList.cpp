#include "particle/partInfoList.h"

#include "base/platform.h"
#include "base/seams.h"
#include "base/textFile.h"

partInfoList::~partInfoList() {
    while (head) {
        node* next = head->next;
        delete head;
        head = next;
    }
}

int partInfoList::addList(const char* listName, SDL_Surface* screen) {
    const std::string prefix = "data/particle/";
    std::string path = prefix + (listName ? listName : "");
    textFile file(path);
    if (!file.isOpen()) {
        seams::trace() << "ERROR opening file " << path << "\n\n";
        return -1;
    }

    std::string line;
    int count = 0;
    if (file.readLine(line)) scanHeader(line, "PARTS:", count);

    // One definition per line, linked in at the head so the definition
    // loaded last is the one found first.
    for (int i = 0; i < count && file.readLine(line); ++i) {
        seams::trace() << "New Particle: " << withoutLineEnd(line) << "\n";
        seams::trace() << (head ? "adding another particle\n" : "Adding particle\n");
        node* added = new node;
        added->next = head;
        head = added;
        const std::string name = firstWord(line);
        if (platform::nameStaysInside(name)) {
            added->info.initS(prefix + line, screen);
        } else {
            // A folder outside data/particle/ is never read: the definition
            // stays empty, as one whose folder is missing.
            seams::trace() << path << ":" << file.lineNumber() << ": particle \"" << name
                           << "\" leaves the particle folder; treated as missing\n";
        }
        added->name = name;
    }
    return 1;
}

particleInfo* partInfoList::findParticle(const std::string& name) {
    for (node* at = head; at; at = at->next) {
        if (at->name == name) {
            seams::trace() << "success!\n";
            return &at->info;
        }
    }
    seams::trace() << "not success\n";
    return nullptr;
}
