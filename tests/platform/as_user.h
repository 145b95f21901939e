// Runs a check with an ordinary user's rights. Root writes into read-only
// folders, so a test of what a user is refused would prove nothing in a run
// as root (CI's): there the check runs in a child process that has become
// "nobody". Otherwise it runs in a child as the caller.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

constexpr uid_t kNobody = 65534;

inline bool RunsAsRoot() {
    return ::geteuid() == 0;
}

// The check's two numbers, or nothing when the child could not drop its
// rights or did not report.
using tUserReply = std::array<int, 2>;
inline std::optional<tUserReply> AsOrdinaryUser(const std::function<tUserReply()>& check) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        if (RunsAsRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(2);
        const tUserReply reply = check();
        const bool sent = ::write(pipeFds[1], reply.data(), sizeof reply) == sizeof reply;
        ::_exit(sent ? 0 : 3);
    }
    ::close(pipeFds[1]);
    tUserReply reply{};
    const bool got = ::read(pipeFds[0], reply.data(), sizeof reply) == sizeof reply;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return reply;
}
