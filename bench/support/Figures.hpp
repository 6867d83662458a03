#pragma once

#include <string>

namespace joywright::bench {

// Records one named figure; the benchmark main prints every recorded figure after all
// benchmarks ran, as "FIGURE <name> <value> <unit>". A later record of the same name replaces
// the earlier one.
void reportFigure(const std::string& name, double value, const std::string& unit);

// Heap allocations made by this thread so far (counted by the bench main's operator new).
long long allocationCount();

}  // namespace joywright::bench
