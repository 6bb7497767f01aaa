// One side of an online match, played with rollback.
//
// Both programs run the same simulation in frames of 16 passes of 1 ms.  A
// side plays each frame at once with its own input (taken `inputDelay`
// frames earlier) and, for the other player, a prediction: the controls the
// other player last held, nothing newly pressed.  When the other side's
// real input for a frame arrives and differs from the prediction, the side
// restores the state it saved before that frame and plays the frames since
// again with what is now known (at most `maxRollback` frames back; a side
// that would have to predict further waits).  Frames whose inputs are all
// known are confirmed; both sides send the checksums of their confirmed
// frames, and a checksum that differs ends the match on both sides.  The side
// that runs ahead of the other skips a frame now and then, so that neither
// rolls back more than it must.
//
// The session knows the simulation only through four functions, and the
// other side only through a transport, so the game, tests with a toy
// simulation, the desktop and the browser all drive the same code.
#pragma once

#include "base/playerInput.h"
#include "net/packet.h"
#include "net/transport.h"

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

class rollbackSession {
  public:
    using frameInputs = std::array<playerInput, 2>; // by player: 0 left, 1 right

    struct simulation {
        // The whole state into the buffer, and back.
        std::function<void(std::vector<unsigned char>&)> save;
        std::function<void(const std::vector<unsigned char>&)> restore;
        // Plays frame `frame` with both players' inputs.  `resimulating` is
        // set when the frame is played again after a rollback: sounds and
        // trace lines the frame already gave must not repeat.
        std::function<void(std::uint32_t frame, const frameInputs& inputs, bool resimulating)>
            advance;
        // A checksum of the state, the same on every build.
        std::function<std::uint64_t()> checksum;
        // Optional: the checksum of a state as `save` wrote it (equal to
        // `checksum` taken then).  When given, the session saves the state
        // once a frame: what it saves after a frame for the checksum is the
        // next frame's saved state too, so the front end must not change the
        // game between two steps (drawing, or putting back the same state,
        // is fine).
        std::function<std::uint64_t(const std::vector<unsigned char>&)> checksumOf;
    };

    struct settings {
        int localPlayer = 0;         // 0 plays left (the host), 1 right
        int inputDelay = 2;          // frames, 0 to packet::maxInputDelay
        int maxRollback = 8;         // frames, 1 to 8
        bool host = false;           // the host waits for a player and turns away others
        std::uint32_t firstTick = 0; // the game clock when frame 0 starts
        std::uint32_t passesPerFrame = 16;
        std::uint32_t silenceMs = 2000; // "connection lost" after this long without a datagram
        std::uint32_t nonce = 1;        // tells this run from an earlier one of the same program
        std::uint32_t seed = 0;         // the match's random seed; both sides must give the same
        // Messages for the player's console (refused datagrams, the end).
        std::function<void(const std::string&)> log;
    };

    enum class phase { connecting, running, ended };
    enum class ending { none, quit, otherQuit, connectionLost, desync, refused };

    struct statistics {
        std::uint64_t rollbacks = 0;         // times the side went back
        std::uint64_t framesResimulated = 0; // frames played again in all of them
        std::uint32_t longestRollback = 0;   // frames
        std::uint32_t lastRollback = 0;      // frames, the latest one
        std::uint64_t skippedForSync = 0;    // frames skipped because this side ran ahead
        std::uint64_t waited = 0;            // steps that could not play: too far ahead
        std::uint64_t refused = 0;           // datagrams that failed the checks
        std::uint64_t dropped = 0;           // well formed, but out of range or not for us
        std::uint32_t pingMs = 0;            // round trip, smoothed
    };

    rollbackSession(simulation sim, settings s, transport link);

    // One tick of the front end's loop, every 16 ms: takes the datagrams
    // that arrived, rolls back if they say so, plays the next frame unless
    // this side must wait, and sends.  `local` is this player's input since
    // the last step (pressed controls are kept until a frame takes them).
    void step(std::uint32_t nowMs, playerInput local);
    // Ends the match from this side (Escape) and tells the other side.
    void quit();

    phase state() const { return phase_; }
    ending howEnded() const { return ending_; }
    // Why the match ended, in a sentence for the player.
    const std::string& endMessage() const { return endMessage_; }
    // True when the last step could not play a frame because the other
    // side's inputs are too far behind.
    bool waiting() const { return waiting_; }
    // How long, up to `nowMs`, the session has been waiting (0 when it is not).
    std::uint32_t waitingFor(std::uint32_t nowMs) const {
        return waiting_ ? nowMs - waitingSince_ : 0;
    }

