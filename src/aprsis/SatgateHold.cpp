#include "aprsis/SatgateHold.h"

#include <algorithm>

namespace selvane {

namespace {

// Source, destination and information: what the servers compare too.
QByteArray KeyOf(const HeardPacket& p)
{
    return p.source.toLatin1() + '>' + p.destination.toLatin1() + ':' + p.info;
}

UploadDecision Released(UploadDecision d)
{
    d.verdict = UploadVerdict::Released;
    return d;
}

} // namespace

SatgateHold::SatgateHold(MonotonicMs clock, int delaySeconds)
    : m_clock(std::move(clock)), m_delayMs(qint64(delaySeconds) * 1000)
{
}

QList<UploadDecision> SatgateHold::take(const UploadDecision& decision)
{
    if (decision.verdict != UploadVerdict::AtOnce)
        return {decision};
    QList<UploadDecision> out;
    if (decision.copy == HeardCopy::Direct && m_delayMs > 0) {
        if (m_held.size() >= kMaxHeld) {
            out << Released(m_held.front().decision);
            m_held.pop_front();
        }
        UploadDecision held = decision;
        held.verdict = UploadVerdict::Held;
        m_held.push_back({m_clock() + m_delayMs, KeyOf(decision.packet), held});
        out << held;
        return out;
    }
    out << decision;
    if (decision.copy != HeardCopy::RepeatedBySatellite)
        return out;
    const QByteArray key = KeyOf(decision.packet);
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (it->key != key) {
            ++it;
            continue;
        }
        UploadDecision dropped = it->decision;
        dropped.verdict = UploadVerdict::Superseded;
        out << dropped;
        it = m_held.erase(it);
    }
    return out;
}

QList<UploadDecision> SatgateHold::releaseDue()
{
    const qint64 now = m_clock();
    QList<UploadDecision> out;
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (it->dueMs > now) {
            ++it;
            continue;
        }
        out << Released(it->decision);
        it = m_held.erase(it);
    }
    return out;
}

std::optional<qint64> SatgateHold::nextDueMs() const
{
    if (m_held.empty())
        return std::nullopt;
    return std::min_element(m_held.begin(), m_held.end(),
                            [](const Entry& a, const Entry& b) { return a.dueMs < b.dueMs; })
        ->dueMs;
}

int SatgateHold::dropAll()
{
    const int n = size();
    m_held.clear();
    return n;
}

} // namespace selvane
