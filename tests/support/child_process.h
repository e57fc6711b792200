// Runs work in a child process, which ends with _exit (no handlers of the
// parent run twice); whether work returned true there. Expectations checked
// in the child are lost: work says what it found through its result.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>

template <class Work>
bool in_child_process(Work&& work)
{
    const pid_t child = ::fork();
    if (child == 0) ::_exit(work() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
