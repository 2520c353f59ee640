// The engine as selvane.conf's [engine] and selvaned's --engine give it.
#include <gtest/gtest.h>

#include "agw/EngineConfig.h"
#include "gateway/StationConfig.h"

using namespace selvane;

namespace {

// The lines of the reports ("selvane.conf, riga N: ...").
QList<int> ReportedLines(const QStringList& problems)
{
    QList<int> lines;
    for (const QString& p : problems)
        lines << p.section(QLatin1String(", riga "), 1).section(QLatin1Char(':'), 0, 0).toInt();
    return lines;
}

TEST(EngineConfigTest, SectionAndOption)
{
    struct Row {
        const char* section;  // after "[engine]\n"
        const char* engine;   // the engine in force, as --engine writes it
        QList<int> problemLines;
    };
    const Row rows[] = {
        {"", "agw://:8000", {}},
        {"type = agw\nport = 8001\n", "agw://:8001", {}},
        {"TYPE = KISS-TCP\naddress = localhost:8001\n", "kiss-tcp://localhost:8001", {}},
        {"type = kiss-serial\ndevice = /dev/ttyUSB0\nspeed = 1200\n", "kiss-serial:/dev/ttyUSB0@1200", {}},
        {"type = kiss-serial\ndevice = /dev/rfcomm0\n", "kiss-serial:/dev/rfcomm0@9600", {}},
        // Keys of another type are kept, not used.
        {"type = agw\naddress = localhost:8001\ndevice = /dev/ttyS0\n", "agw://:8000", {}},
        // Damaged lines: reported and ignored; a KISS type without its
        // address or device falls back to agw.
        {"type = kiss\nport = 0\naddress = nohost\nspeed = fast\ncolour = red\n", "agw://:8000", {2, 3, 4, 5, 6}},
        {"type = kiss-tcp\n", "agw://:8000", {2}},
        {"type = kiss-serial\ndevice =\n", "agw://:8000", {2, 3}},
    };
    for (const Row& row : rows) {
        const StationConfigRead r = ParseStationConfig(QByteArray("[engine]\n") + row.section);
        EXPECT_EQ(EngineOptionText(r.config.engine), QLatin1String(row.engine)) << row.section;
        EXPECT_EQ(ReportedLines(r.problems), row.problemLines) << r.problems.join('\n').toStdString();
        // What is written back reads the same.
        ConfigDocument doc = r.document;
        SetStationConfig(doc, r.config);
        EXPECT_EQ(ParseStationConfig(doc.text()).config.engine, r.config.engine) << row.section;
    }

    const std::pair<const char*, const char*> options[] = {
        {"agw://127.0.0.1:8000", "agw://127.0.0.1:8000"},
        {"agw://[::1]:8000", "agw://[::1]:8000"},
        {"kiss-tcp://localhost:8001", "kiss-tcp://localhost:8001"},
        {"kiss-serial:/dev/ttyUSB0", "kiss-serial:/dev/ttyUSB0@9600"},
        {"kiss-serial:/tmp/a@b@4800", "kiss-serial:/tmp/a@b@4800"},
        {"kiss-serial:", nullptr},
        {"kiss-serial:/dev/x@0", nullptr},
        {"kiss-tcp://localhost", nullptr},
        {"agw://:8000", nullptr},
        {"agw://host:70000", nullptr},
        {"tcp://host:1", nullptr},
    };
    for (const auto& [text, expected] : options) {
        QString error;
        const std::optional<EngineConfig> c = ParseEngineOption(QString::fromLatin1(text), &error);
        EXPECT_EQ(c ? EngineOptionText(*c) : QString(), QLatin1String(expected)) << text;
        EXPECT_EQ(error.isEmpty(), expected != nullptr) << text;
    }
}

} // namespace
