#pragma once

// Small fixed-width vectors (GCC and Clang vector extensions) for the loops over the page grid
// that the compiler does not vectorise by itself at our optimisation level. They compile to
// SSE2 on x86-64, and to plain scalar code where the target has no such registers. Loads and
// stores go through memcpy, so no alignment is assumed.

#include <QtGlobal>
#include <cstring>

namespace vantola::lanes {

using Int4 = qint32 __attribute__((vector_size(16)));
using UInt4 = quint32 __attribute__((vector_size(16)));
using Int2 = qint32 __attribute__((vector_size(8)));
using Double2 = double __attribute__((vector_size(16)));

template <typename Vector, typename Element>
inline Vector load(const Element* source) {
    Vector vector;
    std::memcpy(&vector, source, sizeof(Vector));
    return vector;
}

template <typename Vector, typename Element>
inline void store(Element* target, const Vector& vector) {
    std::memcpy(target, &vector, sizeof(Vector));
}

} // namespace vantola::lanes
