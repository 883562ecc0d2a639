#pragma once

#include "Readings.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// The adapter's half of the conversation: one received command line in, the exact bytes a real
// adapter sends back out. It holds the adapter's settings (echo, line feeds, protocol) but does
// no I/O and reads no clock, so every answer can be checked byte for byte.
class ElmInterpreter
{
public:
    enum class Fault
    {
        NoData,
        Unable,
        BusInit,
        Stopped,
        Question,
        Garbage,
        Split,
        Silence
    };

    struct Reply
    {
        // The command as received plus a line end; empty while echo is off.
        std::string echo;
        // Answer lines and the closing prompt; empty when the request goes unanswered.
        std::string answer;
        // The I/O side should deliver the answer in several writes, as a slow adapter does.
        bool split = false;
    };

    // Longer lines overflow the adapter's buffer and are refused with "?".
    static constexpr std::size_t kMaxLine = 256;

    explicit ElmInterpreter(bool secondEcu = false, std::uint32_t seed = 1);

    // line: the received bytes before the CR, line feeds already dropped.
    Reply handle(std::string_view line, const Readings& readings);

    // Back to the state after power-up, as after "ATZ".
    void reset();

    // The next `count` OBD requests are answered with `fault`; faults queue up in order.
    void addFault(Fault fault, int count);
    void clearFaults();
    static std::optional<Fault> faultFromName(std::string_view name);

private:
    std::string lineEnd() const { return m_lineFeeds ? "\r\n" : "\r"; }
    std::string finish(const std::vector<std::string>& lines) const;
    std::string handleAt(std::string_view command, const Readings& readings);
    void handleObd(std::string_view command, const Readings& readings, Reply& reply);
    std::optional<Fault> takeFault();
    std::string garbage();
    std::string protocolDescription() const;

    bool m_secondEcu;
    bool m_echo = true;
    bool m_lineFeeds = false;
    bool m_automatic = true;
    int m_protocol = 6;
    bool m_searching = true;
    std::string m_lastObd;
    std::deque<std::pair<Fault, int>> m_faults;
    std::mt19937 m_random;
};
