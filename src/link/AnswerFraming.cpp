#include "link/AnswerFraming.h"

namespace {

// Empties the buffer when the dispatch is done, also when it was left by an exception, so a
// failed handler never glues its answer to the next one.
struct ClearOnExit
{
    QByteArray& buffer;
    ~ClearOnExit() { buffer.clear(); }
};

} // namespace

void AnswerFraming::receive(const QByteArray& batch)
{
    if (onBatch)
        onBatch();
    if (batch.isEmpty())
        return;

    for (char c : batch) {
        if (static_cast<unsigned char>(c) >= 0x20)
            m_rxBuffer.append(c);
    }
    if (m_rxBuffer.size() > kMaxBuffer)
        m_rxBuffer.remove(0, m_rxBuffer.size() - kMaxBuffer);

    if (batch.back() != '>')
        return;

    ClearOnExit clear{m_rxBuffer};
    ++m_answers;
    if (onAnswerReceived)
        onAnswerReceived(m_rxBuffer);
    // The last character of the batch is the prompt and was kept.
    m_lastAnswer = m_rxBuffer.left(m_rxBuffer.size() - 1);
    if (dispatch)
        dispatch();
}
