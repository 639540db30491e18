#pragma once

// The run-time choice between the scalar code and the vector kernels (of the encoder and of the
// cutter's sums): the vector kernels run when the processor has AVX2 and FMA and the environment
// variable VANTOLA_SCALAR is not 1. Both paths give the same bits; the variable lets a test run
// (or CI) take the scalar one.

namespace vantola {

// True when the AVX2 kernels are to be used.
bool useVectorPaths();

// Forces the scalar paths (false) or the vector paths where the processor has them (true), for
// tests that compare the two; returns whether the vector paths are then in use.
bool chooseVectorPaths(bool wanted);

} // namespace vantola
