#pragma once
#include <deque>

#include "gateway/DuplicateFilter.h"

namespace selvane {

// How much the gateway may send up to the satellites, counted over all
// sources together: at most perMinute packets in any 60 s and perFiveMinutes
// in any 300 s. 0 turns a limit off.
struct UplinkLimits {
    int perMinute = 6;
    int perFiveMinutes = 10;

    bool operator==(const UplinkLimits&) const = default;
};

// Keeps an unattended gateway from flooding a satellite: sending up is the
// only thing Selvane transmits to one, and a busy local network could
// otherwise keep its uplink full. The duplicate filter already holds each
// source to one copy of a packet per "Dup" seconds; this holds all of them
// together. Times come from a monotonic clock, so a change of the wall clock
// neither opens nor closes the gate.
class UplinkGuard {
public:
    explicit UplinkGuard(MonotonicMs clock, UplinkLimits limits = {});

    void setLimits(const UplinkLimits& limits) { m_limits = limits; }
    const UplinkLimits& limits() const { return m_limits; }

    // True when one more packet may go up now, and it is counted as sent;
    // false when it must be held back (it is not counted).
    bool admit();

private:
    static constexpr qint64 kMinuteMs = 60 * 1000;
    static constexpr qint64 kFiveMinutesMs = 5 * kMinuteMs;

    MonotonicMs m_clock;
    UplinkLimits m_limits;
    std::deque<qint64> m_sent; // times of the packets sent in the last five minutes
};

} // namespace selvane
