// The one link the rollback session talks through, whatever carries the
// datagrams: ENet over UDP between desktops, the impaired link of the tests,
// a WebRTC data channel in the browser.  A carrier fills in the functions;
// datagrams may be lost, repeated or reordered, and the session copes.
#pragma once

#include <functional>
#include <vector>

struct transport {
    // Sends one datagram to the other side.
    std::function<void(const std::vector<unsigned char>&)> send;
    // Takes the next datagram that arrived into `out`; false when none waits.
    std::function<bool(std::vector<unsigned char>& out)> receive;
    // True once the carrier knows the other side is gone (a closed
    // connection).  May be left empty: the session also notices silence.
    std::function<bool()> lost;
};
