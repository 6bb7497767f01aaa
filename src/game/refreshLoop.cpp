#include "game/refreshLoop.h"

bool refreshLoop::refresh(long passes, const std::function<void()>& beforePass) {
    if (ended_) return false;
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
