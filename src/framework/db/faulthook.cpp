// The hook the data layer consults; empty unless a test installed one.
#include "faulthook.h"

#include <atomic>

namespace {

std::atomic<FaultHook::Check> installed{nullptr};

}

namespace FaultHook {

void install(Check check)
{
    installed.store(check, std::memory_order_relaxed);
}

void check(Point point)
{
    if (const Check hook = installed.load(std::memory_order_relaxed))
        hook(point);
}

}
