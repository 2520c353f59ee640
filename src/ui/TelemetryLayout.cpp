#include "ui/TelemetryLayout.h"

#include <algorithm>
#include <cmath>

namespace selvane {

namespace {

using M = TelemetryWindowMetrics;
using C = TelemetryControl;

// How much shorter than its frame each list is.
constexpr double kListShorter = 250;
// Room a frame leaves below itself inside its share of rows.
constexpr double kFrameGap = 140;

} // namespace

QString TelemetryControlName(TelemetryControl control)
{
    static const char* const names[kTelemetryControlCount] = {
        "frmA", "lstA", "frmB", "lstB", "frmM", "lstM", "cmdHide", "cmdLoadTlm",
    };
    return QString::fromLatin1(names[int(control)]);
}
double TelemetryWindowMetrics::ClampOuterHeight(double outerHeightTwips)
{
    if (std::isnan(outerHeightTwips))
        return MinOuterHeight;
    return std::clamp(outerHeightTwips, double(MinOuterHeight), MaxOuterHeight());
}

int TelemetryWindowMetrics::ClientWidthPixels()
{
    return ClientWidth / TwipsPerPixel;
}

int TelemetryWindowMetrics::MinClientHeightPixels()
{
    return ClientPixelsFromOuterHeight(MinOuterHeight);
}

int TelemetryWindowMetrics::ClientPixelsFromOuterHeight(double outerHeightTwips)
{
    return TwipsToPixels(ClampOuterHeight(outerHeightTwips) - FrameHeightTwips);
}

double TelemetryWindowMetrics::OuterHeightFromClientPixels(int clientHeightPx)
{
    if (clientHeightPx <= MinClientHeightPixels())
        return MinOuterHeight;
    return ClampOuterHeight(double(clientHeightPx) * TwipsPerPixel + FrameHeightTwips);
}

QRect TelemetryWindowMetrics::Pixels(const TwipRectF& r)
{
    return QRect(TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width), TwipsToPixels(r.height));
}

TelemetryLayout TelemetryLayout::Design()
{
    TelemetryLayout l;
    l.at(C::frmA) = {0, 0, 4900, 1575};
    l.at(C::lstA) = {120, 200, 4700, 1260};
    l.at(C::frmB) = {0, 1560, 4900, 1575};
    l.at(C::lstB) = {120, 200, 4700, 1260};
    l.at(C::frmM) = {0, 3120, 4000, 1335};
    l.at(C::lstM) = {120, 200, 3800, 1020};
    l.at(C::cmdHide) = {4075, 3240, 825, 270};
    l.at(C::cmdLoadTlm) = {4075, 3600, 825, 270};
    return l;
}

TelemetryLayout TelemetryLayout::ForOuterHeight(double outerHeightTwips)
{
    TelemetryLayout l = Design();
    const double h = M::ClampOuterHeight(outerHeightTwips);
    l.m_outerHeight = h;
    l.m_rowUnit = int(RoundHalfEven(h / 11));
    const double row = l.m_rowUnit;

    auto placeFrame = [&](C frame, C list, double top, int rows) {
        TwipRectF& f = l.at(frame);
        f.top = top;
        f.height = rows * row - kFrameGap;
        l.at(list).height = f.height - kListShorter;
    };
    placeFrame(C::frmA, C::lstA, 0, 4);
    placeFrame(C::frmB, C::lstB, l.at(C::frmA).height, 4);
    placeFrame(C::frmM, C::lstM, l.at(C::frmB).top + l.at(C::frmB).height, 3);

    const double buttonHeight = h / 20 + 100;
    TwipRectF& hide = l.at(C::cmdHide);
    hide.top = l.at(C::frmM).top + kFrameGap;
    hide.height = buttonHeight;
    TwipRectF& load = l.at(C::cmdLoadTlm);
    load.top = hide.top + row;
    load.height = buttonHeight;
    return l;
}

} // namespace selvane
