#include "ElmInterpreter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::string_view kVersion = "ELM327 v1.5";
constexpr std::string_view kSearching = "SEARCHING...";
constexpr std::string_view kNoData = "NO DATA";

// The simulated car speaks CAN 11/500; in automatic mode the adapter always settles on it.
constexpr int kCarProtocol = 6;

constexpr std::array<std::string_view, 13> kProtocolNames = {
    "AUTO",
    "SAE J1850 PWM",
    "SAE J1850 VPW",
    "ISO 9141-2",
    "ISO 14230-4 (KWP 5BAUD)",
    "ISO 14230-4 (KWP FAST)",
    "ISO 15765-4 (CAN 11/500)",
    "ISO 15765-4 (CAN 29/500)",
    "ISO 15765-4 (CAN 11/250)",
    "ISO 15765-4 (CAN 29/250)",
    "SAE J1939 (CAN 29/250)",
    "USER1 CAN (11* /125)",
    "USER2 CAN (11* /50)",
};

constexpr std::array<int, 6> kSupportedPids = {0x05, 0x0B, 0x0C, 0x0D, 0x0F, 0x10};

// Commands that take one decimal digit up to the given maximum and only answer OK, apart
// from E and L which the interpreter honours.
struct Switch
{
    std::string_view name;
    char max;
};
constexpr std::array<Switch, 13> kSwitches = {{
    {"E", '1'},
    {"L", '1'},
    {"H", '1'},
    {"S", '1'},
    {"M", '1'},
    {"R", '1'},
    {"AT", '2'},
    {"CAF", '1'},
    {"CFC", '1'},
    {"D", '1'},
    {"KW", '1'},
    {"V", '1'},
    {"JHF", '1'},
}};

// Commands with a fixed number of hex digits as argument; accepted and ignored.
struct HexCommand
{
    std::string_view name;
    std::size_t digits;
};
constexpr std::array<HexCommand, 10> kHexCommands = {{
    {"ST", 2},
    {"SH", 3},
    {"SH", 6},
    {"CRA", 3},
    {"SW", 2},
    {"CP", 2},
    {"SR", 2},
    {"CF", 3},
    {"CM", 3},
    {"IIA", 2},
}};

constexpr std::array<std::string_view, 9> kPlainOk = {"AL", "NL", "PC", "LP", "AR",
                                                      "SS", "FE", "JE", "JS"};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isHex(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return hexValue(c) >= 0; });
}

std::string hexByte(int value)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// Blanks carry no meaning to the adapter and letters may come in either case.
std::string normalized(std::string_view line)
{
    std::string out;
    for (char c : line) {
        if (c == ' ' || c == '\t')
            continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::uint8_t byteOf(double value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

void appendWord(std::vector<std::uint8_t>& out, double value)
{
    const long word = std::lround(std::clamp(value, 0.0, 65535.0));
    out.push_back(static_cast<std::uint8_t>(word >> 8));
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
}

std::optional<std::vector<std::uint8_t>> pidData(int pid, const Readings& r)
{
    std::vector<std::uint8_t> out;
    switch (pid) {
    case 0x00: {
        std::uint32_t bitmap = 0;
        for (int supported : kSupportedPids)
            bitmap |= 1u << (32 - supported);
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(bitmap >> shift));
        break;
    }
    case 0x05:
        out.push_back(byteOf(r.coolantC + 40));
        break;
    case 0x0B:
        out.push_back(byteOf(r.mapKpa));
        break;
    case 0x0C:
        appendWord(out, r.rpm * 4);
        break;
    case 0x0D:
        out.push_back(byteOf(r.speedKmh));
        break;
    case 0x0F:
        out.push_back(byteOf(r.intakeC + 40));
        break;
    case 0x10:
        appendWord(out, r.mafGs * 100);
        break;
    default:
        return std::nullopt;
    }
    return out;
}

// A gearbox unit on the same bus: it sees the road speed but not the engine's air path.
Readings gearboxView(const Readings& engine)
{
    Readings r;
    r.speedKmh = engine.speedKmh;
    r.intakeC = engine.intakeC;
    r.coolantC = engine.coolantC - 15;
    r.volts = engine.volts;
    return r;
}

std::string dataLine(int mode, int pid, const std::vector<std::uint8_t>& data)
{
    std::string line = hexByte(mode + 0x40) + ' ' + hexByte(pid) + ' ';
    for (std::uint8_t b : data)
        line += hexByte(b) + ' ';
    return line;
}

std::string voltsText(double volts)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1fV", std::round(volts * 10) / 10);
    return text;
}

} // namespace

