#pragma once
#include <QString>

#include <optional>

#include "settings/GatewaySettings.h"

namespace selvane {

// How Selvane talks to the engine it is connected to.
//   Agwpe:    "m", "R", "G" on connecting; the monitor header line is used
//             as the engine writes it; repeated via entries in the
//             seven-character form ("RS0ISSP", "N0CALLE").
//   DireWolf: the same requests and then "k" (raw frames): the "*" marks of
//             every heard header line come from the "has been repeated" bits
//             of its raw frame; repeated via entries in the text form
//             ("RS0ISS*", "N0CALL-5*"), the only one such engines accept.
//   RawFrames: raw frames both ways: received as with DireWolf, and sent as
//             "K" frames (the AX.25 frame, repeated entries with their
//             bit set) instead of "V", for engines that take "K" and drop
//             "V" (the Qt sound modem).
enum class EngineProfile { Agwpe, DireWolf, RawFrames };

// The version an engine reports in its "R" reply.
struct EngineVersion {
    unsigned major = 0;
    unsigned minor = 0;
    bool operator==(const EngineVersion&) const = default;
};

// Dire Wolf reports this fixed version whatever its release.
inline constexpr EngineVersion kDireWolfVersion{2005, 127};

// The profile in force for the user's choice and the engine's version:
// nullopt while the choice is automatic and the version is not known yet.
std::optional<EngineProfile> ProfileInForce(EngineChoice choice, std::optional<EngineVersion> version);

ViaForm ViaFormOf(EngineProfile profile);

// Whether "k" is asked for: the marks then come from the raw frames.
bool AsksForRawFrames(EngineProfile profile);

// "AGW Packet Engine", "Dire Wolf-compatibile", "frame grezzi in entrambe le direzioni".
QString ProfileName(EngineProfile profile);

// What the window shows: the profile in force and whether it was chosen
// automatically, e.g. "Profilo: Dire Wolf-compatibile (automatico)";
// "Profilo: automatico" before the engine has answered.
QString ProfileDescription(EngineChoice choice, std::optional<EngineProfile> inForce);

} // namespace selvane
