#pragma once

#include "DriveScenario.h"
#include "ElmInterpreter.h"
#include "OutputQueue.h"
#include "PseudoTerminal.h"
#include "ReportChannel.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The running adapter: one poll loop over the pty master, the control commands on stdin and
// the termination signals. It times the answers (latency, baud pacing, split writes) and
// prints on stdout what a test needs to follow along.
class Simulator
{
public:
    struct Options
    {
        std::string linkPath;
        DriveScenario::Kind scenario = DriveScenario::Kind::Drive;
        double timeScale = 1;
        std::uint32_t seed = 1;
        std::vector<std::pair<std::string, std::string>> pinned;
        bool secondEcu = false;
        int latencyMs = 0;
        int baud = 0;
        bool logRequests = false;
    };

    explicit Simulator(Options options);

    // Checks the pinned values; returns an error text, empty when all are fine.
    std::string applyPins();

    // Runs until SIGTERM, SIGINT or "quit". Returns the process exit code.
    int run();

private:
    using Clock = std::chrono::steady_clock;

    void readClient(Clock::time_point now);
    void lineReceived(Clock::time_point complete);
    void writeClient(Clock::time_point now);
    void readControl();
    void control(const std::string& line);
    void say(const std::string& line);
    void discardStaleOutput();
    void hangUp(int ms);
    void reopen();
    std::optional<Clock::time_point> nextWake() const;

    Options m_options;
    DriveScenario m_scenario;
    ElmInterpreter m_interpreter;
    OutputQueue m_output;
    PseudoTerminal m_pty;
    ReportChannel m_report;
    Clock::time_point m_started;
    Clock::duration m_byteTime{0};
    Clock::duration m_latency{0};
    // When the last received byte has fully arrived on the simulated wire.
    Clock::time_point m_receiveFreeAt{};
    std::string m_line;
    std::string m_controlLine;
    bool m_controlOpen = true;
    bool m_writeBlocked = false;
    std::optional<Clock::time_point> m_reopenAt;
    bool m_quit = false;
};
