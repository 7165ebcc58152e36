#pragma once

#include <QtGlobal>

// When the recovery copy is due: a pause after the last change, but no later
// than a bound after the first change not yet kept, so that steady typing
// without a pause is kept too.
class RecoverySchedule
{
public:
    RecoverySchedule(int pauseMs, int boundMs) : m_pause(pauseMs), m_bound(boundMs) {}

    // A change at `nowMs`; the delay to start the timer with.
    int changed(qint64 nowMs)
    {
        if (m_first < 0)
            m_first = nowMs;
        return int(qBound(qint64(0), m_first + m_bound - nowMs, qint64(m_pause)));
    }
    // The copy is being written: the next change starts afresh.
    void kept() { m_first = -1; }

private:
    int m_pause;
    int m_bound;
    qint64 m_first = -1;
};