ElmInterpreter::ElmInterpreter(bool secondEcu, std::uint32_t seed)
    : m_secondEcu(secondEcu), m_random(seed)
{
}

void ElmInterpreter::reset()
{
    m_echo = true;
    m_lineFeeds = false;
    m_automatic = true;
    m_protocol = kCarProtocol;
    m_searching = true;
    m_lastObd.clear();
}

void ElmInterpreter::addFault(Fault fault, int count)
{
    if (count > 0)
        m_faults.emplace_back(fault, count);
}

void ElmInterpreter::clearFaults()
{
    m_faults.clear();
}

std::optional<ElmInterpreter::Fault> ElmInterpreter::faultFromName(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, Fault>, 8> kNames = {{
        {"nodata", Fault::NoData},
        {"unable", Fault::Unable},
        {"businit", Fault::BusInit},
        {"stopped", Fault::Stopped},
        {"question", Fault::Question},
        {"garbage", Fault::Garbage},
        {"split", Fault::Split},
        {"silence", Fault::Silence},
    }};
    for (const auto& [text, fault] : kNames) {
        if (text == name)
            return fault;
    }
    return std::nullopt;
}

std::optional<ElmInterpreter::Fault> ElmInterpreter::takeFault()
{
    if (m_faults.empty())
        return std::nullopt;
    const Fault fault = m_faults.front().first;
    if (--m_faults.front().second == 0)
        m_faults.pop_front();
    return fault;
}

std::string ElmInterpreter::finish(const std::vector<std::string>& lines) const
{
    std::string out;
    for (const std::string& line : lines)
        out += line + lineEnd();
    return out + lineEnd() + '>';
}

std::string ElmInterpreter::protocolDescription() const
{
    if (m_automatic)
        return "AUTO, " + std::string(kProtocolNames[kCarProtocol]);
    return std::string(kProtocolNames[m_protocol]);
}

ElmInterpreter::Reply ElmInterpreter::handle(std::string_view line, const Readings& readings)
{
    Reply reply;
    // The echo follows the setting in force when the line arrived, so "ATE0" is still echoed.
    if (m_echo)
        reply.echo = std::string(line) + lineEnd();
    if (line.size() > kMaxLine) {
        reply.answer = finish({"?"});
        return reply;
    }
    std::string command = normalized(line);
    if (command.empty()) {
        // A bare CR repeats the last OBD request: clients poll one value cheaply this way.
        if (m_lastObd.empty()) {
            reply.answer = ">";
            return reply;
        }
        command = m_lastObd;
    }
    if (command.starts_with("AT"))
        reply.answer = handleAt(std::string_view(command).substr(2), readings);
    else if (isHex(command))
        handleObd(command, readings, reply);
    else
        reply.answer = finish({"?"});
    return reply;
}

