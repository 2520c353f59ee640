#include "agw/EngineProfile.h"

namespace selvane {

std::optional<EngineProfile> ProfileInForce(EngineChoice choice, std::optional<EngineVersion> version)
{
    switch (choice) {
    case EngineChoice::Agwpe:
        return EngineProfile::Agwpe;
    case EngineChoice::DireWolf:
        return EngineProfile::DireWolf;
    case EngineChoice::Automatic:
        break;
    }
    if (!version)
        return std::nullopt;
    return *version == kDireWolfVersion ? EngineProfile::DireWolf : EngineProfile::Agwpe;
}

ViaForm ViaFormOf(EngineProfile profile)
{
    return profile == EngineProfile::DireWolf ? ViaForm::Text : ViaForm::SevenChar;
}

QString ProfileName(EngineProfile profile)
{
    return profile == EngineProfile::DireWolf ? QStringLiteral("Dire Wolf-compatibile")
                                              : QStringLiteral("AGW Packet Engine");
}

QString ProfileDescription(EngineChoice choice, std::optional<EngineProfile> inForce)
{
    const bool automatic = choice == EngineChoice::Automatic;
    if (!inForce)
        return QStringLiteral("Profilo: automatico");
    return QStringLiteral("Profilo: ") + ProfileName(*inForce)
        + (automatic ? QStringLiteral(" (automatico)") : QString());
}

} // namespace selvane
