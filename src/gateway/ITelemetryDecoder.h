#pragma once
#include <QString>

#include "agw/PacketStore.h"

namespace selvane {

// Turns a PCSAT telemetry line (entry 1 of the packet store) into a bulletin.
// Returns true when it replaced entry 1 with the bulletin; false leaves
// everything unchanged.
class ITelemetryDecoder {
public:
    virtual ~ITelemetryDecoder() = default;
    virtual bool DecodeTelemetry(const QString& sourceCall, PacketStore& store) = 0;
};

// Decodes nothing: the gateway without a telemetry decoder.
class NoTelemetryDecoder : public ITelemetryDecoder {
public:
    bool DecodeTelemetry(const QString&, PacketStore&) override { return false; }
};

} // namespace selvane
