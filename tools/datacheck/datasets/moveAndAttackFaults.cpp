// Move files and attack tables where a checker reading them its own way
// would judge the game wrongly: records the game reads or skips in ways a
// line-by-line reading does not expect.  A folder "broken" whose bitmap is
// no bitmap stops the game whenever a move loads it.
#include "dataFolder.h"
#include "dataSets.h"

namespace {

using testing_support::writeFile;

void writeBrokenFolder(const std::string& folder) {
    writeFile(folder + "/info", testing_support::oneFrameIndex());
    writeFile(folder + "/a.bmp", "not a bitmap at all");
}

std::string record(const std::string& name) {
    return testing_support::moveRecord(name, "A");
}

const testing_support::dataSetList sets({
    // Records past the announced count are never read.
    {"move_past_the_count_names_a_broken_folder",
     [](const std::string& data) {
         writeBrokenFolder(data + "/Tavro/broken");
         writeFile(data + "/Tavro/moveset", "ANIMS: 1\n" + record("kick") + record("broken"));
     }},
    // A record cut short still loads the folder its name line gives.
    {"move_record_cut_short_names_a_broken_folder",
     [](const std::string& data) {
         writeBrokenFolder(data + "/Tavro/broken");
         writeFile(data + "/Tavro/moveset", "ANIMS: 2\n" + record("kick") + "broken\nA\n");
     }},
    // Only the first word of the name line counts, whatever the line end.
    {"move_name_with_more_words_and_windows_line_ends",
     [](const std::string& data) {
         writeBrokenFolder(data + "/Tavro/broken");
         writeFile(
             data + "/Tavro/moveset",
             "ANIMS: 1\r\nbroken folder\r\nA\r\n0\r\nNULL\r\n0\r\n0\r\nNULL\r\n0\r\n0\r\n0\r\n"
             "null\r\n");
     }},
    // A name line too long for one read: its first piece names the folder.
    {"move_name_line_longer_than_a_read",
     [](const std::string& data) {
         writeBrokenFolder(data + "/Tavro/broken");
         writeFile(data + "/Tavro/moveset",
                   "ANIMS: 1\nbroken" + std::string(300, ' ') + "\n" + record("kick"));
     }},
    // A name leaving the character folder is never loaded.
    {"move_name_leaving_the_folder_names_a_broken_one",
     [](const std::string& data) {
         writeBrokenFolder(data + "/broken");
         writeFile(data + "/Tavro/moveset", "ANIMS: 1\n" + record("../broken"));
     }},
    {"move_count_negative",
     [](const std::string& data) {
         writeBrokenFolder(data + "/Tavro/broken");
         writeFile(data + "/Tavro/moveset", "ANIMS: -1\n" + record("broken"));
     }},
    // The game keeps an entry the file ends inside, and never stops on the
    // attack table.
    {"attack_entry_cut_short",
     [](const std::string& data) {
         writeFile(data + "/Tavro/ai/attack", "Attacks: 3\npunch\nS\nNULL\nNULL\nkick\nM\n");
     }},
    {"attack_count_larger_than_the_file",
     [](const std::string& data) {
         writeFile(data + "/Tavro/ai/attack",
                   "Attacks: 2000000000\npunch\nS\nNULL\nNULL\nAttacks: 1\nkick\nS\nNULL\nNULL\n");
     }},
    {"attack_headers_unreadable",
     [](const std::string& data) {
         writeFile(data + "/Tavro/ai/attack",
                   "Attack: 1\npunch\nS\nNULL\nNULL\nAttacks:\n\nAttacks: x\n");
     }},
});

} // namespace
