#pragma once
#include <QByteArray>
#include <QList>

#include <deque>
#include <optional>

#include "aprsis/UploadRules.h"
#include "gateway/DuplicateFilter.h"   // MonotonicMs

namespace selvane {

// The satgate hold: the satellite's copy of a packet goes up, not the one
// heard directly.
//
// A station near the gateway that sends "N1CALL-7>APRS,ARISS:..." is heard
// directly a few hundred milliseconds before the ISS repeats it as
// "N1CALL-7>APRS,RS0ISS*:...". The servers keep the first copy of a packet
// (same source, destination and information) and drop any other for 30 s,
// and the pages that show satellite traffic select it by the satellite's
// call marked repeated (aprsc's d/RS0ISS filter). Uploading the direct copy
// would lose the very packet a satgate exists for. So:
//
// - A packet the rules let through whose heard copy is Direct (HeardCopy)
//   is held for the delay (satgate-delay, seconds; 0: nothing is held).
// - A copy repeated by a satellite of the table goes up at once, and every
//   held packet with its source, destination and information is dropped
//   (Superseded).
// - A held packet whose time is up goes up then (Released); so does the
//   oldest one when kMaxHeld are held and another comes.
// - Everything else the rules let through (sent by a satellite, no path,
//   repeated by a ground digipeater) goes up at once, and what they exclude
//   passes through as excluded.
//
// Nothing here delays the radio side: the hold only keeps lines for the
// upload. It survives nothing: dropAll() (a stop) empties it. Time is the
// injected monotonic clock; the owner asks releaseDue() at nextDueMs().
class SatgateHold {
public:
    static constexpr int kMaxHeld = 256;

    explicit SatgateHold(MonotonicMs clock, int delaySeconds = 0);

    // For packets held from now on; those already held keep their time.
    void setDelaySeconds(int seconds) { m_delayMs = qint64(seconds) * 1000; }

    // What becomes of one decision of the upload rules, in order: the
    // decision itself (AtOnce, Held, or its exclusion), preceded by the
    // oldest held packet released when the hold is full, followed by the
    // held packets a satellite's copy supersedes.
    QList<UploadDecision> take(const UploadDecision& decision);
    // The held packets whose time is up, oldest first, as Released.
    QList<UploadDecision> releaseDue();
    // When the next held packet is due (the clock's time); none when empty.
    std::optional<qint64> nextDueMs() const;
    // Drops every held packet; how many there were.
    int dropAll();
    int size() const { return int(m_held.size()); }

private:
    struct Entry {
        qint64 dueMs;
        QByteArray key;
        UploadDecision decision;
    };

    MonotonicMs m_clock;
    qint64 m_delayMs;
    std::deque<Entry> m_held;   // in the order they were heard
};

} // namespace selvane
