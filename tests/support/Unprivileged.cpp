#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/MessageLog.h"
#include "core/Messages.h"

ChildRun run_without_privileges(const std::function<bool(Messages&)>& step)
{
    ChildRun run;
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) return run;
    const pid_t child = ::fork();
    if (child < 0) return run;
    if (child == 0) {
        ::close(pipe_ends[0]);
        const unsigned nobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(3);
        MessageLog log;
        Messages channel(log);
        const bool result = step(channel);
        const std::string text = log.out() + log.err();
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(pipe_ends[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += std::size_t(n);
        }
        // No exit handlers: the parent's test framework lives on in this copy.
        ::_exit(result ? 0 : 1);
    }
    ::close(pipe_ends[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0) run.printed.append(buffer, std::size_t(n));
    ::close(pipe_ends[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return run;
    run.ran = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
    run.result = run.ran && WEXITSTATUS(status) == 0;
    return run;
}
