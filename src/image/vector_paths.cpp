// The one place that reads VANTOLA_SCALAR and asks the processor for AVX2.
#include "image/vector_paths.h"

#include <cstdlib>
#include <cstring>

namespace vantola {

namespace {

bool processorHasAvx2() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

bool scalarForced() {
    const char* value = std::getenv("VANTOLA_SCALAR");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

bool& vectorPaths() {
    static bool chosen = processorHasAvx2() && !scalarForced();
    return chosen;
}

} // namespace

bool useVectorPaths() {
    return vectorPaths();
}

bool chooseVectorPaths(bool wanted) {
    vectorPaths() = wanted && processorHasAvx2();
    return vectorPaths();
}

} // namespace vantola
