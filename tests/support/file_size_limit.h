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
        std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit then fails instead of ending the process
        rlimit files;
        ::getrlimit(RLIMIT_FSIZE, &files);
        files.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &files);
        return work();
    });
}
