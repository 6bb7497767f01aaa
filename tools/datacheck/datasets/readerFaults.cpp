// Data sets whose faults the game's readers and the checker must judge
// alike: the shipped data, and one change each that either stops the game
// at start-up or does not.
#include "dataFolder.h"
#include "dataSets.h"

namespace {

using testing_support::writeFile;

const testing_support::dataSetList sets({
    {"shipped_data", nullptr},
    // A frame named by an absolute path: a name from data never leaves its
    // folder, so the game refuses it and stops, as for a missing bitmap.
    {"frame_named_by_absolute_path",
     [](const std::string& data) {
         writeFile(data + "/Tavro/kick/info",
                   "FILES: 1\n" + testing_support::frameEntryText(data + "/Tavro/punch/f00.bmp"));
     }},
    {"frame_bitmap_missing",
     [](const std::string& data) {
         writeFile(data + "/Tavro/kick/info",
                   "FILES: 1\n" + testing_support::frameEntryText("missing.bmp"));
     }},
    {"frame_bitmap_not_a_bitmap",
     [](const std::string& data) {
         writeFile(data + "/Tavro/walk/info", testing_support::oneFrameIndex());
         writeFile(data + "/Tavro/walk/a.bmp", "not a bitmap at all");
     }},
    {"frame_entry_first_line_blank",
     [](const std::string& data) {
         writeFile(data + "/Tavro/walk/info", "FILES: 1\n   \n2 4\n0 0 3 3\n");
     }},
    {"hit_point_bar_bitmap_missing",
     [](const std::string& data) {
         writeFile(data + "/hpBar/info", "FILES: 1\n" + testing_support::frameEntryText("x.bmp"));
     }},
    {"stage_missing", [](const std::string& data) { std::remove((data + "/tBG2.bmp").c_str()); }},
    {"stage_not_a_bitmap",
     [](const std::string& data) { writeFile(data + "/tBG2.bmp", "BM but no more"); }},
    {"animation_index_missing",
     [](const std::string& data) { std::remove((data + "/Tavro/info").c_str()); }},
    {"animation_index_empty", [](const std::string& data) { writeFile(data + "/Tavro/info", ""); }},
    {"animation_index_no_names",
     [](const std::string& data) { writeFile(data + "/Tavro/info", "ANIMS: 3\n"); }},
    {"animation_index_blank_name",
     [](const std::string& data) { writeFile(data + "/Tavro/info", "ANIMS: 1\n\n"); }},
    {"animation_folder_missing",
     [](const std::string& data) { writeFile(data + "/Tavro/info", "ANIMS: 1\nnowhere\n"); }},
    {"move_file_missing",
     [](const std::string& data) { std::remove((data + "/Tavro/moveset").c_str()); }},
    {"move_folder_missing",
     [](const std::string& data) {
         writeFile(data + "/Tavro/moveset",
                   "ANIMS: 1\n" + testing_support::moveRecord("nowhere", "A"));
     }},
    {"particle_list_missing",
     [](const std::string& data) { std::remove((data + "/particle/default").c_str()); }},
    {"particle_folder_missing",
     [](const std::string& data) {
         writeFile(data + "/particle/default", "PARTS: 1\nnothere 1\n");
     }},
    {"sound_list_missing",
     [](const std::string& data) { std::remove((data + "/soundSet/sound").c_str()); }},
    {"sound_file_not_a_wav",
     [](const std::string& data) {
         writeFile(data + "/soundSet/sound", "SOUNDS: 1\nbad\n");
         writeFile(data + "/soundSet/bad.wav", "RIFF....WAVE");
     }},
    {"attack_file_missing",
     [](const std::string& data) { std::remove((data + "/Tavro/ai/attack").c_str()); }},
});

} // namespace
