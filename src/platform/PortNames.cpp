#include "platform/PortNames.h"

#include <QSerialPortInfo>

namespace PortNames {

QString deviceForNumber(quint16 number)
{
    if (number == 0)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QStringList availablePorts()
{
    QStringList out;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        out << info.systemLocation();
    out.sort();
    return out;
}

bool isPath(const QString& text)
{
    return text.startsWith(QLatin1Char('/'));
}

} // namespace PortNames
