#include "ai/aiAttackList.h"

#include "ai/attackFile.h"
#include "base/randomNumber.h"
#include "base/seams.h"

namespace {

// Printable form of a range letter: a default entry has none.
std::string letterText(char range) {
    return range ? std::string(1, range) : std::string("none");
}

} // namespace

void aiAttackNumbers::addNum(char letter) {
    switch (letter) {
    case 'S':
    case 's':
        ++numShort;
        break;
    case 'M':
    case 'm':
        ++numMid;
        break;
    case 'L':
    case 'l':
        ++numLong;
        break;
    case 'U':
    case 'u':
        ++numUp;
        break;
    case 'D':
    case 'd':
        ++numDown;
        break;
    default:
        // Stored by the loader but counted nowhere.
        break;
    }
}

void aiAttackList::getList(const char* folder) {
    linkGroups.clear();
    cancelGroups.clear();
    attackFile file;
    if (!file.open(folder ? folder : "")) {
        seams::trace() << "ERROR opening file " << file.path() << "\n\n";
        return;
    }

    // The six sections, always in this order.
    std::vector<aiAttack>* lists[6] = {&groundList, &list2,      &aerialList,
                                       &list4,      &cancelList, &linkList};
    aiAttackNumbers* counters[6] = {&groundNums, &nums2,      &aerialNums,
                                    &nums4,      &cancelNums, &linkNums};
    for (int section = 0; section < 6; ++section) {
        int count = getNumberOfAttacks(file);
        std::vector<aiAttack>& list = *lists[section];
        list.clear();
        *counters[section] = aiAttackNumbers();
        if (count > 0)
            addAttack(list, counters[section], file, count);
        else
            list.emplace_back(); // an empty section holds one blank entry
        if (section == 4) numCancels = count;
        if (section == 5) numLinks = count;

        const aiAttack& first = list.empty() ? aiAttack() : list.front();
        seams::trace() << "Attack section " << section + 1 << " starts with " << first.moveName
                       << " range " << letterText(first.range) << "\n";
    }

    if (numLinks > 0) createLinkMoveLists(true);
    if (numCancels > 0) createLinkMoveLists(false);
}

int aiAttackList::getNumberOfAttacks(attackFile& file) {
    return file.readCount();
}

void aiAttackList::addAttack(std::vector<aiAttack>& list, aiAttackNumbers* nums, attackFile& file,
                             int count) {
    int i = 0;
    for (const attackEntry& read : file.readEntries(count)) {
        aiAttack entry;
        entry.moveName = read.moveName;
        entry.range = read.range.empty() ? 0 : read.range[0];
        entry.linkFrom = read.linkFrom;
        entry.cancelFrom = read.cancelFrom;
        if (nums) nums->addNum(entry.range);
        seams::trace() << "Attack " << i++ << ": " << entry.moveName << " range "
                       << letterText(entry.range) << "\n";
        list.push_back(entry);
    }
}

std::string aiAttackList::getAttack(char range, const std::string& kind) {
    if (kind == "ground") return getAttack(range, groundList, &groundNums);
    if (kind == "aerial") return getAttack(range, aerialList, &aerialNums);
    return "null";
}

std::string aiAttackList::getAttack(char range, const std::vector<aiAttack>& list,
                                    const aiAttackNumbers* nums) {
    if (!nums) return "null";
    const long long S = nums->numShort, M = nums->numMid, L = nums->numLong, U = nums->numUp,
                    D = nums->numDown;
    long long band = 0;
    long long position = -1;
    // Intended: a short request may answer a mid entry, a mid one a long entry.
    switch (range) {
    case 'S':
    case 's':
        if (S > 0) {
            band = S;
            position = g_randomNumber.getNumber(static_cast<int>(S + M));
        }
        break;
    case 'M':
    case 'm':
        if (M > 0) {
            band = M;
            position = S + g_randomNumber.getNumber(static_cast<int>(M + L));
        }
        break;
    case 'L':
    case 'l':
        if (L > 0) {
            band = L;
            position = S + M + g_randomNumber.getNumber(static_cast<int>(L));
        }
        break;
    case 'U':
    case 'u':
        if (U > 0) {
            band = U;
            position = S + M + L + g_randomNumber.getNumber(static_cast<int>(U));
        }
        break;
    case 'D':
    case 'd':
        if (D > 0) {
            band = D;
            position = S + M + L + U + g_randomNumber.getNumber(static_cast<int>(D));
        }
        break;
    default:
        break;
    }
    if (position < 0) return "null";
    // Counters that do not match the entries never lead past the list.
    if (position >= static_cast<long long>(list.size())) return "null";
    seams::trace() << "AI attack band of " << band << " for range " << range << ", picked position "
                   << position << "\n";
    return list[static_cast<size_t>(position)].moveName;
}

void aiAttackList::createLinkMoveLists(bool links) {
    std::vector<aiAttack>& list = links ? linkList : cancelList;
    std::vector<linkGroup>& groups = links ? linkGroups : cancelGroups;
    groups.clear();

    // Entries sharing a key form a group only while they stand next to each
    // other; a key that comes back later starts a group of its own.
    auto keyOf = [links](const aiAttack& entry) -> const std::string& {
        return links ? entry.linkFrom : entry.cancelFrom;
    };
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& key = keyOf(list[i]);
        bool startsRun = i == 0;
        if (i > 0) {
            seams::trace() << "Comparing key " << key << " with " << keyOf(list[i - 1]) << "\n";
            startsRun = key != keyOf(list[i - 1]);
        }
        if (startsRun) {
            linkGroup group;
            group.key = key;
            groups.push_back(group);
            seams::trace() << "Added key " << key << "\n";
        }
        groups.back().moveNames.push_back(list[i].moveName);
        groups.back().numMoves = static_cast<int>(groups.back().moveNames.size());
    }

    std::vector<aiAttack>().swap(list);
    (links ? numLinks : numCancels) = static_cast<int>(groups.size());
    seams::trace() << (links ? "Link" : "Cancel") << " groups: " << groups.size() << "\n";
    for (const linkGroup& group : groups)
        seams::trace() << "  " << group.key << " has " << group.numMoves << " moves\n";
}

namespace {

std::string findInGroups(const std::vector<linkGroup>& groups, int count,
                         const std::string& moveName, const char* what) {
    // Intended: follow-up lookups answer "NULL", range lookups "null".
    if (count <= 0) return "NULL";
    seams::trace() << "Finding ai a " << what << " attack to use!\n";
    for (const linkGroup& group : groups) {
        if (group.key != moveName) continue;
        if (group.moveNames.empty()) return "NULL";
        int pick = g_randomNumber.getNumber(static_cast<int>(group.moveNames.size()));
        if (pick < 0 || pick >= static_cast<int>(group.moveNames.size())) return "NULL";
        const std::string& name = group.moveNames[static_cast<size_t>(pick)];
        seams::trace() << "Picked " << what << " attack " << name << "\n";
        return name;
    }
    return "NULL";
}

} // namespace

std::string aiAttackList::findLinkedAttacks(const std::string& moveName) {
    return findInGroups(linkGroups, numLinks, moveName, "linked");
}

std::string aiAttackList::findCancelAttacks(const std::string& moveName) {
    return findInGroups(cancelGroups, numCancels, moveName, "cancel");
}