std::string ElmInterpreter::handleAt(std::string_view command, const Readings& readings)
{
    const std::string ok = finish({"OK"});
    if (command.empty())
        return ok;
    if (command == "Z" || command == "WS") {
        reset();
        return finish({"", "", std::string(kVersion)});
    }
    if (command == "D") {
        reset();
        return finish({"OK"});
    }
    if (command == "I")
        return finish({std::string(kVersion)});
    if (command == "@1")
        return finish({"OBDII to RS232 Interpreter"});
    if (command == "DP")
        return finish({protocolDescription()});
    if (command == "DPN") {
        const int shown = m_automatic ? kCarProtocol : m_protocol;
        return finish({(m_automatic ? "A" : "") + hexByte(shown).substr(1)});
    }
    if (command == "RV")
        return finish({voltsText(readings.volts)});
    if (std::find(kPlainOk.begin(), kPlainOk.end(), command) != kPlainOk.end())
        return ok;

    if (command.starts_with("SP") || command.starts_with("TP")) {
        std::string_view digit = command.substr(2);
        bool automatic = false;
        if (digit.size() == 2 && digit[0] == 'A') {
            automatic = true;
            digit.remove_prefix(1);
        }
        const int protocol = digit.size() == 1 ? hexValue(digit[0]) : -1;
        if (protocol < 0 || protocol > 0x0C)
            return finish({"?"});
        m_automatic = automatic || protocol == 0;
        m_protocol = protocol == 0 ? kCarProtocol : protocol;
        m_searching = true;
        return ok;
    }

    for (const Switch& s : kSwitches) {
        if (command.size() == s.name.size() + 1 && command.starts_with(s.name)) {
            const char value = command.back();
            if (value < '0' || value > s.max)
                return finish({"?"});
            if (s.name == "E")
                m_echo = value == '1';
            else if (s.name == "L")
                m_lineFeeds = value == '1';
            return finish({"OK"});
        }
    }
    for (const HexCommand& h : kHexCommands) {
        if (command.size() == h.name.size() + h.digits && command.starts_with(h.name) &&
            isHex(command.substr(h.name.size())))
            return ok;
    }
    return finish({"?"});
}

void ElmInterpreter::handleObd(std::string_view command, const Readings& readings, Reply& reply)
{
    std::string_view hex = command;
    // An odd trailing digit tells how many replies to wait for; zero makes no sense.
    if (hex.size() % 2 == 1) {
        if (hex.back() == '0') {
            reply.answer = finish({"?"});
            return;
        }
        hex.remove_suffix(1);
    }
    // A single CAN frame carries at most 7 request bytes.
    if (hex.size() < 2 || hex.size() > 14) {
        reply.answer = finish({"?"});
        return;
    }
    m_lastObd = std::string(command);
    std::vector<int> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(hexValue(hex[i]) * 16 + hexValue(hex[i + 1]));

    const std::optional<Fault> fault = takeFault();
    if (fault == Fault::Silence)
        return;
    if (fault == Fault::Question) {
        reply.answer = finish({"?"});
        return;
    }

    std::vector<std::string> lines;
    if (m_searching)
        lines.emplace_back(kSearching);
    // A failed connection makes the adapter search again on the next request.
    if (fault == Fault::Unable || fault == Fault::BusInit || fault == Fault::Stopped) {
        lines.emplace_back(fault == Fault::Unable    ? "UNABLE TO CONNECT"
                           : fault == Fault::BusInit ? "BUS INIT: ...ERROR"
                                                     : "STOPPED");
        reply.answer = finish(lines);
        m_searching = true;
        return;
    }
    m_searching = false;

    const int mode = bytes[0];
    std::optional<std::vector<std::uint8_t>> data;
    if (fault != Fault::NoData && (mode == 0x01 || mode == 0x21) && bytes.size() == 2)
        data = pidData(bytes[1], readings);
    if (data) {
        lines.push_back(dataLine(mode, bytes[1], *data));
        if (m_secondEcu)
            lines.push_back(dataLine(mode, bytes[1], *pidData(bytes[1], gearboxView(readings))));
    } else {
        lines.emplace_back(kNoData);
    }
    reply.answer = finish(lines);
    if (fault == Fault::Garbage)
        reply.answer.insert(0, garbage());
    reply.split = fault == Fault::Split;
}

std::string ElmInterpreter::garbage()
{
    // Line noise as a client meets it on a bad cable: at least one high byte and one control
    // character, never the prompt, so only the real answer can end the exchange.
    std::uniform_int_distribution<int> length(6, 20);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string out;
    out += static_cast<char>(0x80 + anyByte(m_random) % 0x80);
    out += static_cast<char>(anyByte(m_random) % 0x20);
    for (int n = length(m_random); n > 0; --n) {
        int b = anyByte(m_random);
        if (b == '>')
            b = 0xBE;
        out += static_cast<char>(b);
    }
    return out;
}
