#include "front-end-support/general.h"

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
