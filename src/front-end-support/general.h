// Powers of two for sizing the front end's buffers.
#pragma once

#include <cstddef>

constexpr std::size_t yyMaxAlign = 8;

// The largest k with 2 to the k not above x; 0 for x of 0 or 1.
int Log2(unsigned long x);
// 2 to the k, k from 0 to 63.
unsigned long Exp2(int k);
