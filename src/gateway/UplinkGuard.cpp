#include "gateway/UplinkGuard.h"

#include <algorithm>

namespace selvane {

UplinkGuard::UplinkGuard(MonotonicMs clock, UplinkLimits limits)
    : m_clock(std::move(clock)), m_limits(limits)
{
}

bool UplinkGuard::admit()
{
    if (m_limits.perMinute <= 0 && m_limits.perFiveMinutes <= 0)
        return true;
    const qint64 now = m_clock();
    while (!m_sent.empty() && now - m_sent.front() >= kFiveMinutesMs)
        m_sent.pop_front();
    if (m_limits.perFiveMinutes > 0 && qsizetype(m_sent.size()) >= m_limits.perFiveMinutes)
        return false;
    if (m_limits.perMinute > 0) {
        const auto lastMinute = std::count_if(m_sent.begin(), m_sent.end(),
                                              [now](qint64 t) { return now - t < kMinuteMs; });
        if (lastMinute >= m_limits.perMinute)
            return false;
    }
    m_sent.push_back(now);
    // With the five-minute limit off, only the last minute matters.
    if (m_limits.perFiveMinutes <= 0)
        while (!m_sent.empty() && now - m_sent.front() >= kMinuteMs)
            m_sent.pop_front();
    return true;
}

} // namespace selvane
