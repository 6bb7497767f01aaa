#include "net/rollbackSession.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// A datagram whose frame is further than this from where the two sides can
// be is dropped: the sides are never more than an input delay and a rollback
// window apart, and old datagrams bring nothing new.
constexpr std::uint32_t frameWindow = 64;
// Refused datagrams named on the console before the side only counts them.
constexpr std::uint64_t refusalsNamed = 5;
// Time sync: a side skips a frame when it runs ahead by a frame or more on
// average, at most one frame in this many.
constexpr std::uint32_t stepsBetweenSkips = 8;
constexpr double syncSmoothing = 0.1;
// The frames a side may run ahead of its estimate of the other, for the
// count it sends.
constexpr int aheadLimit = 32;
// Copies of a goodbye, sent at once: it is not repeated later.
constexpr int byeCopies = 3;

std::string hex(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

playerInput travelling(playerInput in) {
    in.held &= packet::sentControls;
    in.pressed &= packet::sentControls;
    return in;
}

} // namespace

rollbackSession::rollbackSession(simulation sim, settings s, transport link)
    : sim_(std::move(sim)), settings_(std::move(s)), link_(std::move(link)) {
    settings_.localPlayer = settings_.localPlayer == 1 ? 1 : 0;
    settings_.inputDelay =
        std::clamp(settings_.inputDelay, 0, static_cast<int>(packet::maxInputDelay));
    settings_.maxRollback = std::clamp(settings_.maxRollback, 1, 8);
    remotePlayer_ = 1 - settings_.localPlayer;
    // The first frames, before any input could be delayed into them, are
    // played with nothing held.
    localInputs_.assign(settings_.inputDelay, playerInput{});
}

void rollbackSession::note(const std::string& message) {
    if (settings_.log) settings_.log(message);
}

void rollbackSession::send(const packet::message& m) {
    if (link_.send) link_.send(packet::encode(m));
}

void rollbackSession::end(ending how, const std::string& message) {
    if (phase_ == phase::ended) return;
    phase_ = phase::ended;
    ending_ = how;
    endMessage_ = message;
    note(message);
}

void rollbackSession::quit() {
    if (phase_ == phase::ended) return;
    packet::bye b;
    b.reason = packet::byeReason::quit;
    b.frame = frame_;
    for (int i = 0; i < byeCopies; ++i)
        send(packet::makeBye(b));
    end(ending::quit, "you left the match");
}

std::uint32_t rollbackSession::tickAtEndOf(std::uint32_t f) const {
    return settings_.firstTick + (f + 1) * settings_.passesPerFrame;
}

std::vector<rollbackSession::frameInputs> rollbackSession::confirmedInputs() const {
    std::vector<frameInputs> out;
    out.reserve(confirmed_);
    for (std::uint32_t f = 0; f < confirmed_; ++f)
        out.push_back(inputsFor(f));
    return out;
}

void rollbackSession::writeLog(std::ostream& out) const {
    out << "# Tavro Fighter online match as player " << settings_.localPlayer
        << " confirmed it\n# frame, player 0's input, player 1's input (held low, pressed "
           "high), checksum\n";
    const std::vector<frameInputs> inputs = confirmedInputs();
    char line[80];
    for (std::uint32_t f = 0; f < inputs.size() && f < confirmedSums_.size(); ++f) {
        std::snprintf(line, sizeof line, "%u %08x %08x %016llx\n", f, inputs[f][0].packed(),
                      inputs[f][1].packed(), static_cast<unsigned long long>(confirmedSums_[f]));
        out << line;
    }
}

void rollbackSession::step(std::uint32_t nowMs, playerInput local) {
    if (phase_ == phase::ended) return;
    now_ = nowMs;
    local = travelling(local);
    pending_.held = local.held;
    pending_.pressed |= local.pressed;

    receiveAll();
    if (phase_ == phase::ended) return;
    if (link_.lost && link_.lost()) {
        end(ending::connectionLost, "connection lost");
        return;
    }
    // Once the other side has been heard, its silence means it is gone,
    // whether or not the match has started.
    if (heardHello_ && now_ - lastHeard_ > settings_.silenceMs) {
        end(ending::connectionLost, "connection lost");
        return;
    }
    if (phase_ == phase::connecting) {
        sendHello(heardHello_);
        if (!waiting_) waitingSince_ = now_;
        waiting_ = true;
        return;
    }
    rollBackIfNeeded();
    confirmFrames();
    if (phase_ == phase::ended) return;

    waiting_ = frame_ >= static_cast<std::uint32_t>(remoteInputs_.size()) +
                             static_cast<std::uint32_t>(settings_.maxRollback);
    if (!waiting_) waitingSince_ = now_;
    if (waiting_)
        ++stats_.waited;
    else if (shouldSkipForSync())
        ++stats_.skippedForSync;
    else
        playFrame();
    sendInput();
}

