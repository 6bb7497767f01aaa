#include "game/refreshLoop.h"

bool refreshLoop::refresh(long passes, const std::function<void()>& beforePass) {
    // A refresh with no pass due (two within one millisecond) keeps showing
    // what is on show.
    if (ended_ || passes <= 0) return !ended_;
    finish();
    for (long pass = 1; pass <= passes; ++pass) {
        beforePass();
        ++passes_;
        const bool goOn = updateGame(session_);
        if (pass == passes || !goOn) {
            drawFrame();
            ++frames_;
            frameOnShow_ = true;
            ended_ = !goOn;
            break;
        }
        advanceUnseenFrame();
    }
    return !ended_;
}

void refreshLoop::finish() {
    if (!frameOnShow_) return;
    frameOnShow_ = false;
    eraseAndCheckHits();
}
