#include "stopGuard.h"

#include "base/fatal.h"
#include "base/platform.h"

namespace {

void throwStop(const std::string& message, fatal::Channel) {
    throw loadStopped{message};
}

} // namespace

stopGuard::stopGuard() {
    fatal::setHandler(throwStop);
}

stopGuard::~stopGuard() {
    fatal::setHandler(nullptr);
    directory_.returnTo();
}
