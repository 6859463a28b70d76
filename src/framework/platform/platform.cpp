// The installed Platform: one per process, the desktop one unless something else was installed.
#include "platform.h"

namespace {
std::unique_ptr<Platform>& installed()
{
    static std::unique_ptr<Platform> platform;
    return platform;
}
}

Platform& Platform::instance()
{
    auto& platform = installed();
    if (!platform)
        platform = makeDesktopPlatform();
    return *platform;
}

void Platform::install(std::unique_ptr<Platform> platform)
{
    installed() = std::move(platform);
}