void rollbackSession::receiveAll() {
    if (!link_.receive) return;
    std::vector<unsigned char> bytes;
    // A bounded number per step, so a flood cannot stall the game.
    for (int n = 0; n < 256 && phase_ != phase::ended && link_.receive(bytes); ++n) {
        packet::message m;
        std::uint8_t version = 0;
        const packet::fault f = packet::decode(bytes.data(), bytes.size(), m, version);
        if (f == packet::fault::wrongVersion) {
            ++stats_.refused;
            // Before the match, tell the side that knocked, once a second
            // (never in answer to its own refusal).  During the match the
            // datagram cannot be from the other player, who spoke our
            // version: it is only counted.
            const bool theirRefusal =
                bytes.size() > 3 && bytes[3] == static_cast<unsigned char>(packet::kind::refuse);
            if (phase_ == phase::connecting && !theirRefusal &&
                (!refusalSent_ || now_ - lastRefusalSent_ >= 1000)) {
                send(packet::makeRefuse(packet::refusal::wrongVersion));
                refusalSent_ = true;
                lastRefusalSent_ = now_;
            }
            const std::string message = "refused the other side: it speaks protocol version " +
                                        std::to_string(version) + ", this game speaks " +
                                        std::to_string(packet::protocolVersion);
            if (phase_ == phase::connecting && !settings_.host)
                end(ending::refused, message);
            else if (stats_.refused <= refusalsNamed)
                note(message);
            continue;
        }
        if (f != packet::fault::none) {
            ++stats_.refused;
            if (stats_.refused <= refusalsNamed)
                note(std::string("refused a packet from the other side: ") + packet::describe(f));
            continue;
        }
        handle(m);
    }
}

void rollbackSession::handle(const packet::message& m) {
    switch (m.type) {
    case packet::kind::hello:
        handleHello(m.hello);
        return;
    case packet::kind::input:
        handleInput(m.input);
        return;
    case packet::kind::refuse: {
        const std::string message =
            std::string("refused by the other side: ") + packet::describe(m.refuse.reason);
        // A host that has not started is refused by a player who will not
        // play with it; it waits for another.
        if (settings_.host && phase_ == phase::connecting)
            note(message);
        else
            end(ending::refused, message);
        return;
    }
    case packet::kind::bye:
        if (m.bye.reason == packet::byeReason::quit) {
            end(ending::otherQuit, "the other player left the match");
        } else {
            end(ending::desync, "desync at frame " + std::to_string(m.bye.frame) + " (tick " +
                                    std::to_string(m.bye.tick) +
                                    "), found by the other side: " + "its checksum " +
                                    hex(m.bye.mine) + ", this side's " + hex(m.bye.yours));
        }
        return;
    }
}

void rollbackSession::handleHello(const packet::hello& hello) {
    if (hello.player != remotePlayer_) {
        refuseHello(packet::refusal::wrongPlayer,
                    "refused the other side: it wants to play this side's player");
        return;
    }
    if (hello.seed != settings_.seed) {
        // Two games from different seeds part at the first random number.
        refuseHello(packet::refusal::differentSeed,
                    "refused the other side: it plays with seed " + std::to_string(hello.seed) +
                        ", this side with " + std::to_string(settings_.seed) + " (--seed)");
        return;
    }
    lastHeard_ = now_;
    heardHello_ = true;
    if (phase_ == phase::connecting && hello.heardYou)
        phase_ = phase::running;
    else if (phase_ == phase::running) {
        // The other side has not heard us yet: answer.
        sendHello(true);
    }
}

void rollbackSession::sendHello(bool heardYou) {
    packet::hello h;
    h.player = static_cast<std::uint8_t>(settings_.localPlayer);
    h.nonce = settings_.nonce;
    h.seed = settings_.seed;
    h.heardYou = heardYou;
    send(packet::makeHello(h));
}

void rollbackSession::refuseHello(packet::refusal why, const std::string& message) {
    ++stats_.dropped;
    if (phase_ != phase::connecting) return;
    send(packet::makeRefuse(why));
    if (settings_.host)
        note(message);
    else
        end(ending::refused, message);
}