    int localPlayer() const { return settings_.localPlayer; }
    int inputDelay() const { return settings_.inputDelay; }
    std::uint32_t frame() const { return frame_; }         // frames played
    std::uint32_t confirmed() const { return confirmed_; } // frames confirmed
    const statistics& stats() const { return stats_; }
    // Both players' inputs of every confirmed frame, for the recording.
    std::vector<frameInputs> confirmedInputs() const;
    // The match as this side confirmed it, one line a frame: the frame, both
    // players' inputs (packed, hexadecimal) and the checksum.  Written by
    // both sides after a desync, the two logs show where they part.
    void writeLog(std::ostream& out) const;
    // Called for every frame as it is confirmed, with its checksum.
    std::function<void(std::uint32_t frame, std::uint64_t checksum)> onConfirmed;

  private:
    static constexpr std::uint32_t ring = 16;     // saved states and predictions
    static constexpr std::uint32_t sumRing = 256; // checksums kept for comparing

    struct savedState {
        std::uint32_t frame = ~0u;
        std::vector<unsigned char> bytes;
    };
    struct sum {
        std::uint32_t frame = ~0u;
        std::uint64_t value = 0;
    };

    void receiveAll();
    void handle(const packet::message& m);
    void handleHello(const packet::hello& hello);
    // A hello this side will not play with: dropped, and while connecting
    // refused; a host notes it and waits for another player, a guest ends.
    void refuseHello(packet::refusal why, const std::string& message);
    void handleInput(const packet::input& in);
    // The other side's frame, its clock and the round trip an input tells.
    void takeTiming(const packet::input& in);
    // The inputs that continue what this side holds; one that differs from
    // what a frame was played with marks a rollback.
    void takeRemoteInputs(const packet::input& in);
    void rollBackIfNeeded();
    void confirmFrames();
    void compare(std::uint32_t frame);
    bool shouldSkipForSync();
    void playFrame();
    void play(std::uint32_t f, bool resimulating);
    frameInputs inputsFor(std::uint32_t f) const;
    void sendInput();
    void send(const packet::message& m);
    // This side's greeting; `heardYou` once the other side's has come.
    void sendHello(bool heardYou);
    void end(ending how, const std::string& message);
    void note(const std::string& message);
    std::uint32_t tickAtEndOf(std::uint32_t f) const;

    simulation sim_;
    settings settings_;
    transport link_;
    int remotePlayer_;

    phase phase_ = phase::connecting;
    ending ending_ = ending::none;
    std::string endMessage_;
    bool waiting_ = false;
    std::uint32_t waitingSince_ = 0;
    std::uint32_t now_ = 0;
    std::uint32_t lastHeard_ = 0;
    bool heardHello_ = false;
    std::uint32_t lastRefusalSent_ = 0;
    bool refusalSent_ = false;

    // Inputs by frame: this side's (delay frames ahead of frame_), and the
    // other side's as far as they arrived without a gap.
    std::vector<playerInput> localInputs_;
    std::vector<playerInput> remoteInputs_;
    playerInput pending_;
    std::array<playerInput, ring> usedRemote_{}; // what frame f was played with
    std::uint32_t rollbackFrom_ = ~0u;

    std::uint32_t frame_ = 0;
    std::uint32_t confirmed_ = 0;
    std::array<savedState, ring> saved_;
    savedState after_; // the state after the latest frame played, with checksumOf
    std::array<sum, sumRing> localSums_;
    std::vector<std::uint64_t> confirmedSums_; // every confirmed frame's, for the log
    std::array<sum, sumRing> remoteSums_;
    std::uint32_t remoteSumsReceived_ = 0; // frames of the other side's checksums held
    std::uint32_t peerHasInputs_ = 0;      // frames of our inputs the other side holds
    std::uint32_t peerHasSums_ = 0;        // frames of our checksums the other side holds

    // Time sync and ping.
    std::uint32_t remoteFrame_ = 0;
    std::uint32_t remoteFrameAt_ = 0;
    int remoteAhead_ = 0;
    double drift_ = 0;
    std::uint32_t stepsSinceSkip_ = 0;
    std::uint32_t lastStamp_ = 0;
    std::uint32_t lastStampAt_ = 0;
    double ping_ = 0;
    bool pinged_ = false;

    statistics stats_;
};
