#pragma once
#include <QRect>
#include <QString>

#include <array>
#include <optional>

namespace selvane {

// The controls of the main window that take part in its layout, in the order
// in which the layout rules are applied.
enum class MainControl {
    Frame2,
    cmbPort,
    lblConnect,
    cmdStart,
    chkReverse,
    chkForward,
    chkTlm,
    Frame1,
    lblVia,
    txtDigi,
    lblAdd,
    txtAdd,
    lblIn,
    txtIn,
    lblOut,
    txtOut,
    lblDup,
    txtDup,
    lblAddress,
    txtAddress,
    Frame5,
    lblWarning,
    Frame3,
    List2,
    optTlm0,
    optTlm1,
    optTlm2,
    chkLog,
    Frame4,
    List1,
};
inline constexpr int kMainControlCount = int(MainControl::List1) + 1;

// The object name of a control ("Frame2", "cmbPort", "optTlm0", ...).
QString MainControlName(MainControl control);

// The frame that contains a control: Frame2 for cmbPort and lblConnect,
// Frame1 for the parameter labels and boxes, Frame5 for lblWarning; none for
// the controls that lie directly on the window.
std::optional<MainControl> ContainingFrame(MainControl control);

// A rectangle in twips: left, top, width, height.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

// Twips and pixels. The windows work at 96 dots per inch: 15 twips make one
// pixel. A twip value, half twips included, converts to the nearest pixel
// (halves away from zero).
inline constexpr int kTwipsPerPixel = 15;
int TwipsToPixels(double twips);
inline constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
QRect TwipsToPixels(const TwipRect& r);

// Outer size of the main window versus its client area.
//
// The layout speaks of the window's outer size (frame included): the design
// client area of 7350 x 3360 twips belongs to an outer size of 7470 x 3765.
// Window managers draw frames of their own choice, so the window keeps the
// design's frame allowance fixed instead of measuring the real frame:
//     outer width  W = client width  in twips + 120
//     outer height H = client height in twips + 405
// The size rules then work on W and H, and convert back to the client area:
//     client width  (px) = round((W - 120) / 15)
//     client height (px) = round((H - 405) / 15)
// Limits: W >= 7470 (client >= 490 px); 1015 <= H <= 3765, i.e. a client
// height between round(610 / 15) = 41 px (outer 1020 twips, the nearest whole
// pixel to 1015) and 3360 / 15 = 224 px.
struct MainWindowMetrics {
    static constexpr int FrameWidthTwips = 120;
    static constexpr int FrameHeightTwips = 405;
    static constexpr int DesignOuterWidth = 7470;   // also the minimum
    static constexpr int MinOuterHeight = 1015;
    static constexpr int MaxOuterHeight = 3765;     // the design height
    static constexpr int DesignClientWidth = DesignOuterWidth - FrameWidthTwips;  // 7350
    static constexpr int DesignClientHeight = MaxOuterHeight - FrameHeightTwips;  // 3360

    static int OuterWidthFromClientPixels(int clientWidthPx);
    static int OuterHeightFromClientPixels(int clientHeightPx);
    static int ClientPixelsFromOuterWidth(int outerWidthTwips);
    static int ClientPixelsFromOuterHeight(int outerHeightTwips);

    // The size rules: a width below 7470 becomes 7470; a height is held
    // within 1015..3765.
    static int ClampOuterWidth(int outerWidthTwips);
    static int ClampOuterHeight(int outerHeightTwips);

    static int MinClientWidthPixels();   // 490
    static int MinClientHeightPixels();  // 41
    static int MaxClientHeightPixels();  // 224
};

// 7470 + (W - 7470) / 2, rounded to the nearest whole number, halves to even.
// The port list and the status line grow by half of the extra width.
int HalfWidth(int outerWidthTwips);

// The position of every control for one outer window width, in twips; the
// positions of controls inside a frame are relative to that frame. A width
// below the design width is first raised to it. Nothing depends on the
// height: the controls never move vertically, the height only shows more or
// less of them.
class MainLayout {
public:
    static MainLayout ForOuterWidth(int outerWidthTwips);

    int outerWidth() const { return m_outerWidth; }
    int halfWidth() const { return m_halfWidth; }
    TwipRect twips(MainControl control) const { return m_rects[std::size_t(control)]; }
    QRect pixels(MainControl control) const { return TwipsToPixels(twips(control)); }

private:
    int m_outerWidth = MainWindowMetrics::DesignOuterWidth;
    int m_halfWidth = MainWindowMetrics::DesignOuterWidth;
    std::array<TwipRect, kMainControlCount> m_rects{};
};

} // namespace selvane
