// Saving and restoring the whole game between two passes, and its checksum.
//
// What is state: everything a later pass reads that an earlier pass wrote.
// Both fighters (position, facing, hit points, jumps, the animation or move
// on show and its frame clock), both controllers (their clocks, the frame,
// action, sound and particle they last saw, the guard), the opponent's
// decisions and timers, the commands waiting in each command buffer, every
// live particle, the boxes switch and the seeded random generator.
//
// What is not: what drawing keeps (the saved backgrounds under the sprites,
// where they were saved, whether a sprite was drawn), because every frame is
// erased again after it is shown; what a pass overwrites before reading (the
// time of the current pass, the values of the previous pass that each time
// step copies afresh, the bars' values); what never changes in a match (the
// sets, the pace of the frames, the maximum hit points); the game clock,
// which whoever drives the game sets for each pass; the bars' frame clocks,
// which never step back, so that passes played again at earlier ticks leave
// them as they were; the quit request, which ends the match; and the note
// that the particle limit was traced, once a run.  The sync test proves both halves: every field
// saved is needed (leaving any one out of a restore changes some recorded
// game), and nothing left out is (a restored game plays on exactly as the
// straight one).
#pragma once

#include "base/stateBuffer.h"
#include "game/main.h"

#include <cstdint>
#include <string>
#include <vector>

class matchState {
  public:
    explicit matchState(gameSession& session) : session_(session) {}

    // The game's state into `out`; `layout` (when given) notes each field.
    void save(std::vector<unsigned char>& out,
              std::vector<stateWriter::fieldStart>* layout = nullptr) const;
    // Puts a saved state back; false, with the game only partly restored,
    // when the bytes are not a state of this game.  A field named `kept` is
    // left as it is (the sync test's check that each field matters).  The
    // game clock is the front end's: it sets each pass's tick.
    bool restore(const std::vector<unsigned char>& in, const std::string& kept = {});
    // The checksum of the state as save writes it.
    std::uint64_t checksum() const;
    // The checksum of a state save wrote: checksumOf(bytes saved now) equals
    // checksum().
    static std::uint64_t checksumOf(const std::vector<unsigned char>& saved);
    // The names of every field save writes, each once, in order.
    std::vector<std::string> fieldNames() const;

  private:
    gameSession& session_;
    mutable std::vector<unsigned char> scratch_; // checksum()'s save, kept for its capacity
};
