#include "front-end-support/dynarray.h"

#include <cstdio>
#include <limits>

#include "front-end-support/general.h"
#include "front-end-support/memory.h"

unsigned long AlignedSize(unsigned long size)
{
    if (size >= yyMaxAlign) return (size + yyMaxAlign - 1) / yyMaxAlign * yyMaxAlign;
    unsigned long aligned = 1;
    while (aligned < size) aligned *= 2;
    return aligned;
}

unsigned long RoundedCount(unsigned long count, unsigned long size)
{
    unsigned long aligned = AlignedSize(size);
    if (aligned % 2 == 1) return (count + 3) / 4 * 4;
    if (aligned % 4 == 2) return (count + 1) / 2 * 2;
    return count;
}

void* yyArrayBlock(unsigned long count, unsigned long size, const char* who)
{
    void* block = nullptr;
    if (size == 0 || count <= std::numeric_limits<unsigned long>::max() / size) block = Alloc(count * size);
    if (!block) std::fprintf(stderr, "%s: out of memory\n", who);
    return block;
}

void yyReleaseBlock(void* block, unsigned long count, unsigned long size) { Free(count * size, block); }
