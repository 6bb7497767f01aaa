#include "net/enetTransport.h"

#include "net/packet.h"

#include <enet/enet.h>

#include <cstdlib>

namespace {

// ENet is started once for the program and stopped at exit.
bool startEnet() {
    static const bool started = [] {
        if (enet_initialize() != 0) return false;
        std::atexit(enet_deinitialize);
        return true;
    }();
    return started;
}

std::string describe(const ENetAddress& address) {
    char name[64] = "?";
    enet_address_get_host_ip(&address, name, sizeof name);
    return std::string(name) + ":" + std::to_string(address.port);
}

// A peer that stays silent this long is gone; the session notices silence
// sooner on its own.
constexpr enet_uint32 peerTimeoutMs = 2500;
// How long a side that leaves keeps the connection after its last datagram.
constexpr enet_uint32 goodbyeMs = 100;

} // namespace

enetTransport::~enetTransport() {
    if (peer_ != nullptr) {
        // ENet drops what the other side received but has not yet handed
        // over when a disconnection arrives with it, as a goodbye sent just
        // before would be: the goodbye gets a moment to be taken first.
        const enet_uint32 until = enet_time_get() + goodbyeMs;
        ENetEvent event;
        while (enet_time_get() < until && peer_ != nullptr &&
               enet_host_service(host_, &event, 10) >= 0) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer_) peer_ = nullptr;
        }
    }
    if (peer_ != nullptr) {
        enet_peer_disconnect_now(peer_, 0);
        enet_host_flush(host_);
    }
    if (host_ != nullptr) enet_host_destroy(host_);
}

void enetTransport::note(const std::string& message) {
    if (log) log(message);
}

std::unique_ptr<enetTransport> enetTransport::host(const std::string& address, std::uint16_t port,
                                                   std::string& error) {
    if (!startEnet()) {
        error = "could not start the network";
        return nullptr;
    }
    ENetAddress a;
    a.host = ENET_HOST_ANY;
    a.port = port;
    if (!address.empty() && enet_address_set_host(&a, address.c_str()) != 0) {
        error = "unknown address " + address;
        return nullptr;
    }
    std::unique_ptr<enetTransport> t(new enetTransport);
    // Two slots: the player, and one to turn a third away with a message.
    t->host_ = enet_host_create(&a, 2, 1, 0, 0);
    if (t->host_ == nullptr) {
        error = "could not listen on port " + std::to_string(port) + " (is it in use?)";
        return nullptr;
    }
    t->hosting_ = true;
    return t;
}

std::unique_ptr<enetTransport> enetTransport::join(const std::string& address, std::uint16_t port,
                                                   std::string& error) {
    if (!startEnet()) {
        error = "could not start the network";
        return nullptr;
    }
    ENetAddress a;
    a.port = port;
    if (enet_address_set_host(&a, address.c_str()) != 0) {
        error = "unknown host " + address;
        return nullptr;
    }
    std::unique_ptr<enetTransport> t(new enetTransport);
    t->host_ = enet_host_create(nullptr, 1, 1, 0, 0);
    if (t->host_ == nullptr) {
        error = "could not open a network socket";
        return nullptr;
    }
    t->joining_ = enet_host_connect(t->host_, &a, 1, packet::protocolVersion);
    if (t->joining_ == nullptr) {
        error = "could not connect to " + address;
        return nullptr;
    }
    enet_peer_timeout(t->joining_, 0, peerTimeoutMs, peerTimeoutMs);
    return t;
}

void enetTransport::service() {
    if (host_ == nullptr) return;
    ENetEvent event;
    while (enet_host_service(host_, &event, 0) > 0) {
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (hosting_ && (peer_ != nullptr || lost_)) {
                // A third player: told, then let go.
                enet_peer_send(
                    event.peer, 0,
                    enet_packet_create(
                        packet::encode(packet::makeRefuse(packet::refusal::matchFull)).data(), 6,
                        ENET_PACKET_FLAG_RELIABLE));
                enet_peer_disconnect_later(event.peer, 0);
                note("refused a player from " + describe(event.peer->address) +
                     ": the match is full");
                break;
            }
            peer_ = event.peer;
            joining_ = nullptr;
            enet_peer_timeout(peer_, 0, peerTimeoutMs, peerTimeoutMs);
            note(std::string(hosting_ ? "a player joined from " : "connected to ") +
                 describe(peer_->address));
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            if (event.peer == peer_ && arrived_.size() < 1024)
                arrived_.emplace_back(event.packet->data,
                                      event.packet->data + event.packet->dataLength);
            else if (event.peer != peer_ && !hosting_)
                // The host's refusal reaches a side that never got in.
                arrived_.emplace_back(event.packet->data,
                                      event.packet->data + event.packet->dataLength);
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (event.peer == peer_ || event.peer == joining_) {
                if (event.peer == joining_) note("could not connect: no answer");
                peer_ = nullptr;
                joining_ = nullptr;
                lost_ = true;
            }
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
        }
    }
}

void enetTransport::send(const std::vector<unsigned char>& bytes) {
    if (peer_ == nullptr) return;
    // A refusal goes reliably, since the connection ends behind it and the
    // host's slot is free again.
    const bool refusal =
        bytes.size() > 3 && bytes[3] == static_cast<unsigned char>(packet::kind::refuse);
    ENetPacket* p =
        enet_packet_create(bytes.data(), bytes.size(),
                           refusal ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    enet_peer_send(peer_, 0, p);
    if (refusal) {
        enet_peer_disconnect_later(peer_, 0);
        if (hosting_) peer_ = nullptr;
    }
    enet_host_flush(host_);
}

transport enetTransport::link() {
    transport t;
    t.send = [this](const std::vector<unsigned char>& bytes) { send(bytes); };
    t.receive = [this](std::vector<unsigned char>& out) {
        if (arrived_.empty()) service();
        if (arrived_.empty()) return false;
        out = std::move(arrived_.front());
        arrived_.pop_front();
        return true;
    };
    t.lost = [this] { return lost_; };
    return t;
}

bool enetTransport::splitHostPort(const std::string& text, std::string& hostName,
                                  std::uint16_t& port, std::string& error) {
    port = enetTransport::defaultPort;
    hostName = text;
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return true;
    hostName = text.substr(0, colon);
    const std::string digits = text.substr(colon + 1);
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end != '\0' || value < 1 || value > 65535) {
        error = "not a port: " + digits;
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}
