#pragma once

#include <QString>

// Of any number of concurrent starts exactly one holds the guard: an exclusive, non-waiting
// lock on "instance.lock" in the runtime directory. The kernel drops the lock with the
// process, so a start after the holder has ended succeeds.
class InstanceGuard
{
public:
    InstanceGuard() = default;
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    enum class Result { Acquired, HeldElsewhere, Failed };
    // Never waits. error() tells why on Failed.
    Result tryAcquire(const QString& runtimeDir);
    QString error() const { return m_error; }
    bool isHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    QString m_error;
};
