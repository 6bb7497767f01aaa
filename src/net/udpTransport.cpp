#include "net/udpTransport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in a;
    std::memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

} // namespace

udpTransport::~udpTransport() {
    if (socket_ >= 0) close(socket_);
}

std::unique_ptr<udpTransport> udpTransport::toBridge(std::uint16_t port, std::string& error) {
    std::unique_ptr<udpTransport> t(new udpTransport);
    t->socket_ = socket(AF_INET, SOCK_DGRAM, 0);
    if (t->socket_ < 0) {
        error = std::string("could not open a socket: ") + std::strerror(errno);
        return nullptr;
    }
    const sockaddr_in own = loopback(0);
    if (bind(t->socket_, reinterpret_cast<const sockaddr*>(&own), sizeof own) != 0 ||
        fcntl(t->socket_, F_SETFL, O_NONBLOCK) != 0) {
        error = std::string("could not open a socket: ") + std::strerror(errno);
        return nullptr;
    }
    t->port_ = port;
    return t;
}

transport udpTransport::link() {
    transport t;
    t.send = [this](const std::vector<unsigned char>& bytes) {
        const sockaddr_in to = loopback(port_);
        sendto(socket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
    };
    t.receive = [this](std::vector<unsigned char>& out) {
        unsigned char buffer[2048];
        for (;;) {
            sockaddr_in from;
            socklen_t size = sizeof from;
            const ssize_t n = recvfrom(socket_, buffer, sizeof buffer, 0,
                                       reinterpret_cast<sockaddr*>(&from), &size);
            if (n < 0) return false;
            // Only the bridge's datagrams.
            if (from.sin_addr.s_addr != htonl(INADDR_LOOPBACK) || ntohs(from.sin_port) != port_)
                continue;
            out.assign(buffer, buffer + n);
            return true;
        }
    };
    return t;
}