void rollbackSession::handleInput(const packet::input& in) {
    if (in.player != remotePlayer_) {
        ++stats_.dropped;
        return;
    }
    // Frames far from where the two sides can be, and acknowledgements of
    // what this side never sent, are not the other side's honest word.
    const std::uint32_t localInputs = static_cast<std::uint32_t>(localInputs_.size());
    if (in.frame > frame_ + frameWindow || in.frame + frameWindow < remoteFrame_ ||
        in.inputsReceived > localInputs || in.checksumsReceived > confirmed_ ||
        in.firstChecksum > confirmed_ + frameWindow) {
        ++stats_.dropped;
        return;
    }
    lastHeard_ = now_;
    if (phase_ == phase::connecting) phase_ = phase::running;
    heardHello_ = true;

    peerHasInputs_ = std::max(peerHasInputs_, in.inputsReceived);
    peerHasSums_ = std::max(peerHasSums_, in.checksumsReceived);
    takeTiming(in);
    takeRemoteInputs(in);

    // Checksums of the other side's confirmed frames.
    for (std::uint32_t i = 0; i < in.checksums.size(); ++i) {
        const std::uint32_t f = in.firstChecksum + i;
        remoteSums_[f % sumRing] = {f, in.checksums[i]};
        if (f < confirmed_) compare(f);
        if (phase_ == phase::ended) return;
    }
    if (in.firstChecksum <= remoteSumsReceived_)
        remoteSumsReceived_ =
            std::max(remoteSumsReceived_,
                     in.firstChecksum + static_cast<std::uint32_t>(in.checksums.size()));
    else if (!in.checksums.empty())
        remoteSumsReceived_ = in.firstChecksum + static_cast<std::uint32_t>(in.checksums.size());
}

void rollbackSession::takeTiming(const packet::input& in) {
    if (in.frame >= remoteFrame_) {
        remoteFrame_ = in.frame;
        remoteFrameAt_ = now_;
        remoteAhead_ = in.ahead;
    }
    if (static_cast<std::int32_t>(in.stamp - lastStamp_) > 0 || lastStamp_ == 0) {
        lastStamp_ = in.stamp;
        lastStampAt_ = now_;
    }
    if (in.echo != 0) {
        const std::uint32_t round = now_ - in.echo + 1;
        if (round >= in.echoAge && round - in.echoAge < 10000) {
            const double sample = round - in.echoAge;
            ping_ = pinged_ ? ping_ * 0.9 + sample * 0.1 : sample;
            pinged_ = true;
            stats_.pingMs = static_cast<std::uint32_t>(ping_ + 0.5);
        }
    }
}

void rollbackSession::takeRemoteInputs(const packet::input& in) {
    // New inputs: only those that continue what this side holds.
    const std::uint32_t have = static_cast<std::uint32_t>(remoteInputs_.size());
    if (in.firstInput <= have) {
        for (std::uint32_t i = have - in.firstInput; i < in.inputs.size(); ++i) {
            const std::uint32_t f = in.firstInput + i;
            remoteInputs_.push_back(in.inputs[i]);
            if (f < frame_ && in.inputs[i] != usedRemote_[f % ring])
                rollbackFrom_ = std::min(rollbackFrom_, f);
        }
    } else {
        ++stats_.dropped;
    }
}

rollbackSession::frameInputs rollbackSession::inputsFor(std::uint32_t f) const {
    frameInputs inputs;
    inputs[settings_.localPlayer] = localInputs_[f];
    if (f < remoteInputs_.size()) {
        inputs[remotePlayer_] = remoteInputs_[f];
    } else {
        // The prediction: the controls last held stay held; nothing is newly
        // pressed.
        playerInput guess;
        if (!remoteInputs_.empty()) guess.held = remoteInputs_.back().held;
        inputs[remotePlayer_] = guess;
    }
    return inputs;
}

void rollbackSession::play(std::uint32_t f, bool resimulating) {
    savedState& s = saved_[f % ring];
    s.frame = f;
    if (after_.frame == f)
        s.bytes.swap(after_.bytes); // saved after the frame before, for its checksum
    else
        sim_.save(s.bytes);
    after_.frame = ~0u;
    const frameInputs inputs = inputsFor(f);
    usedRemote_[f % ring] = inputs[remotePlayer_];
    sim_.advance(f, inputs, resimulating);
    if (sim_.checksumOf) {
        sim_.save(after_.bytes);
        after_.frame = f + 1;
        localSums_[f % sumRing] = {f, sim_.checksumOf(after_.bytes)};
    } else {
        localSums_[f % sumRing] = {f, sim_.checksum()};
    }
}

