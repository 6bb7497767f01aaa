#include "frameData.h"

#include <sstream>

namespace {

bool hurts(const spriteFrame& frame) {
    return frame.damage > 0 && frame.hitType == 1;
}

const moveInfo* byName(moveSet& moves, const std::string& name) {
    for (const moveInfo& move : moves.moves)
        if (move.name == name) return &move;
    return nullptr;
}

// The time, in ms, from the start of `move` to the start of frame `index`.
int startOf(const moveInfo& move, int index) {
    return frameData::length(move) - frameData::length(move, index);
}

} // namespace

int frameData::length(const moveInfo& move, int from) {
    int ms = 0;
    const std::vector<spriteFrame>& frames = move.frameSet.frames;
    for (size_t i = from < 0 ? 0 : static_cast<size_t>(from); i < frames.size(); ++i)
        ms += frames[i].pause * speed;
    return ms;
}

moveTiming frameData::of(const moveInfo& move, moveSet& moves) {
    moveTiming t;
    t.name = move.name;
    t.total = length(move);
    const std::vector<spriteFrame>& frames = move.frameSet.frames;
    int first = -1, last = -1;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (!hurts(frames[i])) continue;
        if (first < 0) first = static_cast<int>(i);
        last = static_cast<int>(i);
    }
    if (first >= 0) {
        t.hurts = true;
        t.startup = startOf(move, first);
        t.active = startOf(move, last + 1) - t.startup;
        t.recovery = t.total - t.startup - t.active;
        t.damage = frames[static_cast<size_t>(first)].damage;
        // The game looks reactions up by name; a set without one uses its
        // first move, and so do these figures.
        const int busyAfter = t.active + t.recovery;
        t.onHit = length(moves.returnMove("hit1")) - busyAfter;
        t.onBlock = length(moves.returnMove("blockHi")) - busyAfter;
    } else {
        t.recovery = t.total;
    }
    for (size_t i = 0; i < frames.size() && t.thrown.empty(); ++i) {
        if (frames[i].partNames.empty()) continue;
        std::istringstream line(frames[i].partNames.front());
        line >> t.thrown;
        t.throwAt = startOf(move, static_cast<int>(i));
    }
    // A link is taken from its move's link frame to that move's end, and
    // starts when it ends; a cancel from its from frame, and cuts in at once.
    const bool link = move.linkMove != "NULL";
    const std::string& follows = link ? move.linkMove : move.fromMove;
    const int fromFrame = link ? move.linkFrame : move.fromFrame;
    if (follows != "NULL") {
        t.follows = follows;
        if (const moveInfo* before = byName(moves, follows)) {
            const int count = static_cast<int>(before->frameSet.frames.size());
            t.windowFrom = startOf(*before, fromFrame < count ? fromFrame : count);
            t.windowTo = length(*before);
        }
    }
    return t;
}

std::vector<moveTiming> frameData::all(moveSet& moves) {
    std::vector<moveTiming> out;
    for (const moveInfo& move : moves.moves)
        out.push_back(of(move, moves));
    return out;
}

std::string frameData::signedMs(int ms) {
    return (ms > 0 ? "+" : "") + std::to_string(ms);
}

std::string frameData::table(moveSet& moves) {
    std::string out = "| move | startup | active | recovery | total | damage | on hit | on block "
                      "| window |\n|---|---|---|---|---|---|---|---|---|\n";
    for (const moveTiming& t : all(moves)) {
        const std::string dash = "-";
        out += "| `" + t.name + "` | ";
        if (t.hurts)
            out += std::to_string(t.startup) + " | ";
        else if (!t.thrown.empty())
            out += std::to_string(t.throwAt) + " (" + t.thrown + ") | ";
        else
            out += dash + " | ";
        out += (t.hurts ? std::to_string(t.active) : dash) + " | ";
        out += std::to_string(t.recovery) + " | " + std::to_string(t.total) + " | ";
        out += (t.hurts ? std::to_string(t.damage) : dash) + " | ";
        out += (t.hurts ? signedMs(t.onHit) : dash) + " | ";
        out += (t.hurts ? signedMs(t.onBlock) : dash) + " | ";
        if (t.windowFrom >= 0)
            out += std::to_string(t.windowFrom) + "-" + std::to_string(t.windowTo) + " of " +
                   t.follows;
        else
            out += dash;
        out += " |\n";
    }
    return out;
}
