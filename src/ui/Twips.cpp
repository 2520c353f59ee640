#include "ui/Twips.h"

#include <algorithm>
#include <cmath>

namespace selvane {

int TwipsToPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}

int MainWindowMetrics::OuterWidthFromClientPixels(int clientWidthPx)
{
    return PixelsToTwips(clientWidthPx) + Frame.widthTwips;
}

int MainWindowMetrics::ClientPixelsFromOuterWidth(int outerWidthTwips)
{
    return TwipsToPixels(outerWidthTwips - Frame.widthTwips);
}

int MainWindowMetrics::OuterHeightFromClientPixels(int clientHeightPx)
{
    return PixelsToTwips(clientHeightPx) + Frame.heightTwips;
}

int MainWindowMetrics::ClientPixelsFromOuterHeight(int outerHeightTwips)
{
    return TwipsToPixels(outerHeightTwips - Frame.heightTwips);
}

QSize MainWindowMetrics::DesignClientPixels()
{
    return QSize(ClientPixelsFromOuterWidth(DesignOuterWidth), ClientPixelsFromOuterHeight(DesignOuterHeight));
}

double TelemetryWindowMetrics::ClampOuterHeight(double outerHeightTwips)
{
    if (std::isnan(outerHeightTwips))
        return MinOuterHeight;
    return std::clamp(outerHeightTwips, double(MinOuterHeight), MaxOuterHeight());
}

int TelemetryWindowMetrics::ClientPixelsFromOuterHeight(double outerHeightTwips)
{
    return TwipsToPixels(ClampOuterHeight(outerHeightTwips) - Frame.heightTwips);
}

double TelemetryWindowMetrics::OuterHeightFromClientPixels(int clientHeightPx)
{
    return ClampOuterHeight(double(clientHeightPx) * kTwipsPerPixel + Frame.heightTwips);
}

QSize TelemetryWindowMetrics::DesignClientPixels()
{
    return QSize(TwipsToPixels(DesignOuterWidth - Frame.widthTwips), ClientPixelsFromOuterHeight(DesignOuterHeight));
}

} // namespace selvane
