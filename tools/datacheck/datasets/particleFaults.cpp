// Particle lists and files that the game's loaders and the checker could
// judge apart: lines the game glues to its folder in a way an author does
// not see, and particle frames that stop the game.
#include "dataFolder.h"
#include "dataSets.h"

#include <cstdio>

namespace {

using testing_support::writeFile;

const std::string shippedList = "PARTS: 4\nspark 1\nfireball 2\npillar 3\nshockwave 4\n";

// An index in the particle folder itself whose bitmap is missing: whoever
// loads that folder as a definition stops the game.
void brokenIndexInParticleFolder(const std::string& data) {
    writeFile(data + "/particle/info", "FILES: 1\n" + testing_support::frameEntryText("gone.bmp"));
}

const testing_support::dataSetList sets({
    {"particle_list_blank_line_loads_the_particle_folder",
     [](const std::string& data) {
         writeFile(data + "/particle/default", "PARTS: 5\nspark 1\n\nfireball 2\npillar 3\n"
                                               "shockwave 4\n");
         brokenIndexInParticleFolder(data);
     }},
    {"particle_list_line_starting_with_a_blank_loads_the_particle_folder",
     [](const std::string& data) {
         writeFile(data + "/particle/default",
                   "PARTS: 4\nspark 1\n fireball 2\npillar 3\nshockwave 4\n");
         brokenIndexInParticleFolder(data);
     }},
    {"particle_list_line_starting_with_a_blank",
     [](const std::string& data) {
         writeFile(data + "/particle/default",
                   "PARTS: 4\nspark 1\n\tfireball 2\npillar 3\nshockwave 4\n");
     }},
    {"particle_folder_holds_an_index_no_list_line_loads",
     [](const std::string& data) { brokenIndexInParticleFolder(data); }},
    {"particle_list_windows_line_ends",
     [](const std::string& data) {
         writeFile(data + "/particle/default",
                   "PARTS: 4\r\nspark 1\r\nfireball 2\r\npillar 3\r\nshockwave 4\r\n");
     }},
    {"particle_list_line_too_long",
     [](const std::string& data) {
         writeFile(data + "/particle/default",
                   "PARTS: 5\nspark 1" + std::string(300, ' ') + "x\nfireball 2\n");
     }},
    {"particle_frame_bitmap_missing",
     [](const std::string& data) {
         writeFile(data + "/particle/spark/info",
                   "FILES: 1\n" + testing_support::frameEntryText("gone.bmp"));
     }},
    {"particle_frame_bitmap_missing_in_a_folder_listed_after_the_count",
     [](const std::string& data) {
         writeFile(data + "/particle/default", shippedList + "broken 5\n");
         writeFile(data + "/particle/broken/info",
                   "FILES: 1\n" + testing_support::frameEntryText("gone.bmp"));
     }},
    {"particle_file_missing",
     [](const std::string& data) { std::remove((data + "/particle/spark/particle").c_str()); }},
});

} // namespace
