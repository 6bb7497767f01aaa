// The sync test: a recorded game played in frames of 16 passes, each frame
// also rolled back and played again, as an online match does when the other
// side's input arrives late.  Every frame: save, play it, then put back the
// state of `depth` frames ago and play those frames again with the same
// input, muted; the state must come out exactly as the straight run left it.
// A restore that leaves out anything the game reads, or a pass that depends
// on something outside the saved state, shows up as a difference; the run
// stops at the first one with the frame, the tick and the field.
#pragma once

#include "replayRunner.h"

#include <ostream>
#include <string>
#include <vector>

class syncTest {
  public:
    struct result {
        bool agreed = true;
        std::string message; // where the first difference was, when one was
        long frames = 0;
        long rollbacks = 0;
        long soundsStarted = 0;
        std::string finalState;                      // as replay prints it
        std::vector<std::string> failedExpectations; // the recording's, on the final state
    };

    static constexpr int passesPerFrame = 16;

    // `kept`: a field the restores leave as it is (the self-check).
    // `screens`: each frame's last pass is drawn, in the straight run and
    // after the rollback, and both screens must be the same, pixel for pixel.
    syncTest(const replayScript& script, int depth, std::ostream* trace = nullptr,
             std::string kept = {}, bool screens = false);
    result run();

  private:
    const replayScript& script_;
    int depth_;
    std::ostream* trace_;
    std::string kept_;
    bool screens_;
};
