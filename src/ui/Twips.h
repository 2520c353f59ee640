#pragma once
#include <QSize>

namespace selvane {

// Window places and sizes are stored in Selvane.ini in twips (1/1440 inch).
// The windows work in logical pixels at 96 dots per inch, whatever the
// screen's scaling: 15 twips make one pixel. A twip value, half twips
// included, converts to the nearest pixel (halves away from zero).
inline constexpr int kTwipsPerPixel = 15;
int TwipsToPixels(double twips);
inline constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// The settings speak of a window's outer size, frame included. Window
// managers draw frames of their own choice, so each window keeps a fixed
// frame allowance instead of measuring its real frame; the allowance is
// also what placement assumes a frame takes before the window is shown.
struct FrameAllowance {
    int widthTwips;
    int heightTwips;
    QSize pixels() const { return QSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips)); }
};

// The main window: its outer width is stored (field 9), its height is not.
//     outer width in twips = client width in pixels * 15 + 120
// The design size, 7470 x 3765 twips outer (490 x 224 pixels of client
// area), is the starting size; a window that needs more room for its texts
// starts, and stays, larger.
struct MainWindowMetrics {
    static constexpr FrameAllowance Frame{120, 405};
    static constexpr int DesignOuterWidth = 7470;
    static constexpr int DesignOuterHeight = 3765;

    static int OuterWidthFromClientPixels(int clientWidthPx);
    static int ClientPixelsFromOuterWidth(int outerWidthTwips);
    static int OuterHeightFromClientPixels(int clientHeightPx);
    static int ClientPixelsFromOuterHeight(int outerHeightTwips);
    static QSize DesignClientPixels();  // 490 x 224
};

// The telemetry window: its outer height is stored (field 12), with a
// fraction when the file holds one; its width is not.
//     client height in pixels = round((H - 410) / 15), back as px * 15 + 410
// Stored heights are first held within 3000 .. MaxOuterHeight() (a height
// that is not a number counts as 3000): the upper bound keeps the client
// height within what the X11 protocol can describe (32767 pixels), so an
// absurd value cannot overflow the pixel arithmetic. The design size is
// 5050 x 4850 twips outer (329 x 296 pixels of client area).
struct TelemetryWindowMetrics {
    static constexpr FrameAllowance Frame{115, 410};
    static constexpr int DesignOuterWidth = 5050;
    static constexpr int DesignOuterHeight = 4850;
    static constexpr int MinOuterHeight = 3000;
    static constexpr int MaxClientHeightPixels = 32767;
    static constexpr double MaxOuterHeight()
    {
        return double(MaxClientHeightPixels) * kTwipsPerPixel + Frame.heightTwips;
    }

    static double ClampOuterHeight(double outerHeightTwips);
    static int ClientPixelsFromOuterHeight(double outerHeightTwips);
    static double OuterHeightFromClientPixels(int clientHeightPx);
    static QSize DesignClientPixels();  // 329 x 296
};

} // namespace selvane
