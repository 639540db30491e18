#pragma once

// The run-time choice between the encoder's scalar code and its vector kernels: the vector
// kernels run when the processor has AVX2 and the environment variable VANTOLA_SCALAR is not 1.
// Both paths give the same bits; the variable lets a test run (or CI) take the scalar one.

namespace vantola::jpeg {

// True when the AVX2 kernels are to be used.
bool useVectorPaths();

// Forces the scalar paths (false) or the vector paths where the processor has them (true), for
// tests that compare the two; returns whether the vector paths are then in use.
bool chooseVectorPaths(bool wanted);

} // namespace vantola::jpeg
