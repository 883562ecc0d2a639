#include "OutputQueue.h"

#include <algorithm>

void OutputQueue::setBaud(int baud)
{
    if (baud <= 0) {
        m_byteTime = Clock::duration::zero();
        return;
    }
    m_byteTime = std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(static_cast<long long>(10'000'000'000.0 / baud)));
    // Wake about every 4 ms rather than for every byte: a UART's FIFO delivers in bursts too.
    m_chunk = std::max<std::size_t>(1, std::chrono::milliseconds(4) / m_byteTime);
}

void OutputQueue::push(std::string bytes, Clock::time_point notBefore)
{
    if (bytes.empty())
        return;
    m_size += bytes.size();
    m_pieces.push_back({std::move(bytes), notBefore, 0, std::nullopt});
    while (m_size > m_limit && m_pieces.size() > 1) {
        const Piece& oldest = m_pieces.front();
        m_size -= oldest.bytes.size() - oldest.sent;
        m_pieces.pop_front();
    }
}

void OutputQueue::clear()
{
    m_pieces.clear();
    m_size = 0;
}

OutputQueue::Clock::time_point OutputQueue::wireStartOf(const Piece& piece) const
{
    return piece.wireStart ? *piece.wireStart : std::max(piece.notBefore, m_lineFreeAt);
}

std::string_view OutputQueue::due(Clock::time_point now)
{
    if (m_pieces.empty() || now < m_pieces.front().notBefore)
        return {};
    Piece& piece = m_pieces.front();
    const std::string_view rest = std::string_view(piece.bytes).substr(piece.sent);
    if (m_byteTime == Clock::duration::zero())
        return rest;
    const Clock::time_point start = wireStartOf(piece);
    if (now < start)
        return {};
    piece.wireStart = start;
    const auto onWire = static_cast<std::size_t>((now - start) / m_byteTime);
    const std::size_t complete = std::min(onWire, piece.bytes.size());
    return complete > piece.sent ? rest.substr(0, complete - piece.sent) : std::string_view();
}

void OutputQueue::consume(std::size_t count)
{
    if (m_pieces.empty())
        return;
    Piece& piece = m_pieces.front();
    count = std::min(count, piece.bytes.size() - piece.sent);
    piece.sent += count;
    m_size -= count;
    if (piece.sent == piece.bytes.size()) {
        if (m_byteTime != Clock::duration::zero())
            m_lineFreeAt = wireStartOf(piece) + m_byteTime * piece.bytes.size();
        m_pieces.pop_front();
    }
}

std::optional<OutputQueue::Clock::time_point> OutputQueue::nextDue() const
{
    if (m_pieces.empty())
        return std::nullopt;
    const Piece& piece = m_pieces.front();
    if (m_byteTime == Clock::duration::zero())
        return piece.notBefore;
    const std::size_t next = std::min(piece.bytes.size(), piece.sent + m_chunk);
    return wireStartOf(piece) + m_byteTime * next;
}
