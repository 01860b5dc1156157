#pragma once

// The few loops that work through whole rows or batches of numbers are built twice: for
// processors with 256-bit vectors (AVX2) and for the plain x86-64 the package targets. The
// loader picks one when the program starts; everything the function calls is built into it.
// Other compilers (clang builds the fuzzers) and other processors get the plain version.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VISTREL_WIDE_VECTORS __attribute__((flatten, target_clones("avx2", "default")))
// A loop written out by hand for AVX2 is a second definition of its plain function, marked
// VISTREL_AVX2_PATH beside the plain one's VISTREL_PLAIN_PATH; the loader picks between them
// in the same way.
#define VISTREL_AVX2_PATHS 1
#define VISTREL_PLAIN_PATH __attribute__((target("default")))
#define VISTREL_AVX2_PATH __attribute__((target("avx2")))
#else
#define VISTREL_WIDE_VECTORS
#define VISTREL_AVX2_PATHS 0
#define VISTREL_PLAIN_PATH
#endif
