#include "crash/crash_helper_process.h"

#include "crash/text_buffer.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::crash {
namespace {

void closeQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

// Runs in the new process until execve: only system calls.
[[noreturn]] void becomeHelper(const HelperRun& run, int input, int output)
{
    // The handlers and the blocked signals came along from the faulting process; a helper that
    // faults must simply die, not report itself.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGPIPE, SIGALRM})
        ::sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    if (::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0)
        ::_exit(127);
    // Nothing else of the program's may live on in a helper that can outlast it: an inherited
    // instance lock would keep the next start from running.
    if (::syscall(SYS_close_range, 3U, ~0U, 0U) != 0) {
        for (int fd = 3; fd < 65536; ++fd)
            ::close(fd);
    }
    ::execve(run.arguments[0], const_cast<char* const*>(run.arguments), environ);
    ::_exit(127);
}

void writeAll(int fd, const char* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // the helper is gone; its missing reply says so
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

bool readLine(int fd, char* reply, std::size_t capacity)
{
    TextBuffer text(reply, capacity);
    char byte = 0;
    for (;;) {
        const ssize_t got = ::read(fd, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        if (byte == '\n')
            return true;
        text.append(&byte, 1);
    }
}

} // namespace

bool runHelper(const HelperRun& run)
{
    int toHelper[2] = {-1, -1};
    int fromHelper[2] = {-1, -1};
    if (::pipe2(toHelper, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(fromHelper, O_CLOEXEC) != 0) {
        closeQuietly(toHelper[0]);
        closeQuietly(toHelper[1]);
        return false;
    }
    // _Fork, not fork: fork runs the atfork handlers, which take the allocator's locks.
    const pid_t child = ::_Fork();
    if (child == 0)
        becomeHelper(run, toHelper[0], fromHelper[1]);
    closeQuietly(toHelper[0]);
    closeQuietly(fromHelper[1]);
    bool replied = false;
    if (child > 0) {
        if (run.inputLength > 0)
            writeAll(toHelper[1], run.input, run.inputLength);
        closeQuietly(toHelper[1]);
        toHelper[1] = -1;
        replied = readLine(fromHelper[0], run.reply, run.replyCapacity);
        if (run.waitForExit) {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    closeQuietly(toHelper[1]);
    closeQuietly(fromHelper[0]);
    return replied;
}

} // namespace velmora::crash
