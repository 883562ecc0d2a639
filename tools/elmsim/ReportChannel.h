#pragma once

#include <chrono>
#include <cstddef>
#include <string>

// The lines on stdout that tests follow (device path, acknowledgements, REQ lines). A test
// that stops reading its end of the pipe must not stall the adapter, so the lines wait in a
// bounded queue and go out whenever stdout can take them.
class ReportChannel
{
public:
    ReportChannel();
    ~ReportChannel();
    ReportChannel(const ReportChannel&) = delete;
    ReportChannel& operator=(const ReportChannel&) = delete;

    void say(const std::string& line);
    // Writes what stdout takes without waiting.
    void flush();
    // At exit: keeps writing for at most `limit`, so the last acknowledgement is not lost.
    void drain(std::chrono::milliseconds limit);

    // The descriptor to watch for POLLOUT, or -1 while nothing is waiting.
    int pendingFd() const { return m_pending.empty() ? -1 : m_fd; }

private:
    int m_fd;
    bool m_ownFd = false;
    std::string m_pending;
};
