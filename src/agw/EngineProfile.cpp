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
    case EngineChoice::RawFrames:
        return EngineProfile::RawFrames;
    case EngineChoice::Automatic:
        break;
    }
    if (!version)
        return std::nullopt;
    return *version == kDireWolfVersion ? EngineProfile::DireWolf : EngineProfile::Agwpe;
}

ViaForm ViaFormOf(EngineProfile profile)
{
    return profile == EngineProfile::Agwpe ? ViaForm::SevenChar : ViaForm::Text;
}

bool AsksForRawFrames(EngineProfile profile)
{
    return profile != EngineProfile::Agwpe;
}

QString ProfileName(EngineProfile profile)
{
    switch (profile) {
    case EngineProfile::Agwpe:
        break;
    case EngineProfile::DireWolf:
        return QCoreApplication::translate("selvane::EngineProfile", "Dire Wolf-compatibile");
    case EngineProfile::RawFrames:
        return QCoreApplication::translate("selvane::EngineProfile", "frame grezzi in entrambe le direzioni");
    }
    return QStringLiteral("AGW Packet Engine");
}

QString ProfileDescription(EngineChoice choice, std::optional<EngineProfile> inForce)
{
    const bool automatic = choice == EngineChoice::Automatic;
    if (!inForce)
        return QCoreApplication::translate("selvane::EngineProfile", "Profilo: automatico");
    return automatic ? QCoreApplication::translate("selvane::EngineProfile", "Profilo: %1 (automatico)")
                           .arg(ProfileName(*inForce))
                     : QCoreApplication::translate("selvane::EngineProfile", "Profilo: %1").arg(ProfileName(*inForce));
}

} // namespace selvane
