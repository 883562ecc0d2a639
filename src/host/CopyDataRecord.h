#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// One copy-data record as it travels between the program and a host: dwData (u32
// little-endian), cbData (u32 little-endian), then cbData bytes. The same shape serves the
// host's registration, the export of one channel and the host's answer to it.
struct CopyDataRecord
{
    // dwData of a registration: the block's first 4 bytes are the host's 32-bit id.
    static constexpr quint32 kRegistration = 64;
    // A record whose cbData is larger than this ends the connection it came on.
    static constexpr quint32 kMaxDataSize = 64 * 1024;
    static constexpr qsizetype kHeaderSize = 8;

    quint32 dwData = 0;
    QByteArray data;

    static QByteArray encode(quint32 dwData, QByteArrayView data);
    QByteArray encoded() const { return encode(dwData, data); }

    // The id a registration carries; nothing for any other dwData or a block under 4 bytes.
    std::optional<quint32> registrationId() const;
};
