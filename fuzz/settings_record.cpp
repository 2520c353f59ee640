// "Selvane.ini": any bytes read as a record, and whatever was read (or the
// starting values kept after a failure) written and read back.
#include <cstdint>

#include "Doubles.h"
#include "settings/SettingsCheck.h"
#include "settings/SettingsFile.h"

using namespace selvane;
using namespace selvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const SettingsReadResult read = ParseSettingsRecord(bytes);
    FUZZ_CHECK(read.failedField >= 0 && read.failedField <= kSettingsFieldCount);
    // What the strict reading accepts, the forgiving one reads whole.
    const std::optional<SettingsFault> fault = CheckSettingsRecord(bytes);
    FUZZ_CHECK(fault || read.ok());
    FUZZ_CHECK(!fault || (fault->field >= 1 && fault->field <= kSettingsMaxFieldCount + 1));

    // What is written reads back equal, apart from the double quotes the
    // writer drops from texts (an unquoted field may hold one).
    GatewaySettings expected = read.values;
    for (QString* text : {&expected.viaPath, &expected.gatewayCall, &expected.satsPorts,
                          &expected.outPorts, &expected.dupSeconds, &expected.agwpeHost})
        text->remove(QLatin1Char('"'));
    const QByteArray written = FormatSettingsRecord(read.values);
    FUZZ_CHECK(written.endsWith("\r\n"));
    const SettingsReadResult back = ParseSettingsRecord(written);
    FUZZ_CHECK(back.ok());
    FUZZ_CHECK(back.values == expected);
    // Written again, the record is the same bytes.
    FUZZ_CHECK(FormatSettingsRecord(back.values) == written);
    return 0;
}
