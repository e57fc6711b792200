// Runs work in a child process whose files may grow to `limit` bytes at most,
// so that a write fails part-way as on a full disk; whether work returned
// true there.
#pragma once

#include <csignal>
#include <sys/resource.h>

#include "support/child_process.h"

template <class Work>
bool under_file_size_limit(rlim_t limit, Work&& work)
{
    return in_child_process([&] {
        // As in a program that leaves the signal alone: a write beyond the limit
        // would end the process, unless the code under test turns the signal away.
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit files;
        ::getrlimit(RLIMIT_FSIZE, &files);
        files.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &files);
        return work();
    });
}
