// The telemetry history loader ("Load Tlm") on any file contents. The loader
// reads a path (it refuses what is not a regular file before opening it), so
// each input is written to a file in a private temporary folder first.
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "Doubles.h"
#include "telemetry/TelemetryHistory.h"
#include "telemetry/TelemetryState.h"

using namespace selvane;
using namespace selvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("24-06-11.Tlh"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }

    NullTelemetryView view;
    TelemetryState state;
    const QDateTime now(QDate(2024, 6, 11), QTime(14, 5, 0));
    TelemetryHistory history(folder.path(), state, view, [now] { return now; });
    history.LoadTlmHistory(path);

    FUZZ_CHECK(view.loadErrors <= 1);
    FUZZ_CHECK(view.lines <= TelemetryHistory::kMaxRecords);
    if (view.loadErrors == 0) {
        // A loaded file named its day first, and the window says which.
        FUZZ_CHECK(view.captions == 1);
        FUZZ_CHECK(HistoryDay(state.tlmShownDay).isValid());
    }
    return 0;
}
