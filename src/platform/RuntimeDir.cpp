#include "platform/RuntimeDir.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace RuntimeDir {

QString path()
{
    const QString own = qEnvironmentVariable("TACHORA_RUNTIME_DIR");
    if (!own.isEmpty())
        return own;
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty())
        return xdg + QStringLiteral("/tachora");
    return QStringLiteral("/tmp/tachora-%1").arg(getuid());
}

QString ensure(const QString& dir)
{
    const QByteArray native = QFile::encodeName(dir);
    if (!QDir().mkpath(dir))
        return QStringLiteral("cannot create the runtime directory %1").arg(dir);
    struct stat st{};
    if (lstat(native.constData(), &st) != 0)
        return QStringLiteral("cannot inspect the runtime directory %1: %2")
            .arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return QStringLiteral("the runtime directory %1 is not a directory of this user").arg(dir);
    if ((st.st_mode & 0777) != 0700 && chmod(native.constData(), 0700) != 0)
        return QStringLiteral("cannot make the runtime directory %1 private").arg(dir);
    return {};
}

} // namespace RuntimeDir
