// The threads the program starts with, checked in a run of its own start-up:
// the test program has set them up itself for its tests.
#include <malloc.h>
#include <pthread.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <string_view>
#include <thread>

#include "support/child_process.h"
#include "support/start_up_check.h"

namespace {

std::size_t default_stack_size()
{
    pthread_attr_t attributes;
    std::size_t size = 0;
    if (::pthread_getattr_default_np(&attributes) != 0) return 0;
    ::pthread_attr_getstacksize(&attributes, &size);
    ::pthread_attr_destroy(&attributes);
    return size;
}

// The arenas of the heap, as the allocator lists them.
int heap_count()
{
    char* info = nullptr;
    std::size_t size = 0;
    FILE* stream = ::open_memstream(&info, &size);
    if (!stream) return -1;
    ::malloc_info(0, stream);
    std::fclose(stream);
    const std::string_view text(info, size);
    int heaps = 0;
    for (auto at = text.find("<heap nr="); at != text.npos; at = text.find("<heap nr=", at + 1)) ++heaps;
    std::free(info);
    return heaps;
}

}

int check_start_up(const char*)
{
    bool holds = true;
    const auto expect = [&](bool fact, const char* what) {
        if (!fact) std::cerr << "not so after start-up: " << what << '\n';
        holds = holds && fact;
    };
    expect(default_stack_size() == std::size_t(1) << 20, "threads start with 1 MB stacks");
    const QThreadPool* pool = QThreadPool::globalInstance();
    expect(pool->maxThreadCount() == 1 && pool->expiryTimeout() == -1, "the painting pool keeps one thread");
    // On X11 the toolkit reads its events in a thread of its own.
    if (QGuiApplication::platformName() == "offscreen") {
        const auto threads = std::distance(std::filesystem::directory_iterator("/proc/self/task"), {});
        expect(threads == 1, "one thread at rest");
    }
    std::thread([] {
        void* volatile block = std::malloc(1);
        std::free(block);
    }).join();
    expect(heap_count() == 1, "a new thread allocates from the one heap");
    std::cerr << std::flush;
    ::_exit(holds ? 0 : 1);
}

// The program prepares the toolkit's threads as it starts, before the toolkit:
// small stacks, one heap for all, one painting thread kept, none started yet.
TEST(Startup, PreparesTheToolkitsThreads)
{
    EXPECT_EQ(exit_status_of_fresh_program(start_up_check), 0);
}
