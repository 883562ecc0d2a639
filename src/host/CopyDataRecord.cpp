#include "host/CopyDataRecord.h"

#include <QtEndian>

QByteArray CopyDataRecord::encode(quint32 dwData, QByteArrayView data)
{
    QByteArray out(kHeaderSize + data.size(), Qt::Uninitialized);
    qToLittleEndian<quint32>(dwData, out.data());
    qToLittleEndian<quint32>(quint32(data.size()), out.data() + 4);
    if (!data.isEmpty())
        memcpy(out.data() + kHeaderSize, data.data(), size_t(data.size()));
    return out;
}

std::optional<quint32> CopyDataRecord::registrationId() const
{
    if (dwData != kRegistration || data.size() < 4)
        return std::nullopt;
    return qFromLittleEndian<quint32>(data.constData());
}
