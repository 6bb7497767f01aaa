// A link between two sides in one process that behaves like a poor network:
// each datagram is held back by a delay with jitter, and may be lost,
// repeated or held back longer than the ones after it.  Every choice comes
// from a seeded generator, so a test over it plays the same way each run.
#pragma once

#include "net/transport.h"

#include <cstdint>
#include <functional>
#include <vector>

class impairedLink {
  public:
    struct conditions {
        std::uint32_t delayMs = 0;  // one way
        std::uint32_t jitterMs = 0; // the delay varies by up to this much either way
        double loss = 0;            // share of datagrams lost
        double duplicate = 0;       // share of datagrams delivered twice
        double reorder = 0;         // share held back by another delay, so later ones pass them
    };

    // The poor network every impaired match plays over (--impair, the
    // versus page's impair, the tests and the benchmark): 80 +- 20 ms one
    // way, 5% lost, 2% repeated, 5% overtaken.
    static conditions poorNetwork();

    // `clock` gives the time in ms both sides live by.
    impairedLink(conditions c, std::uint64_t seed, std::function<std::uint32_t()> clock);

    // The carrier for side 0 or side 1: what one side sends, the other
    // receives once its time has come.
    transport side(int which);

    // Wraps a real carrier so that what this side sends through it is
    // impaired first: held back by this link, then handed to `inner` when
    // due (at the next receive, that is the next step).  Used by the
    // two-program tests over loopback.
    transport impairOutgoing(transport inner);

    // Cuts the link: nothing more is delivered either way.
    void cut() { cut_ = true; }

    // Counts over both directions.
    std::uint64_t sent() const { return sent_; }
    std::uint64_t lost() const { return lost_; }
    std::uint64_t duplicated() const { return duplicated_; }
    std::uint64_t reordered() const { return reordered_; }

  private:
    struct inFlight {
        std::uint32_t due;
        std::uint64_t order; // ties keep sending order
        std::vector<unsigned char> bytes;
    };
    void post(int to, const std::vector<unsigned char>& bytes);
    bool take(int at, std::vector<unsigned char>& out);
    double chance();
    std::uint32_t delay();

    conditions conditions_;
    std::uint64_t state_;
    std::function<std::uint32_t()> clock_;
    std::vector<inFlight> queue_[2]; // by receiving side
    std::uint64_t order_ = 0;
    bool cut_ = false;
    std::uint64_t sent_ = 0, lost_ = 0, duplicated_ = 0, reordered_ = 0;
};
