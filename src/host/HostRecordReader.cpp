#include "host/HostRecordReader.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <utility>

qsizetype HostRecordReader::wanted() const
{
    if (m_complete || m_broken)
        return 0;
    if (m_headerFill < CopyDataRecord::kHeaderSize)
        return CopyDataRecord::kHeaderSize - m_headerFill;
    return qsizetype(m_size) - m_record.data.size();
}

qsizetype HostRecordReader::feed(QByteArrayView bytes)
{
    qsizetype taken = 0;
    while (taken < bytes.size() && !m_complete && !m_broken) {
        const qsizetype n = std::min(wanted(), bytes.size() - taken);
        const char* from = bytes.data() + taken;
        taken += n;
        if (m_headerFill < CopyDataRecord::kHeaderSize) {
            std::memcpy(m_header + m_headerFill, from, size_t(n));
            m_headerFill += n;
            if (m_headerFill < CopyDataRecord::kHeaderSize)
                break;
            m_record.dwData = qFromLittleEndian<quint32>(m_header);
            m_size = qFromLittleEndian<quint32>(m_header + 4);
            if (m_size > CopyDataRecord::kMaxDataSize) {
                m_broken = true;
                break;
            }
        } else {
            m_record.data.append(from, n);
        }
        // A header announcing an empty block completes its record by itself.
        m_complete = m_headerFill == CopyDataRecord::kHeaderSize &&
                     m_record.data.size() == qsizetype(m_size);
    }
    return taken;
}

CopyDataRecord HostRecordReader::takeRecord()
{
    CopyDataRecord record = std::exchange(m_record, {});
    m_headerFill = 0;
    m_size = 0;
    m_complete = false;
    return record;
}
