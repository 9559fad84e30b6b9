#include "platform/platform.h"

#include <cassert>

namespace platform {

namespace {
Platform* gBackend = nullptr;
}

void InstallPlatform(Platform* backend) { gBackend = backend; }

Platform& Plat() {
    assert(gBackend != nullptr && "no platform backend installed");
    return *gBackend;
}

bool HasPlatform() { return gBackend != nullptr; }

}  // namespace platform
