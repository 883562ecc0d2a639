#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

// Bytes waiting to go to the client, each piece not before its time. With a baud rate set, a
// byte becomes available only once it would have been fully sent on the wire (10 bits per
// byte), so the client sees a real serial line's timing. The queue is bounded: when a client
// stops reading, the oldest pieces are dropped rather than memory growing without end.
class OutputQueue
{
public:
    using Clock = std::chrono::steady_clock;

    explicit OutputQueue(std::size_t limit) : m_limit(limit) {}

    // 0 turns pacing off.
    void setBaud(int baud);

    void push(std::string bytes, Clock::time_point notBefore);
    void clear();
    bool empty() const { return m_pieces.empty(); }
    std::size_t size() const { return m_size; }

    // What may be written at `now`, from the oldest piece only: each piece is a write of its
    // own. Empty when nothing is due. Valid until the next call on the queue.
    std::string_view due(Clock::time_point now);
    void consume(std::size_t count);
    // When due() next has something worth writing; nullopt for an empty queue.
    std::optional<Clock::time_point> nextDue() const;

private:
    struct Piece
    {
        std::string bytes;
        Clock::time_point notBefore;
        std::size_t sent = 0;
        std::optional<Clock::time_point> wireStart;
    };

    Clock::time_point wireStartOf(const Piece& piece) const;

    std::deque<Piece> m_pieces;
    std::size_t m_size = 0;
    std::size_t m_limit;
    Clock::duration m_byteTime{0};
    std::size_t m_chunk = 1;
    Clock::time_point m_lineFreeAt{};
};
