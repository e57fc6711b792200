// Limits on the address space, so that a test can run out of memory, in a
// process of its own (EXPECT_IN_FRESH_PROCESS). The sanitizer's own
// reservations leave no room for a limit: such tests skip where
// address_sanitizer is true.
#pragma once

#include <sys/resource.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

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

// Expects work to return true in a fresh run of the test program, which runs
// the test again up to here (gtest's threadsafe death-test style). A forked
// child would inherit the heap the tests before left, so that which allocation
// runs out, or what a limit leaves room for, would depend on them.
#define EXPECT_IN_FRESH_PROCESS(...)                                                     \
    do {                                                                                 \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                  \
        EXPECT_EXIT(std::exit((__VA_ARGS__)() ? 0 : 1), testing::ExitedWithCode(0), ""); \
    } while (false)

// Takes every block malloc still gives, down to the smallest, chained through
// the blocks themselves; the chain, never freed (the process is a child).
inline void* take_every_block()
{
    void* taken = nullptr;
    for (std::size_t size = 1 << 16; size >= sizeof taken; size /= 2)
        while (void* block = std::malloc(size)) {
            *static_cast<void**>(block) = taken;
            taken = block;
        }
    return taken;
}
