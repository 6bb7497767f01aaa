#include "particle/partInfoList.h"

#include "base/dataLimits.h"
#include "base/seams.h"
#include "base/textFile.h"
#include "particle/particleListFile.h"

partInfoList::~partInfoList() {
    while (head) {
        node* next = head->next;
        delete head;
        head = next;
    }
}

int partInfoList::addList(const char* listName, SDL_Surface* screen) {
    const std::string prefix = "data/particle/";
    particleListFile list;
    if (!list.open(prefix, listName ? listName : "")) {
        seams::trace() << "ERROR opening file " << list.path() << "\n\n";
        return -1;
    }

    // One definition per line, linked in at the head so the definition
    // loaded last is the one found first.
    for (const listedParticle& entry : list.readEntries()) {
        seams::trace() << "New Particle: " << text::withoutLineEnd(entry.text) << "\n";
        seams::trace() << (head ? "adding another particle\n" : "Adding particle\n");
        node* added = new node;
        added->next = head;
        head = added;
        if (dataLimits::nameStaysInside(entry.name)) {
            added->info.initS(prefix + entry.text, screen);
        } else {
            // A folder outside data/particle/ is never read: the definition
            // stays empty, as one whose folder is missing.
            seams::trace() << list.path() << ":" << entry.line << ": particle \"" << entry.name
                           << "\" leaves the particle folder; treated as missing\n";
        }
        added->name = entry.name;
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
