#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace selvane::test {

// The whole file, or nothing when it cannot be read.
inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

} // namespace selvane::test
