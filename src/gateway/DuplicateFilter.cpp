#include "gateway/DuplicateFilter.h"

#include <QDateTime>

#include <ctime>

#include "common/TextRules.h"

namespace selvane {

namespace {
// Time since boot, sleep included: a gateway that was suspended for an hour
// must see its stored packets as an hour old.
qint64 BootTimeMs()
{
    timespec ts{};
#ifdef CLOCK_BOOTTIME
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#endif
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
} // namespace

MonotonicMs SteadyClockMs()
{
    // Anchored to the wall clock once, so that whole seconds fall where the
    // clock's seconds fall (ages are counted between two moments taken to
    // the second); later changes of the wall clock do not move it.
    const qint64 offset = QDateTime::currentMSecsSinceEpoch() - BootTimeMs();
    return [offset] { return offset + BootTimeMs(); };
}

int DuplicateSeconds(const QString& txtDup)
{
    const double rounded = RoundHalfEven(NumericValue(txtDup));
    if (rounded >= 32767.0)
        return 32767;
    if (rounded <= -32768.0)
        return -32768;
    return int(rounded);
}

namespace {
qint64 FloorSeconds(qint64 ms)
{
    qint64 s = ms / 1000;
    if (ms % 1000 < 0)
        --s;
    return s;
}
} // namespace

DuplicateFilter::DuplicateFilter(MonotonicMs clock)
    : m_clock(std::move(clock))
{
}

bool DuplicateFilter::IsNewPacket(const QString& key, const QString& info, int duplicateSeconds)
{
    qint64 now = FloorSeconds(m_clock());
    // A source that stepped back is held at the latest second seen, which
    // keeps the entries in time order.
    if (m_anySecond && now < m_lastSecond)
        now = m_lastSecond;
    m_lastSecond = now;
    m_anySecond = true;

    while (!m_entries.empty() && now - m_entries.front().second > duplicateSeconds) {
        m_identities.remove(m_entries.front().identity);
        m_entries.pop_front();
    }

    const QString identity = key + info;
    if (m_identities.contains(identity))
        return false;
    if (qsizetype(m_entries.size()) >= kMaxEntries) {
        m_identities.remove(m_entries.front().identity);
        m_entries.pop_front();
    }
    m_entries.push_back({now, identity});
    m_identities.insert(identity);
    return true;
}

void DuplicateFilter::forget(const QString& key, const QString& info)
{
    const QString identity = key + info;
    if (!m_identities.remove(identity))
        return;
    // Nearly always the entry just added, at the back.
    for (auto it = m_entries.end(); it != m_entries.begin();) {
        --it;
        if (it->identity == identity) {
            m_entries.erase(it);
            return;
        }
    }
}

void DuplicateFilter::clear()
{
    m_entries.clear();
    m_identities.clear();
}

} // namespace selvane
