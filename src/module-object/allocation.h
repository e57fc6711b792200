// The one allocator of the system's own blocks: a request that cannot be met
// fails with "out of memory" instead of a standard exception or a crash. A
// request larger than the machine's physical memory fails before it is made, so
// that no over-committed block is ever touched into a killed process.
#pragma once

#include <cstddef>

// At least one byte; free with release_block.
void* allocate_or_fail(std::size_t bytes);
// Room for `count` elements of `size` bytes each; fails too when the product
// leaves the address space.
void* allocate_elements_or_fail(std::size_t count, std::size_t size);
void release_block(void* block) noexcept;

// The machine's physical memory in bytes, or the largest size when it is unknown.
std::size_t physical_memory_bytes();
