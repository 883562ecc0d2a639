#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// How serial ports are named here. A port is either COMn (a number) or a device path that
// starts with "/". On Linux COMn is /dev/ttyS(n-1); on Windows it is COMn itself.
namespace PortNames {

// The device to open for COMn; empty for n == 0 (no port chosen).
QString deviceForNumber(quint16 number);
// The system's serial devices by path, for the port box.
QStringList availablePorts();
bool isPath(const QString& text);

} // namespace PortNames
