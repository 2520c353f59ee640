#include "agw/PacketStore.h"

#include "common/TextRules.h"

namespace selvane {

QStringList TwoLineWindow(const char* data, qsizetype length)
{
    QStringList window;
    if (data != nullptr) {
        // A line is the run of bytes before a byte 13; empty runs (two 13s in
        // a row) are skipped. Line feeds and NULs are ordinary characters.
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < length; ++i) {
            if (data[i] != '\r')
                continue;
            if (i > lineStart) {
                if (window.size() > 1)
                    window.removeFirst();
                window.append(FromSingleByte(QByteArray(data + lineStart, i - lineStart)));
            }
            lineStart = i + 1;
        }
    }
    if (window.size() < 2)
        window.append(QString());
    return window;
}

} // namespace selvane
