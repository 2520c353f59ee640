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

QStringList HeardLines(const char* data, qsizetype length)
{
    if (data == nullptr || length <= 0)
        return {QString()};
    const QByteArray text = QByteArray::fromRawData(data, length);
    qsizetype start = 0;
    while (start < length && text[start] == '\r')
        ++start;
    const qsizetype headerEnd = text.indexOf('\r', start);
    if (headerEnd < 0)
        return {QString()};
    return {FromSingleByte(text.mid(start, headerEnd - start)),
            FromSingleByte(WithoutTerminator(text.mid(headerEnd + 1)))};
}

QByteArray WithoutTerminator(const QByteArray& info)
{
    qsizetype end = info.size();
    while (end > 0 && (info[end - 1] == '\r' || info[end - 1] == '\0'))
        --end;
    return info.left(end);
}

} // namespace selvane
