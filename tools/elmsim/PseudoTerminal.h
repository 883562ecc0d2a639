#pragma once

#include <string>

// The simulated adapter's device node: a pseudo-terminal pair plus an optional symlink that
// gives it a stable name, as udev does for a real USB adapter. Both appear and disappear
// together, so closing looks like pulling the plug.
class PseudoTerminal
{
public:
    explicit PseudoTerminal(std::string linkPath = {}) : m_linkPath(std::move(linkPath)) {}
    ~PseudoTerminal() { close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates a new pair (non-blocking master) and points the link at it. On failure returns
    // false with a message in `error`.
    bool open(std::string& error);
    void close();

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

    // Readable when a client opens or closes the device; -1 if that cannot be watched.
    int watchFd() const { return m_watch; }
    // Reads the pending notices; true if a client came or went since the last call.
    bool clientCameOrWent();
    // Drops what was sent but not yet read. A real serial line keeps nothing for a client
    // that is not there; a pty would hand it all to the next one.
    void discardUnread();

private:
    bool pointLink(std::string& error);
    void removeLink();

    std::string m_linkPath;
    std::string m_slavePath;
    int m_master = -1;
    // Held open by us for as long as the device exists: without it the master reports a
    // hang-up and read() fails with EIO whenever no client happens to have the slave open.
    int m_slave = -1;
    int m_watch = -1;
};
