#pragma once

// The few loops that work through whole rows or batches of numbers are built twice: for
// processors with 256-bit vectors (AVX2) and for the plain x86-64 the package targets. The
// loader picks one when the program starts; everything the function calls is built into it.
// Other compilers (clang builds the fuzzers) get the plain version.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VISTREL_WIDE_VECTORS __attribute__((flatten, target_clones("avx2", "default")))
#else
#define VISTREL_WIDE_VECTORS
#endif
