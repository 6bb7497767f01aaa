// The desktop's carrier: ENet over UDP.  The host listens on a port and
// takes one player; anyone else who connects is refused ("the match is
// full") and let go.  The joining side connects to the host.  Datagrams go
// unreliable and unsequenced: the session repeats what matters itself.
// Nothing listens on a port unless a host is made.
#pragma once

#include "net/transport.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

class enetTransport {
  public:
    static constexpr std::uint16_t defaultPort = 7707;
    // "host:port" or "host" (then the default port) into its parts; false,
    // with `error` set, for a port that is not 1..65535.
    static bool splitHostPort(const std::string& text, std::string& hostName, std::uint16_t& port,
                              std::string& error);

    ~enetTransport();
    enetTransport(const enetTransport&) = delete;
    enetTransport& operator=(const enetTransport&) = delete;

    // Listens on `address` ("" for every address of the machine) and `port`.
    // Null, with `error` set, when the port cannot be had.
    static std::unique_ptr<enetTransport> host(const std::string& address, std::uint16_t port,
                                               std::string& error);
    // Starts connecting to the host; the session's hellos go once connected.
    static std::unique_ptr<enetTransport> join(const std::string& address, std::uint16_t port,
                                               std::string& error);

    // The carrier for the session.  Receiving also serves ENet's events.
    transport link();
    // Serves ENet: connections, disconnections, arriving datagrams.
    void service();

    bool connected() const { return peer_ != nullptr; }
    // The other side went away (or a join never got through).
    bool lost() const { return lost_; }
    // Connection news for the console: "player joined from 127.0.0.1:5000".
    std::function<void(const std::string&)> log;

  private:
    enetTransport() = default;
    void send(const std::vector<unsigned char>& bytes);
    void note(const std::string& message);

    _ENetHost* host_ = nullptr;
    _ENetPeer* peer_ = nullptr;    // the other player, once connected
    _ENetPeer* joining_ = nullptr; // the join side's connection in progress
    bool hosting_ = false;
    bool lost_ = false;
    std::deque<std::vector<unsigned char>> arrived_;
};
