#pragma once

#include "host/CopyDataRecord.h"

#include <QByteArrayView>

// Cuts a byte stream into copy-data records, whatever pieces the bytes arrive in. It never
// holds more than one record: feed() takes bytes only up to the end of the record being read,
// and once that record is complete it takes nothing until the record is taken. A header that
// announces more than CopyDataRecord::kMaxDataSize breaks the stream for good; the connection
// it came on is to be closed.
class HostRecordReader
{
public:
    // Returns how many of the bytes were taken (0 while a complete record waits or the
    // stream is broken).
    qsizetype feed(QByteArrayView bytes);

    // How many bytes would complete the header or block being read; 0 while a complete
    // record waits or the stream is broken. Reading no more than this from a socket keeps
    // every byte in the socket's own bounded buffer until it is wanted.
    qsizetype wanted() const;

    bool hasRecord() const { return m_complete; }
    CopyDataRecord takeRecord();

    bool isBroken() const { return m_broken; }
    // The bytes held for the record being read, header included.
    qsizetype bufferedBytes() const { return m_headerFill + m_record.data.size(); }
    // The size the record being read announced, once its header is complete.
    quint32 announcedSize() const { return m_size; }

private:
    char m_header[CopyDataRecord::kHeaderSize] = {};
    qsizetype m_headerFill = 0;
    quint32 m_size = 0;
    CopyDataRecord m_record;
    bool m_complete = false;
    bool m_broken = false;
};
