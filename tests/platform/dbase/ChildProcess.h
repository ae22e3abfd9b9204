#pragma once

// Other processes on the same files, for the tests of locks, shared appends
// and processes killed halfway: a forked child runs a body and leaves with
// its exit code, without running anything of the parent's afterwards.

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dbftest {

// The exit code of a child whose body threw.
inline constexpr int childThrew = 99;

// Runs `body` (returning an exit code) in a forked child; the parent goes on
// at once and later collects the code with exitCodeOf.
template <typename Body>
pid_t startChild(Body body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int code = childThrew;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    return child;
}

// Waits for the child; its exit code, or -1 when a signal ended it.
inline int exitCodeOf(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `body` in a child process and returns its exit code.
template <typename Body>
int inChild(Body body)
{
    return exitCodeOf(startChild(body));
}

// A pipe a child reports on while it keeps running (holding a lock, say)
// and the parent waits at; made before the child is started.
class ChildSignal {
public:
    ChildSignal()
    {
        if (::pipe(m_fds) != 0)
            m_fds[0] = m_fds[1] = -1;
    }
    ~ChildSignal()
    {
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }
    ChildSignal(const ChildSignal&) = delete;
    ChildSignal& operator=(const ChildSignal&) = delete;

    void send(char c) { (void)!::write(m_fds[1], &c, 1); }
    // The character sent; 0 when the pipe failed.
    char wait()
    {
        char c = 0;
        return ::read(m_fds[0], &c, 1) == 1 ? c : 0;
    }

private:
    int m_fds[2];
};

} // namespace dbftest
