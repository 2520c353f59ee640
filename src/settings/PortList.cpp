#include "settings/PortList.h"

namespace selvane {

int PortOfListChar(QChar c)
{
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
        return c.unicode() - '1';
    return -1;
}

bool ListNamesPort(const QString& list, int port)
{
    for (QChar c : list)
        if (PortOfListChar(c) == port)
            return true;
    return false;
}

} // namespace selvane
