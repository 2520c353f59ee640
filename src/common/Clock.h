#pragma once
#include <QDateTime>
#include <functional>

namespace selvane {

// Every piece of logic that needs the present date or time takes one of
// these, so tests can set any moment (midnight, a clock change, ...).
using Clock = std::function<QDateTime()>;

inline Clock SystemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

} // namespace selvane
