#include "front-end-support/memory.h"

#include <algorithm>
#include <iterator>

#include "front-end-support/general.h"
#include "front-end-support/system.h"

namespace {

// Sizes are kept multiples of 8, so every block, also the smallest (a request
// of 0 bytes), keeps the pool aligned.
constexpr unsigned long MaxSmallBlockSize = 62;
constexpr unsigned long PoolSize = 10240;
constexpr int MaxLargeChain = 24;

struct free_block {
    free_block* next;
    unsigned long size;  // large blocks only
};

free_block* SmallChain[MaxSmallBlockSize + 1];
free_block* LargeChain[MaxLargeChain + 1];
char* PoolFreePtr = nullptr;
char* PoolEndPtr = nullptr;

unsigned long aligned(unsigned long size)
{
    size = (size + yyMaxAlign - 1) & yyAlignMasks[yyMaxAlign];
    return std::max<unsigned long>(size, yyMaxAlign);
}

int chain_of(unsigned long size) { return std::min(Log2(size), MaxLargeChain); }

// Cuts `size` bytes from the pool, taking a new chunk when the pool has fewer.
void* from_pool(unsigned long size)
{
    if (static_cast<unsigned long>(PoolEndPtr - PoolFreePtr) < size) {
        if (PoolEndPtr - PoolFreePtr >= static_cast<long>(yyMaxAlign))
            Free(static_cast<unsigned long>(PoolEndPtr - PoolFreePtr), PoolFreePtr);
        PoolFreePtr = static_cast<char*>(Alloc(PoolSize));
        if (!PoolFreePtr) {
            PoolEndPtr = nullptr;
            return nullptr;
        }
        PoolEndPtr = PoolFreePtr + PoolSize;
    }
    char* block = PoolFreePtr;
    PoolFreePtr += size;
    return block;
}

// The block of exactly `size` bytes in its list, else the smallest larger one
// there (the first among equals), else the first of the next non-empty list.
free_block* take_large(unsigned long size)
{
    int i = chain_of(size);
    free_block** best = nullptr;
    for (free_block** b = &LargeChain[i]; *b; b = &(*b)->next) {
        if ((*b)->size == size) {
            best = b;
            break;
        }
        if ((*b)->size > size && (!best || (*b)->size < (*best)->size)) best = b;
    }
    for (int j = i + 1; !best && j <= MaxLargeChain; ++j)
        if (LargeChain[j]) best = &LargeChain[j];
    if (!best) return nullptr;
    free_block* block = *best;
    *best = block->next;
    return block;
}

}

unsigned long MemoryUsed = 0;

void* Alloc(unsigned long size)
{
    // Raised to a multiple of 8, a size this large would wrap round to a small one.
    if (size > ~0UL - yyMaxAlign) return nullptr;
    size = aligned(size);
    if (size <= MaxSmallBlockSize) {
        if (free_block* block = SmallChain[size]) {
            SmallChain[size] = block->next;
            return block;
        }
        return from_pool(size);
    }
    if (free_block* block = take_large(size)) {
        if (block->size > size) Free(block->size - size, reinterpret_cast<char*>(block) + size);
        return block;
    }
    if (size < PoolSize) return from_pool(size);
    void* block = SysAlloc(size);
    if (block) MemoryUsed += size;
    return block;
}

void Free(unsigned long size, void* block)
{
    size = aligned(size);
    auto* b = static_cast<free_block*>(block);
    if (size <= MaxSmallBlockSize) {
        b->next = SmallChain[size];
        SmallChain[size] = b;
    } else {
        b->size = size;
        b->next = LargeChain[chain_of(size)];
        LargeChain[chain_of(size)] = b;
    }
}

void InitMemory()
{
    std::fill(std::begin(SmallChain), std::end(SmallChain), nullptr);
    std::fill(std::begin(LargeChain), std::end(LargeChain), nullptr);
    PoolFreePtr = PoolEndPtr = nullptr;
    MemoryUsed = 0;
}
