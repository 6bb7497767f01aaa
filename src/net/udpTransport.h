// Plain datagrams over loopback UDP, to the browser bridge (web/bridge.js)
// running on the same machine: the bridge carries them on to a browser over
// WebRTC.  The packets are the session's own, unchanged; only 127.0.0.1 is
// ever spoken to, and only datagrams from the bridge's port are taken.
#pragma once

#include "net/transport.h"

#include <cstdint>
#include <memory>
#include <string>

class udpTransport {
  public:
    ~udpTransport();
    udpTransport(const udpTransport&) = delete;
    udpTransport& operator=(const udpTransport&) = delete;

    // A socket of its own on 127.0.0.1, sending to the bridge's port.
    static std::unique_ptr<udpTransport> toBridge(std::uint16_t port, std::string& error);

    transport link();

  private:
    udpTransport() = default;
    int socket_ = -1;
    std::uint16_t port_ = 0;
};
