// A pooled allocator for the front end: small blocks are cut from pool chunks
// of 10240 bytes and kept on exact-size free lists, larger ones on free lists
// by the power of two of their size, taken by best fit. Memory given back is
// reused, never merged and never returned to the system.
#pragma once

// The bytes taken from the system heap.
extern unsigned long MemoryUsed;

// A block of at least `size` bytes, aligned to 8; null when the heap is exhausted.
void* Alloc(unsigned long size);
// Gives the block back; `size` must be the one it was allocated with.
void Free(unsigned long size, void* block);
// Empties all free lists and the pool and sets MemoryUsed to 0.
void InitMemory();
