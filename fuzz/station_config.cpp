// selvane.conf as a person may write it (and aprs-is.conf of earlier
// releases): read, written back with the values read, and read again.
//
// Input: the text of selvane.conf; after a NUL byte, the text of aprs-is.conf.
#include <cstdint>

#include "Doubles.h"
#include "gateway/StationConfig.h"

using namespace selvane;
using namespace selvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = Bytes(data, size);
    const qsizetype nul = input.indexOf('\0');
    const QByteArray conf = nul < 0 ? input : input.left(nul);
    const QByteArray old = nul < 0 ? QByteArray() : input.mid(nul + 1);

    StationConfigRead read = ParseStationConfig(conf, nul < 0 ? nullptr : &old);
    // The document as it is written back says the same as the file.
    if (nul < 0)
        FUZZ_CHECK(ParseStationConfig(read.document.text()).config == read.config);

    // The values read, written into the document, read back as the same
    // values.
    SetStationConfig(read.document, read.config);
    const StationConfigRead again = ParseStationConfig(read.document.text());
    FUZZ_CHECK(again.config.satellites == read.config.satellites);
    FUZZ_CHECK(again.config.uplink == read.config.uplink);
    return 0;
}
