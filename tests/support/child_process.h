// Runs work in a child process, which ends with _exit (no handlers of the
// parent run twice), or in a fresh run of the test program; whether work
// returned true there. Expectations checked in the child do not count: work
// says what it found through its result.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>
#include <spawn.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

template <class Work>
bool in_child_process(Work&& work)
{
    const pid_t child = ::fork();
    if (child == 0) ::_exit(work() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs the test program afresh with `variable` set in its environment, which
// it answers with something else than its tests; its exit status, or -1
// where it did not exit.
inline int exit_status_of_fresh_program(const char* variable)
{
    std::string setting = std::string(variable) + "=1";
    std::vector<char*> environment{setting.data()};
    for (char** entry = environ; *entry; ++entry) environment.push_back(*entry);
    environment.push_back(nullptr);
    char name[] = "zarn";
    char* argv[] = {name, nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, environment.data()) != 0) return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The unprivileged user ('nobody') that tests running as root become, since
// root may write anything.
constexpr uid_t unprivileged_user = 65534;

// Gives the file to that user when the tests run as root; whether it is now the user's own.
inline bool give_to_unprivileged_user(const char* path)
{
    return ::geteuid() != 0 || ::chown(path, unprivileged_user, unprivileged_user) == 0;
}

// Runs work in a child process as that user when the tests run as root, else as the user running them.
template <class Work>
bool as_unprivileged_user(Work&& work)
{
    return in_child_process([&] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(unprivileged_user) != 0 || ::setuid(unprivileged_user) != 0))
            return false;
        return work();
    });
}

// Expects work to return true in a fresh run of the test program, which runs
// the test again up to here (gtest's threadsafe death-test style). A forked
// child would inherit the heap the tests before left, so that which allocation
// runs out, what a limit leaves room for, or which free block serves a
// request, would depend on them.
#define EXPECT_IN_FRESH_PROCESS(...)                                                     \
    do {                                                                                 \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                  \
        EXPECT_EXIT(std::exit((__VA_ARGS__)() ? 0 : 1), testing::ExitedWithCode(0), ""); \
    } while (false)
