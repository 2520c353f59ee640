#pragma once
#include <algorithm>

namespace selvane {

// How long to wait before trying a connection again: firstMs after the first
// failure, twice as long after each further one, never more than maxMs.
struct RetryTiming {
    int firstMs = 1000;
    int maxMs = 60000;
};

// The growing wait between attempts to reach a peer (the engine, an APRS-IS
// server), so that one that is away is not hammered and one that comes back
// is found soon. reset() starts again from the first step; the owner calls
// it once a connection has proved good.
class Backoff {
public:
    explicit Backoff(RetryTiming timing = {}) : m_timing(timing), m_nextMs(timing.firstMs) {}

    // The wait before the next attempt; the one after it is twice as long.
    int next()
    {
        const int delay = m_nextMs;
        m_nextMs = std::min(m_nextMs * 2, m_timing.maxMs);
        return delay;
    }
    void reset() { m_nextMs = m_timing.firstMs; }
    const RetryTiming& timing() const { return m_timing; }

private:
    RetryTiming m_timing;
    int m_nextMs;
};

} // namespace selvane
