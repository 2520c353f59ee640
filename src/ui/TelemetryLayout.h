#pragma once
#include <QRect>
#include <QString>

#include <array>

#include "common/TextRules.h"
#include "ui/MainLayout.h"

namespace selvane {

// The controls of the telemetry window, in the order the layout places them.
enum class TelemetryControl { frmA, lstA, frmB, lstB, frmM, lstM, cmdHide, cmdLoadTlm };
inline constexpr int kTelemetryControlCount = int(TelemetryControl::cmdLoadTlm) + 1;

// The object name of a control ("frmA", "lstA", ..., "cmdLoadTlm").
QString TelemetryControlName(TelemetryControl control);

// A rectangle in twips, which may hold half twips (the buttons are H / 20 +
// 100 high); it is rounded only when converted to pixels.
struct TwipRectF {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipRectF&) const = default;
};

// Sizes of the telemetry window.
//
// The layout rules speak of the window's outer size (frame included): the
// design client area of 4935 x 4440 twips belongs to an outer size of
// 5050 x 4850. Window managers draw frames of their own choice, so the window
// keeps this frame allowance fixed instead of measuring the real frame:
//     outer width  = client width  in twips + 115
//     outer height = client height in twips + 410
// At 15 twips per pixel the fixed outer width 5050 is a client width of
// exactly 329 pixels. A height converts to the nearest whole pixel:
//     client height (px) = round((H - 410) / 15)
// and back as px * 15 + 410, except that the smallest client height,
// 173 px (the nearest pixel to the minimum H = 3000), stands for exactly
// 3000.
// Heights are held within 3000 .. MaxOuterHeight(): the upper bound keeps
// a client height of at most 32767 px (the largest window the X11 protocol
// can describe), so that an absurd stored height cannot overflow the pixel
// arithmetic. A height that is not a number counts as the minimum.
struct TelemetryWindowMetrics {
    static constexpr int TwipsPerPixel = kTwipsPerPixel;
    static constexpr int FrameWidthTwips = 115;
    static constexpr int FrameHeightTwips = 410;
    static constexpr int OuterWidth = 5050;
    static constexpr int ClientWidth = OuterWidth - FrameWidthTwips;                  // 4935
    static constexpr int DesignOuterHeight = 4850;
    static constexpr int DesignClientHeight = DesignOuterHeight - FrameHeightTwips;   // 4440
    static constexpr int MinOuterHeight = 3000;
    static constexpr int MaxClientHeightPixels = 32767;
    static constexpr double MaxOuterHeight()
    {
        return double(MaxClientHeightPixels) * TwipsPerPixel + FrameHeightTwips;
    }

    // H held within MinOuterHeight .. MaxOuterHeight(); NaN gives the minimum.
    static double ClampOuterHeight(double outerHeightTwips);

    static int ClientWidthPixels();                               // 329
    static int MinClientHeightPixels();                           // 173
    static int ClientPixelsFromOuterHeight(double outerHeightTwips);
    static double OuterHeightFromClientPixels(int clientHeightPx);
    static QRect Pixels(const TwipRectF& r);
};

// The position of every control of the telemetry window in twips; the
// positions of the lists are relative to their frames, the others to the
// client area.
class TelemetryLayout {
public:
    // The positions the window is drawn with before its first layout.
    static TelemetryLayout Design();

    // The layout rules for an outer height H (first held within the limits of
    // TelemetryWindowMetrics):
    //   rowUnit = H / 11, rounded half to even;
    //   frmA: top 0, height 4 rowUnit - 140; frmB below it, same height;
    //   frmM below frmB, height 3 rowUnit - 140; each list 250 lower than
    //   its frame; cmdHide at frmM's top + 140, cmdLoadTlm one rowUnit lower,
    //   both H / 20 + 100 high.
    // Left edges and widths stay as designed.
    static TelemetryLayout ForOuterHeight(double outerHeightTwips);

    // The outer height the layout was made for (after the limits); the
    // design's 4850 for Design().
    double outerHeight() const { return m_outerHeight; }
    // 0 for Design(), which is not made by the rules.
    int rowUnit() const { return m_rowUnit; }

    TwipRectF twips(TelemetryControl control) const { return m_rects[std::size_t(control)]; }
    QRect pixels(TelemetryControl control) const
    {
        return TelemetryWindowMetrics::Pixels(twips(control));
    }

private:
    TwipRectF& at(TelemetryControl c) { return m_rects[std::size_t(c)]; }

    double m_outerHeight = TelemetryWindowMetrics::DesignOuterHeight;
    int m_rowUnit = 0;
    std::array<TwipRectF, kTelemetryControlCount> m_rects{};
};

} // namespace selvane
