// The data layer's one test seam: a hook consulted before each statement, fetch and commit.
#pragma once

namespace FaultHook {

enum class Point { Statement, Fetch, Commit };

// A check throws DbError when the call at `point` is to fail. The shipped program installs none, so the
// data layer pays one relaxed atomic load per call; the tests' fault injection installs its own.
using Check = void (*)(Point point);

void install(Check check);
void check(Point point);

}
