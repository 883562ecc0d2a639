#pragma once

#include <QByteArray>

#include <functional>

// Collects the adapter's characters into answers, one per prompt ">". Control characters
// are dropped, everything from 0x20 up (0x80..0xFF included) is kept. An answer is complete
// only when the last character of a batch is the prompt; a ">" inside a batch is an ordinary
// character. The buffer keeps at most kMaxBuffer characters, the newest.
class AnswerFraming
{
public:
    static constexpr qsizetype kMaxBuffer = 4096;

    // Called for every batch before anything else (the lamps).
    std::function<void()> onBatch;
    // Called with the buffer, prompt included, before the prompt is removed (the trace).
    std::function<void(const QByteArray&)> onAnswerReceived;
    // The dispatcher: reads and may clear lastAnswer().
    std::function<void()> dispatch;

    void receive(const QByteArray& batch);

    const QByteArray& rxBuffer() const { return m_rxBuffer; }
    QByteArray& lastAnswer() { return m_lastAnswer; }
    const QByteArray& lastAnswer() const { return m_lastAnswer; }
    quint64 answerCount() const { return m_answers; }

private:
    QByteArray m_rxBuffer;
    QByteArray m_lastAnswer;
    quint64 m_answers = 0;
};
