#include "ReportChannel.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Beyond this nobody is reading; the oldest lines go first.
constexpr std::size_t kPendingLimit = 1024 * 1024;

} // namespace

ReportChannel::ReportChannel() : m_fd(STDOUT_FILENO)
{
    // A pipe gets a descriptor of our own in non-blocking mode: setting O_NONBLOCK on the
    // inherited one would change it for the parent too. Files and terminals do not fill up
    // for long and keep the plain descriptor (a reopened file would lose its append offset).
    struct stat info = {};
    if (::fstat(STDOUT_FILENO, &info) == 0 && S_ISFIFO(info.st_mode)) {
        const int fd = ::open("/proc/self/fd/1", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_fd = fd;
            m_ownFd = true;
        }
    }
}

ReportChannel::~ReportChannel()
{
    if (m_ownFd)
        ::close(m_fd);
}

void ReportChannel::say(const std::string& line)
{
    m_pending += line;
    m_pending += '\n';
    if (m_pending.size() > kPendingLimit) {
        const std::size_t cut = m_pending.find('\n', m_pending.size() - kPendingLimit);
        m_pending.erase(0, cut == std::string::npos ? m_pending.size() : cut + 1);
    }
    flush();
}

void ReportChannel::flush()
{
    while (!m_pending.empty()) {
        const ssize_t n = ::write(m_fd, m_pending.data(), m_pending.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            // EAGAIN: later. Anything else (the reader is gone): nobody will see it.
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                m_pending.clear();
            return;
        }
        m_pending.erase(0, static_cast<std::size_t>(n));
    }
}

void ReportChannel::drain(std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    flush();
    while (!m_pending.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        pollfd fd = {m_fd, POLLOUT, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) > 0 && (fd.revents & POLLOUT) == 0)
            return;
        flush();
    }
}
