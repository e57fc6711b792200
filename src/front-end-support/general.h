// Powers of two and alignment for sizing the front end's blocks.
#pragma once

#include <cstddef>

constexpr std::size_t yyMaxAlign = 8;

// For an alignment a of 1, 2, 4 or 8, the mask that clears the low bits of a
// size (all ones, all but bit 0, all but bits 0-1, all but bits 0-2).
extern const unsigned long yyAlignMasks[yyMaxAlign + 1];

// The largest k with 2 to the k not above x; 0 for x of 0 or 1.
int Log2(unsigned long x);
// 2 to the k, k from 0 to 63.
unsigned long Exp2(int k);
