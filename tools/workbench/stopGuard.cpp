#include "stopGuard.h"

#include "base/fatal.h"
#include "base/platform.h"

namespace {

void throwStop(const std::string& message, fatal::Channel) {
    throw loadStopped{message};
}

} // namespace

stopGuard::stopGuard() : directory_(platform::currentDirectory()) {
    fatal::setHandler(throwStop);
}

stopGuard::~stopGuard() {
    fatal::setHandler(nullptr);
    if (!directory_.empty()) platform::changeDirectory(directory_);
}
