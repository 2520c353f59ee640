#pragma once
#include <QChar>
#include <QString>

namespace selvane {

// The port lists "Sats" and "Out": each character with a value 1..9 names
// the engine's 0-based port value - 1; "0" and every other character name
// nothing ("1,2" and "12" name ports 0 and 1, not port 11).

// The 0-based port named by one character of a port list, or -1 for none.
int PortOfListChar(QChar c);

// Whether a list names the 0-based port.
bool ListNamesPort(const QString& list, int port);

} // namespace selvane
