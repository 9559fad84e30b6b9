#include "platform/platform.h"

#include <malloc.h>

#include <cassert>

#include "platform/text_pango.h"
#include "resources/resources.h"

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

void ReleaseSpareMemory() {
    text::ReleaseFontCaches();
    malloc_trim(0);
    ReleaseResourcePages();
}

}  // namespace platform
