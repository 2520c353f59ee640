#include "agw/EngineProfile.h"

#include <QCoreApplication>

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
    return profile == EngineProfile::DireWolf ? QCoreApplication::translate("EngineProfile", "Dire Wolf-compatibile")
                                              : QCoreApplication::translate("EngineProfile", "AGW Packet Engine");
}

QString ProfileDescription(EngineChoice choice, std::optional<EngineProfile> inForce)
{
    const bool automatic = choice == EngineChoice::Automatic;
    if (!inForce)
        return QCoreApplication::translate("EngineProfile", "Profilo: automatico");
    return automatic ? QCoreApplication::translate("EngineProfile",
            "Profilo: %1 (automatico)").arg(ProfileName(*inForce))
                     : QCoreApplication::translate("EngineProfile", "Profilo: %1").arg(ProfileName(*inForce));
}

} // namespace selvane
