#include "platform/InstanceGuard.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceGuard::~InstanceGuard()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

InstanceGuard::Result InstanceGuard::tryAcquire(const QString& runtimeDir)
{
    if (m_fd >= 0)
        return Result::Acquired;
    const QByteArray path = QFile::encodeName(runtimeDir + QStringLiteral("/instance.lock"));
    // O_CLOEXEC: a child process (a started helper) must not inherit the lock.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("cannot open %1: %2")
                      .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(errno)));
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return Result::HeldElsewhere;
        m_error = QStringLiteral("cannot lock %1: %2")
                      .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(err)));
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}
