// The record reader of the host socket under arbitrary bytes in arbitrary pieces: it must cut
// exactly the records a whole-stream reading finds, never hold more than one bounded record
// and stop for good at a header that announces too much.
#include "host/CopyDataRecord.h"
#include "host/HostRecordReader.h"

#include <QByteArray>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype kMaxHeld = CopyDataRecord::kHeaderSize + CopyDataRecord::kMaxDataSize;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_host_records: %s\n", what);
    std::abort();
}

// Either the raw input, or (first byte odd) records built from it, with small sizes, so that
// inputs without a fuzzer's guidance reach the record boundaries too.
QByteArray streamFrom(const uint8_t* data, size_t size)
{
    if ((data[0] & 1) == 0)
        return QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    QByteArray stream;
    size_t i = 2;
    while (i + 2 <= size) {
        const uint8_t dwData = data[i++];
        const uint8_t length = data[i++];
        if (length == 0xFF) { // a header announcing one byte too many
            QByteArray header(CopyDataRecord::kHeaderSize, '\0');
            qToLittleEndian<quint32>(dwData, header.data());
            qToLittleEndian<quint32>(CopyDataRecord::kMaxDataSize + 1, header.data() + 4);
            stream += header;
            continue;
        }
        const size_t n = std::min<size_t>(length, size - i);
        stream += CopyDataRecord::encode(dwData == 0x40 ? CopyDataRecord::kRegistration : dwData,
                                         QByteArrayView(data + i, qsizetype(n)));
        i += n;
    }
    return stream;
}

struct Reading
{
    std::vector<CopyDataRecord> records;
    bool broken = false;
    qsizetype rest = 0; // bytes of an unfinished record at the end
};

// The whole stream at once: the reference.
Reading readWhole(const QByteArray& stream)
{
    Reading r;
    qsizetype pos = 0;
    while (stream.size() - pos >= CopyDataRecord::kHeaderSize) {
        const quint32 dwData = qFromLittleEndian<quint32>(stream.constData() + pos);
        const quint32 size = qFromLittleEndian<quint32>(stream.constData() + pos + 4);
        if (size > CopyDataRecord::kMaxDataSize) {
            r.broken = true;
            return r;
        }
        if (stream.size() - pos - CopyDataRecord::kHeaderSize < qsizetype(size))
            break;
        r.records.push_back({dwData, stream.mid(pos + CopyDataRecord::kHeaderSize, size)});
        pos += CopyDataRecord::kHeaderSize + size;
    }
    r.rest = stream.size() - pos;
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray stream = streamFrom(data, size);
    const Reading expected = readWhole(stream);

    Reading got;
    HostRecordReader reader;
    quint32 state = data[1] * 2654435761u + 1;
    qsizetype pos = 0;
    while (pos < stream.size() && !reader.isBroken()) {
        state = state * 1103515245u + 12345u;
        const qsizetype piece = std::min<qsizetype>(1 + (state >> 16) % 97, stream.size() - pos);
        QByteArrayView bytes(stream.constData() + pos, piece);
        pos += piece;
        while (!bytes.isEmpty()) {
            const qsizetype taken = reader.feed(bytes);
            if (taken < 0 || taken > bytes.size())
                fail("feed took more than it was given");
            bytes = bytes.sliced(taken);
            if (reader.bufferedBytes() > kMaxHeld)
                fail("the reader holds more than one bounded record");
            if (reader.hasRecord()) {
                const CopyDataRecord record = reader.takeRecord();
                if (record.data.size() > qsizetype(CopyDataRecord::kMaxDataSize))
                    fail("a record larger than the bound");
                (void)record.registrationId();
                got.records.push_back(record);
            } else if (reader.isBroken()) {
                break;
            } else if (taken == 0 || reader.wanted() <= 0) {
                fail("the reader neither took bytes nor completed a record");
            }
        }
    }
    got.broken = reader.isBroken();
    got.rest = got.broken ? 0 : reader.bufferedBytes();

    if (got.records.size() != expected.records.size())
        fail("the pieces gave another number of records than the whole stream");
    for (size_t k = 0; k < got.records.size(); ++k) {
        if (got.records[k].dwData != expected.records[k].dwData ||
            got.records[k].data != expected.records[k].data)
            fail("the pieces gave another record than the whole stream");
    }
    if (got.broken != expected.broken || (!got.broken && got.rest != expected.rest))
        fail("the pieces left another state than the whole stream");
    return 0;
}
