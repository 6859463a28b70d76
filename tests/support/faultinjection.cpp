// The fault-injection seam: counters per point and the armed failure.
#include "faultinjection.h"
#include "dberror.h"

#include <array>
#include <atomic>

namespace {

struct State {
    std::atomic<bool> counting{false};
    std::array<std::atomic<int>, 3> calls{};
    std::array<std::atomic<int>, 3> failAt{};   // 0: this point does not fail
    QString reason;
    long gdsCode = 0;
};

State& state()
{
    static State s;
    return s;
}

void reset()
{
    for (auto& c : state().calls)
        c = 0;
    for (auto& f : state().failAt)
        f = 0;
}

}

namespace FaultInjection {

void failAt(Point point, int nth, const QString& reason, long gdsCode)
{
    FaultHook::install(check);
    reset();
    state().reason = reason;
    state().gdsCode = gdsCode;
    state().failAt[size_t(point)] = nth;
    state().counting = true;
}

void disarm()
{
    FaultHook::install(check);
    reset();
    state().counting = true;
}

int calls(Point point)
{
    return state().calls[size_t(point)];
}

void check(Point point)
{
    State& s = state();
    if (!s.counting.load(std::memory_order_relaxed))
        return;
    const size_t index = size_t(point);
    const int call = ++s.calls[index];
    if (s.failAt[index] != 0 && call == s.failAt[index]) {
        s.failAt[index] = 0;
        if (s.gdsCode == 0)
            throw DbError(s.reason);
        throw DbError(s.reason, s.gdsCode, {}, {{s.gdsCode, {}}});
    }
}

}