void rollbackSession::rollBackIfNeeded() {
    if (rollbackFrom_ == ~0u) return;
    const std::uint32_t from = rollbackFrom_;
    rollbackFrom_ = ~0u;
    if (from >= frame_ || saved_[from % ring].frame != from) return;
    sim_.restore(saved_[from % ring].bytes);
    after_.frame = ~0u;
    for (std::uint32_t f = from; f < frame_; ++f)
        play(f, true);
    const std::uint32_t depth = frame_ - from;
    ++stats_.rollbacks;
    stats_.framesResimulated += depth;
    stats_.lastRollback = depth;
    stats_.longestRollback = std::max(stats_.longestRollback, depth);
}

void rollbackSession::confirmFrames() {
    const std::uint32_t upTo = std::min(frame_, static_cast<std::uint32_t>(remoteInputs_.size()));
    while (confirmed_ < upTo && phase_ != phase::ended) {
        const std::uint32_t f = confirmed_++;
        confirmedSums_.push_back(localSums_[f % sumRing].value);
        if (onConfirmed) onConfirmed(f, localSums_[f % sumRing].value);
        compare(f);
    }
}

void rollbackSession::compare(std::uint32_t f) {
    const sum& mine = localSums_[f % sumRing];
    const sum& theirs = remoteSums_[f % sumRing];
    if (mine.frame != f || theirs.frame != f || mine.value == theirs.value) return;
    packet::bye b;
    b.reason = packet::byeReason::desync;
    b.frame = f;
    b.tick = tickAtEndOf(f);
    b.mine = mine.value;
    b.yours = theirs.value;
    for (int i = 0; i < byeCopies; ++i)
        send(packet::makeBye(b));
    end(ending::desync, "desync at frame " + std::to_string(f) + " (tick " +
                            std::to_string(b.tick) + "): this side's checksum " + hex(mine.value) +
                            ", the other side's " + hex(theirs.value));
}

bool rollbackSession::shouldSkipForSync() {
    // Where the other side is now: the frame it last reported, plus the
    // time since and half a round trip, in frames.
    const double estimate = remoteFrame_ + ((now_ - remoteFrameAt_) + ping_ / 2) / 16.0;
    const double ahead = std::clamp(static_cast<double>(frame_) - estimate,
                                    -static_cast<double>(aheadLimit), double(aheadLimit));
    // Both sides' views of the gap, halved: the share this side should give up.
    const double gap = (ahead - remoteAhead_) / 2;
    drift_ = drift_ * (1 - syncSmoothing) + gap * syncSmoothing;
    ++stepsSinceSkip_;
    if (drift_ >= 1.0 && stepsSinceSkip_ >= stepsBetweenSkips) {
        stepsSinceSkip_ = 0;
        drift_ -= 1.0;
        return true;
    }
    return false;
}

void rollbackSession::playFrame() {
    localInputs_.push_back(pending_);
    pending_.pressed = 0;
    play(frame_, false);
    ++frame_;
}

void rollbackSession::sendInput() {
    packet::message m;
    m.type = packet::kind::input;
    packet::input& in = m.input;
    in.player = static_cast<std::uint8_t>(settings_.localPlayer);
    in.frame = frame_;
    const double estimate = remoteFrame_ + ((now_ - remoteFrameAt_) + ping_ / 2) / 16.0;
    const double ahead = std::clamp(static_cast<double>(frame_) - estimate,
                                    -static_cast<double>(aheadLimit), double(aheadLimit));
    in.ahead = static_cast<std::int8_t>(ahead < 0 ? ahead - 0.5 : ahead + 0.5);
    in.inputsReceived = static_cast<std::uint32_t>(remoteInputs_.size());
    in.checksumsReceived = remoteSumsReceived_;
    in.stamp = now_ + 1; // 0 means "nothing to echo"
    in.echo = lastStamp_;
    in.echoAge = static_cast<std::uint16_t>(std::min<std::uint32_t>(now_ - lastStampAt_, 60000));
    // Inputs from the first the other side lacks; the packet may carry only
    // up to `frame + maxInputDelay`, which is where ours end.
    const std::uint32_t have = static_cast<std::uint32_t>(localInputs_.size());
    in.firstInput = std::min(peerHasInputs_, have);
    for (std::uint32_t f = in.firstInput; f < have && in.inputs.size() < packet::maxInputs; ++f)
        in.inputs.push_back(localInputs_[f]);
    // Checksums of confirmed frames the other side lacks, from the oldest
    // still kept.
    std::uint32_t first = peerHasSums_;
    if (confirmed_ > sumRing && first < confirmed_ - sumRing) first = confirmed_ - sumRing;
    in.firstChecksum = std::min(first, confirmed_);
    for (std::uint32_t f = in.firstChecksum;
         f < confirmed_ && in.checksums.size() < packet::maxChecksums; ++f)
        in.checksums.push_back(localSums_[f % sumRing].value);
    send(m);
}
