// Limits on the address space, so that a test can run out of memory, in a
// fresh process of its own (EXPECT_IN_FRESH_PROCESS). The sanitizer's own
// reservations leave no room for a limit: such tests skip where
// address_sanitizer is true.
#pragma once

#include <sys/resource.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/child_process.h"

#if defined(__SANITIZE_ADDRESS__)
constexpr bool address_sanitizer = true;
#elif defined(__has_feature)
constexpr bool address_sanitizer = __has_feature(address_sanitizer);
#else
constexpr bool address_sanitizer = false;
#endif

// Lets the process take `bytes` more address space, no more.
inline void limit_growth(std::size_t bytes)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key && key != "VmSize:") status.ignore(1 << 20, '\n');
    std::size_t kilobytes = 0;
    status >> kilobytes;
    const rlimit limit{kilobytes * 1024 + bytes, kilobytes * 1024 + bytes};
    ::setrlimit(RLIMIT_AS, &limit);
}

// The chain of blocks take_every_block took, never freed (the process is a
// child); kept where a compiler must store it, so that it drops none of them.
inline void* volatile taken_blocks = nullptr;

// Takes every block malloc still gives, down to the smallest, chained through
// the blocks themselves. Small free blocks are kept per size and never split,
// so every size up to a kilobyte is asked for.
inline void take_every_block()
{
    void* taken = nullptr;
    for (std::size_t size = 1 << 16; size >= sizeof taken; size = size > 1024 ? size / 2 : size - 8)
        while (void* block = std::malloc(size)) {
            *static_cast<void**>(block) = taken;
            taken = block;
        }
    taken_blocks = taken;
}
