#include "front-end-support/general.h"

const unsigned long yyAlignMasks[yyMaxAlign + 1] = {0, ~0UL, ~1UL, 0, ~3UL, 0, 0, 0, ~7UL};

int Log2(unsigned long x)
{
    int k = 0;
    while (x > 1) {
        x >>= 1;
        ++k;
    }
    return k;
}

unsigned long Exp2(int k) { return 1UL << k; }
