#include "support/failing_allocation.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "front-end-support/system.h"

namespace {

// Per thread, so that no other thread's allocation takes the failure meant for the test.
thread_local std::size_t allocations_left = 0;  // up to the one that fails; 0 when disarmed
thread_local std::size_t allocations_made = 0;  // since armed
thread_local bool failed = false;
thread_local bool system_refused = false;
std::atomic<long> live_blocks{0};

void* counted(void* block) noexcept
{
    if (block) live_blocks.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void release(void* block) noexcept
{
    if (!block) return;
    live_blocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

bool refused() noexcept
{
    ++allocations_made;
    if (allocations_left == 0 || --allocations_left > 0) return false;
    failed = true;
    return true;
}

void* block_or_null(std::size_t size) noexcept { return refused() ? nullptr : std::malloc(size == 0 ? 1 : size); }

void* aligned_block_or_null(std::size_t size, std::align_val_t alignment) noexcept
{
    void* block = nullptr;
    if (refused() || ::posix_memalign(&block, static_cast<std::size_t>(alignment), size == 0 ? 1 : size) != 0)
        return nullptr;
    return block;
}

void* block(std::size_t size)
{
    if (void* b = counted(block_or_null(size))) return b;
    throw std::bad_alloc();
}

void* aligned_block(std::size_t size, std::align_val_t alignment)
{
    if (void* b = counted(aligned_block_or_null(size, alignment))) return b;
    throw std::bad_alloc();
}

[[maybe_unused]] const bool installed = [] {
    SysAlloc_source = [](unsigned long size) { return system_refused ? nullptr : block_or_null(size); };
    return true;
}();

}

void fail_allocation(std::size_t k)
{
    allocations_left = k;
    allocations_made = 0;
    failed = false;
}

std::size_t allocations_since_armed() { return allocations_made; }

bool allocation_failed() { return failed; }

void refuse_system_allocations(bool refuse) { system_refused = refuse; }

std::size_t heap_in_use() { return mallinfo2().uordblks; }

long blocks_in_use() { return live_blocks.load(std::memory_order_relaxed); }

void* operator new(std::size_t size) { return block(size); }
void* operator new[](std::size_t size) { return block(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(block_or_null(size)); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(block_or_null(size)); }
void* operator new(std::size_t size, std::align_val_t alignment) { return aligned_block(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return aligned_block(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return counted(aligned_block_or_null(size, alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return counted(aligned_block_or_null(size, alignment));
}

void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete(void* block, std::align_val_t) noexcept { release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { release(block); }
