#include "Simulator.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <unistd.h>

namespace {

constexpr std::size_t kOutputLimit = 64 * 1024;
constexpr std::size_t kControlLineLimit = 4096;
constexpr auto kSplitGap = std::chrono::milliseconds(6);
constexpr int kSplitPieces = 4;
constexpr int kMaxMs = 3'600'000;

int s_wakePipe[2] = {-1, -1};

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_wakePipe[1], &byte, 1);
    errno = saved;
}

// Client bytes may be anything; keep the REQ line one line of plain text.
std::string printable(std::string_view bytes)
{
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::optional<int> parseMs(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kMaxMs)
        return std::nullopt;
    return value;
}

} // namespace

Simulator::Simulator(Options options)
    : m_options(std::move(options)), m_scenario(m_options.scenario, m_options.seed),
      m_interpreter(m_options.secondEcu, m_options.seed), m_output(kOutputLimit),
      m_pty(m_options.linkPath), m_started(Clock::now()),
      m_latency(std::chrono::milliseconds(m_options.latencyMs))
{
    m_output.setBaud(m_options.baud);
    if (m_options.baud > 0)
        m_byteTime = std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(static_cast<long long>(10'000'000'000.0 / m_options.baud)));
}

std::string Simulator::applyPins()
{
    for (const auto& [key, value] : m_options.pinned) {
        const std::string error = m_scenario.pin(lower(key), value);
        if (!error.empty())
            return error;
    }
    return {};
}

int Simulator::run()
{
    if (::pipe2(s_wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        std::perror("elmsim: pipe");
        return 1;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    // A test that stops reading our stdout must not kill us.
    std::signal(SIGPIPE, SIG_IGN);

    std::string error;
    if (!m_pty.open(error)) {
        std::fprintf(stderr, "elmsim: %s\n", error.c_str());
        return 1;
    }
    say(m_pty.slavePath());

    while (!m_quit) {
        Clock::time_point now = Clock::now();
        if (m_reopenAt && now >= *m_reopenAt)
            reopen();
        writeClient(now);

        pollfd fds[5];
        nfds_t count = 0;
        fds[count++] = {s_wakePipe[0], POLLIN, 0};
        int watchIndex = -1;
        if (m_pty.watchFd() >= 0) {
            watchIndex = static_cast<int>(count);
            fds[count++] = {m_pty.watchFd(), POLLIN, 0};
        }
        int controlIndex = -1;
        if (m_controlOpen) {
            controlIndex = static_cast<int>(count);
            fds[count++] = {STDIN_FILENO, POLLIN, 0};
        }
        int reportIndex = -1;
        if (m_report.pendingFd() >= 0) {
            reportIndex = static_cast<int>(count);
            fds[count++] = {m_report.pendingFd(), POLLOUT, 0};
        }
        int clientIndex = -1;
        if (m_pty.isOpen()) {
            clientIndex = static_cast<int>(count);
            const short events = m_writeBlocked ? POLLIN | POLLOUT : POLLIN;
            fds[count++] = {m_pty.masterFd(), events, 0};
        }
        // Nanosecond timeouts: with paced output a wake rounded up to whole milliseconds
        // would add up to a millisecond to every exchange.
        timespec timeout{};
        timespec* timeoutPtr = nullptr;
        if (const auto wake = nextWake()) {
            const auto wait = std::max(std::chrono::nanoseconds::zero(),
                                       std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           *wake - Clock::now()));
            timeout.tv_sec = static_cast<time_t>(wait.count() / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(wait.count() % 1'000'000'000);
            timeoutPtr = &timeout;
        }

        if (::ppoll(fds, count, timeoutPtr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("elmsim: poll");
            return 1;
        }
        if (fds[0].revents != 0)
            break;
        now = Clock::now();
        // Before reading the client: a new client's first command must not be discarded.
        if (watchIndex >= 0 && fds[watchIndex].revents != 0 && m_pty.watchFd() >= 0 &&
            m_pty.clientCameOrWent())
            discardStaleOutput();
        if (reportIndex >= 0 && fds[reportIndex].revents != 0)
            m_report.flush();
        if (controlIndex >= 0 && fds[controlIndex].revents != 0)
            readControl();
        // A control command may just have pulled the plug; the old fd is gone then.
        if (clientIndex >= 0 && m_pty.isOpen() && fds[clientIndex].fd == m_pty.masterFd()) {
            const short revents = fds[clientIndex].revents;
            if (revents & POLLOUT)
                m_writeBlocked = false;
            if (revents & (POLLIN | POLLHUP | POLLERR))
                readClient(now);
        }
    }
    m_pty.close();
    m_report.drain(std::chrono::seconds(1));
    return 0;
}

std::optional<Simulator::Clock::time_point> Simulator::nextWake() const
{
    std::optional<Clock::time_point> wake = m_reopenAt;
    if (!m_writeBlocked) {
        if (const auto due = m_output.nextDue())
            wake = wake ? std::min(*wake, *due) : *due;
    }
    return wake;
}

void Simulator::readClient(Clock::time_point now)
{
    char buffer[4096];
    // Bounded, so a client that floods us cannot starve stdin and the timers.
    for (int round = 0; round < 16; ++round) {
        const ssize_t n = ::read(m_pty.masterFd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i) {
            Clock::time_point arrived = now;
            if (m_byteTime != Clock::duration::zero()) {
                m_receiveFreeAt = std::max(m_receiveFreeAt, now) + m_byteTime;
                arrived = m_receiveFreeAt;
            }
            const char c = buffer[i];
            if (c == '\r') {
                lineReceived(arrived);
                m_line.clear();
            } else if (c != '\n' && c != '\0' && m_line.size() <= ElmInterpreter::kMaxLine) {
                // One byte past the limit is kept so that the interpreter sees the overflow.
                m_line += c;
            }
        }
    }
}

void Simulator::lineReceived(Clock::time_point complete)
{
    if (m_options.logRequests)
        say("REQ " + printable(m_line));
    const double seconds =
        std::chrono::duration<double>(Clock::now() - m_started).count() * m_options.timeScale;
    ElmInterpreter::Reply reply = m_interpreter.handle(m_line, m_scenario.at(seconds));

    m_output.push(std::move(reply.echo), complete);
    const Clock::time_point answerAt = complete + m_latency;
    if (!reply.split) {
        m_output.push(std::move(reply.answer), answerAt);
        return;
    }
    const std::size_t size = reply.answer.size();
    const std::size_t pieces = std::min<std::size_t>(kSplitPieces, size);
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t from = size * i / pieces;
        const std::size_t to = size * (i + 1) / pieces;
        m_output.push(reply.answer.substr(from, to - from),
                      answerAt + kSplitGap * static_cast<int>(i));
    }
}

void Simulator::writeClient(Clock::time_point now)
{
    while (m_pty.isOpen() && !m_writeBlocked) {
        const std::string_view chunk = m_output.due(now);
        if (chunk.empty())
            return;
        const ssize_t n = ::write(m_pty.masterFd(), chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                m_writeBlocked = true;
            } else {
                m_output.clear();
            }
            return;
        }
        m_output.consume(static_cast<std::size_t>(n));
    }
}

void Simulator::readControl()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
        return;
    if (n <= 0) {
        // End of stdin only ends the control channel; the adapter keeps running.
        m_controlOpen = false;
        if (!m_controlLine.empty())
            control(std::exchange(m_controlLine, {}));
        return;
    }
    for (ssize_t i = 0; i < n && !m_quit; ++i) {
        const char c = buffer[i];
        if (c == '\n') {
            control(std::exchange(m_controlLine, {}));
        } else if (c != '\r' && m_controlLine.size() < kControlLineLimit) {
            m_controlLine += c;
        }
    }
}

void Simulator::control(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    if (words.empty())
        return;
    const std::string command = lower(words[0]);

    if (command == "quit" && words.size() == 1) {
        say("OK quit");
        m_quit = true;
    } else if (command == "set" && words.size() == 3) {
        const std::string key = lower(words[1]);
        const std::string error = m_scenario.pin(key, words[2]);
        say(error.empty() ? "OK set " + key + ' ' + words[2] : "ERR " + error);
    } else if (command == "fault" && (words.size() == 2 || words.size() == 3)) {
        const std::string name = lower(words[1]);
        if (name == "none" && words.size() == 2) {
            m_interpreter.clearFaults();
            say("OK fault none");
            return;
        }
        const auto fault = ElmInterpreter::faultFromName(name);
        const auto times = words.size() == 3 ? parseMs(words[2]) : std::optional<int>(1);
        if (!fault) {
            say("ERR unknown fault '" + name +
                "' (nodata, unable, businit, stopped, question, garbage, split, silence, none)");
        } else if (!times || *times < 1) {
            say("ERR fault count must be a whole number from 1");
        } else {
            m_interpreter.addFault(*fault, *times);
            say("OK fault " + name + ' ' + std::to_string(*times));
        }
    } else if ((command == "hangup" || command == "latency") && words.size() == 2) {
        const auto ms = parseMs(words[1]);
        if (!ms) {
            say("ERR " + command + " takes milliseconds, 0 to " + std::to_string(kMaxMs));
        } else if (command == "hangup") {
            hangUp(*ms);
            say("OK hangup " + std::to_string(*ms));
        } else {
            m_latency = std::chrono::milliseconds(*ms);
            say("OK latency " + std::to_string(*ms));
        }
    } else {
        say("ERR unknown command '" + line +
            "' (set KEY VALUE, fault NAME [COUNT], hangup MS, latency MS, quit)");
    }
}

void Simulator::discardStaleOutput()
{
    m_output.clear();
    m_pty.discardUnread();
    m_line.clear();
    m_writeBlocked = false;
}

void Simulator::hangUp(int ms)
{
    m_pty.close();
    m_output.clear();
    m_line.clear();
    m_writeBlocked = false;
    m_reopenAt = Clock::now() + std::chrono::milliseconds(ms);
}

void Simulator::say(const std::string& line)
{
    m_report.say(line);
}

void Simulator::reopen()
{
    m_reopenAt.reset();
    std::string error;
    if (!m_pty.open(error)) {
        std::fprintf(stderr, "elmsim: %s; trying again in a second\n", error.c_str());
        m_reopenAt = Clock::now() + std::chrono::seconds(1);
        return;
    }
    // Plugged in again means powered up again.
    m_interpreter.reset();
    m_receiveFreeAt = {};
    say("PATH " + m_pty.slavePath());
}
