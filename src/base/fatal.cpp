#include "base/fatal.h"

#include "base/seams.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fatal {
namespace {

Handler g_handler = nullptr;

} // namespace

void stop(const std::string& message, Channel channel) {
    if (g_handler) g_handler(message, channel);
    if (channel == Channel::errors) {
        // The trace first, so the error line comes after what led to it.
        seams::trace().flush();
        seams::errors() << message;
        seams::errors().flush();
    } else {
        seams::trace() << message;
        seams::trace().flush();
    }
    std::exit(1);
}

void stopWithSystemError(const std::string& what) {
    const int reason = errno;
    stop(what + ": " + std::strerror(reason) + "\n", Channel::errors);
}

Handler setHandler(Handler handler) {
    Handler before = g_handler;
    g_handler = handler;
    return before;
}

} // namespace fatal
