// Attack file: a fuzzed "attack" read by the opponent's attack table, then
// every look-up the opponent makes, by range and after every move it knows.
#include "ai/aiAttackList.h"
#include "base/seams.h"
#include "fuzzSupport.h"

#include <cstddef>
#include <cstdint>

namespace {
std::string g_folder;
unsigned g_state = 1;
int steadyRandom() {
    g_state = g_state * 1103515245u + 12345u;
    return static_cast<int>((g_state >> 16) & 0x7FFF);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietGame();
    seams::setRandomSource(steadyRandom);
    g_folder = fuzz::workDir() + "/ai";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g_state = 1;
    testing_support::writeFile(g_folder + "/attack",
                               std::string(reinterpret_cast<const char*>(data), size));
    aiAttackList attacks;
    attacks.getList(g_folder.c_str());
    volatile long sum = static_cast<long>(attacks.numLinks) + attacks.numCancels;
    for (char range : {'S', 'M', 'L', 'U', 'D', 's', 'm', 'l', 'u', 'd', 'X', '\0'})
        for (const char* kind : {"ground", "aerial", "other"})
            sum = sum + static_cast<long>(attacks.getAttack(range, kind).size());
    std::vector<std::string> names = {"NULL", "", "punch"};
    for (const auto* lists : {&attacks.groundList, &attacks.list2, &attacks.aerialList,
                              &attacks.list4, &attacks.cancelList, &attacks.linkList})
        for (const aiAttack& entry : *lists)
            names.push_back(entry.moveName);
    for (const auto* groups : {&attacks.linkGroups, &attacks.cancelGroups})
        for (const linkGroup& group : *groups) {
            names.push_back(group.key);
            for (const std::string& name : group.moveNames)
                names.push_back(name);
        }
    for (const std::string& name : names) {
        sum = sum + static_cast<long>(attacks.findLinkedAttacks(name).size());
        sum = sum + static_cast<long>(attacks.findCancelAttacks(name).size());
    }
    return 0;
}
