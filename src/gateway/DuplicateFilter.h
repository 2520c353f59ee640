#pragma once
#include <QSet>
#include <QString>

#include <deque>
#include <functional>

namespace selvane {

// A monotonic time source in milliseconds since an arbitrary origin. It never
// goes back and does not follow changes of the wall clock (daylight saving,
// the user setting the time), so a duplicate window always lasts as long as
// it says.
using MonotonicMs = std::function<qint64()>;

// The system's steady clock (time since boot, sleep included), in
// milliseconds since the epoch as the wall clock read at the first call.
MonotonicMs SteadyClockMs();

// The duplicate time D from the text of txtDup: its leading number rounded to
// a whole number (halves to even), 0 when there is none, and clamped to
// -32768..32767 when it lies outside the signed 16-bit range.
int DuplicateSeconds(const QString& txtDup);

// Remembers the packets re-transmitted within the last D seconds.
//
// A packet's identity is its key (source call, "~" in front for the reverse
// direction) directly followed by its information line. A packet is a
// duplicate when the same identity was stored at most D seconds ago; the
// stored entry keeps its first time (a duplicate renews nothing and adds
// nothing). Entries older than D seconds are removed before the comparison.
// A negative D never finds a duplicate.
//
// Ages are whole seconds: both moments are taken to the whole second of the
// monotonic source (milliseconds divided by 1000, rounded down) and
// subtracted, so D = 0 suppresses only a copy heard within the same second.
// The second boundaries fall where the monotonic source's whole seconds fall,
// not on the wall clock's.
//
// Entries are kept in arrival order, which is time order as the source is
// monotonic, so expired entries are always at the front; a hash finds an
// identity. A call costs the same whatever the number of stored entries
// (plus the removal of the entries that expire now).
//
// The store holds at most kMaxEntries entries: a flood of distinct packets
// with the longest duplicate time (32767 s, about nine hours) would otherwise
// keep every one of them. When a new packet finds the store full, the oldest
// entry goes first, so only a copy of a packet older than the last
// kMaxEntries gated ones can pass again.
class DuplicateFilter {
public:
    // 10,000 distinct packets is far more than a satellite pass brings (a
    // 1200 bit/s channel carries a few packets a second, a pass lasts about
    // ten minutes) and a few megabytes at most.
    static constexpr qsizetype kMaxEntries = 10000;

    explicit DuplicateFilter(MonotonicMs clock);

    // True when the packet is new (and now stored), false for a duplicate.
    bool IsNewPacket(const QString& key, const QString& info, int duplicateSeconds);

    // Forgets one packet as if it had never been stored (it was not sent
    // after all).
    void forget(const QString& key, const QString& info);

    // Forgets every entry (the link was stopped).
    void clear();

    qsizetype size() const { return qsizetype(m_entries.size()); }

private:
    struct Entry {
        qint64 second;
        QString identity;
    };

    MonotonicMs m_clock;
    std::deque<Entry> m_entries;       // oldest first
    QSet<QString> m_identities;        // the identities in m_entries
    qint64 m_lastSecond = 0;           // latest second seen
    bool m_anySecond = false;
};

} // namespace selvane
