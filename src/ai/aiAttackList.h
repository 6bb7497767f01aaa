// The computer opponent's attack table: ground and aerial attacks by range,
// and the attacks that may follow a move as a link or cancel it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class attackFile;

struct aiAttack {
    char range = 0; // S M L U D, either case
    std::string moveName;
    std::string linkFrom;
    std::string cancelFrom;
};

struct aiAttackNumbers {
    int32_t numShort = 0;
    int32_t numMid = 0;
    int32_t numLong = 0;
    int32_t numDown = 0;
    int32_t numUp = 0;
    void addNum(char letter);
};

struct linkGroup {
    int numMoves = 0;
    std::string key;
    std::vector<std::string> moveNames;
};

class aiAttackList {
  public:
    aiAttackNumbers groundNums, nums2, aerialNums, nums4, cancelNums, linkNums;
    std::vector<aiAttack> groundList, list2, aerialList, list4, cancelList, linkList;
    int numLinks = 0;
    int numCancels = 0;
    std::vector<linkGroup> linkGroups;
    std::vector<linkGroup> cancelGroups;

    void getList(const char* folder);
    // The next section's count, from its header line.
    int getNumberOfAttacks(attackFile& file);
    // Reads up to count entries of the section into list, counting their
    // range letters in nums.
    void addAttack(std::vector<aiAttack>& list, aiAttackNumbers* nums, attackFile& file, int count);
    std::string getAttack(char range, const std::string& kind);
    std::string getAttack(char range, const std::vector<aiAttack>& list,
                          const aiAttackNumbers* nums);
    void createLinkMoveLists(bool links);
    std::string findLinkedAttacks(const std::string& moveName);
    std::string findCancelAttacks(const std::string& moveName);
};
