#pragma once

namespace selvane {

// Every event line of selvaned starts with the local date and time. With TZ
// unset, glibc looks at /etc/localtime again (a stat() at least) for every
// conversion to local time, a quarter of selvaned's processor time per gated
// packet (bench_soak). With TZ set, it reads the zone once and keeps it
// while TZ does not change.

// Called first thing in main(), before any thread starts: when TZ is unset,
// names the system's zone file in it (":/etc/localtime", the same zone), so
// the zone is read once.
void ReadLocalTimeZoneOnce();

// The zone is read again now (SIGHUP), whatever TZ holds: a changed
// /etc/localtime, or a time-zone database updated for the zone named in TZ,
// applies from the next time stamp on.
void ReadLocalTimeZoneAgain();

} // namespace selvane
