#include "headless/LocalTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace selvane {

void ReadLocalTimeZoneOnce()
{
    if (!std::getenv("TZ"))
        ::setenv("TZ", ":/etc/localtime", 1);
    ::tzset();
}

void ReadLocalTimeZoneAgain()
{
    const char* now = std::getenv("TZ");
    if (!now) {
        ReadLocalTimeZoneOnce();
        return;
    }
    // glibc reads the zone again only when TZ has changed since the last
    // reading: another value first, then the same one back.
    const std::string tz = now;
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    ::setenv("TZ", tz.c_str(), 1);
    ::tzset();
}

} // namespace selvane
