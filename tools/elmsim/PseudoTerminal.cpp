#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string systemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

bool PseudoTerminal::open(std::string& error)
{
    close();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    const auto fail = [&](const char* what) {
        error = systemError(what);
        close();
        return false;
    };
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    // Never block on a client that does not read; the poll loop waits instead.
    if (::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return fail("fcntl O_NONBLOCK");
    const char* name = ::ptsname(m_master);
    if (name == nullptr)
        return fail("ptsname");
    m_slavePath = name;
    m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");

    // Raw, so CR, control bytes and 0x80-0xFF pass unchanged and nothing is echoed by the
    // kernel. 38400 is what clients of such adapters usually ask for; a pty ignores it.
    termios tio{};
    if (::tcgetattr(m_slave, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    if (::tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");

    // Our own open above is not reported: the watch starts after it.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, m_slavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }

    if (!m_linkPath.empty() && !pointLink(error)) {
        close();
        return false;
    }
    return true;
}

void PseudoTerminal::close()
{
    if (m_master >= 0)
        removeLink();
    if (m_watch >= 0)
        ::close(m_watch);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_watch = -1;
    m_slave = -1;
    m_master = -1;
}

bool PseudoTerminal::clientCameOrWent()
{
    if (m_watch < 0)
        return false;
    bool seen = false;
    alignas(inotify_event) char buffer[4096];
    while (::read(m_watch, buffer, sizeof buffer) > 0)
        seen = true;
    return seen;
}

void PseudoTerminal::discardUnread()
{
    if (m_slave >= 0)
        ::tcflush(m_slave, TCIFLUSH);
}

bool PseudoTerminal::pointLink(std::string& error)
{
    // A rename over the old name, so a client never finds the link missing or half-made.
    const std::string temporary = m_linkPath + ".new." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(m_slavePath.c_str(), temporary.c_str()) != 0) {
        error = systemError(("symlink " + temporary).c_str());
        return false;
    }
    if (::rename(temporary.c_str(), m_linkPath.c_str()) != 0) {
        error = systemError(("rename to " + m_linkPath).c_str());
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void PseudoTerminal::removeLink()
{
    if (m_linkPath.empty())
        return;
    // Leave the name alone if someone else has taken it over meanwhile.
    char target[4096];
    const ssize_t length = ::readlink(m_linkPath.c_str(), target, sizeof target - 1);
    if (length >= 0 && std::string(target, static_cast<std::size_t>(length)) == m_slavePath)
        ::unlink(m_linkPath.c_str());
}
