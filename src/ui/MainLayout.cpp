#include "ui/MainLayout.h"

#include <cmath>

namespace selvane {

namespace {

using M = MainWindowMetrics;

// Floor division for possibly negative numerators.
int FloorDiv(int a, int b)
{
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

QString MainControlName(MainControl control)
{
    static const char* const names[kMainControlCount] = {
        "Frame2",  "cmbPort", "lblConnect", "cmdStart",   "chkReverse", "chkForward",
        "chkTlm",  "Frame1",  "lblVia",     "txtDigi",    "lblAdd",     "txtAdd",
        "lblIn",   "txtIn",   "lblOut",     "txtOut",     "lblDup",     "txtDup",
        "lblAddress", "txtAddress", "Frame5", "lblWarning", "Frame3",   "List2",
        "optTlm0", "optTlm1", "optTlm2",    "chkLog",     "Frame4",     "List1",
    };
    return QString::fromLatin1(names[int(control)]);
}

std::optional<MainControl> ContainingFrame(MainControl control)
{
    switch (control) {
    case MainControl::cmbPort:
    case MainControl::lblConnect:
        return MainControl::Frame2;
    case MainControl::lblVia:
    case MainControl::txtDigi:
    case MainControl::lblAdd:
    case MainControl::txtAdd:
    case MainControl::lblIn:
    case MainControl::txtIn:
    case MainControl::lblOut:
    case MainControl::txtOut:
    case MainControl::lblDup:
    case MainControl::txtDup:
    case MainControl::lblAddress:
    case MainControl::txtAddress:
        return MainControl::Frame1;
    case MainControl::lblWarning:
        return MainControl::Frame5;
    default:
        return std::nullopt;
    }
}

int TwipsToPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}

QRect TwipsToPixels(const TwipRect& r)
{
    return QRect(TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width),
                 TwipsToPixels(r.height));
}

int MainWindowMetrics::OuterWidthFromClientPixels(int clientWidthPx)
{
    return PixelsToTwips(clientWidthPx) + FrameWidthTwips;
}

int MainWindowMetrics::OuterHeightFromClientPixels(int clientHeightPx)
{
    return PixelsToTwips(clientHeightPx) + FrameHeightTwips;
}

int MainWindowMetrics::ClientPixelsFromOuterWidth(int outerWidthTwips)
{
    return TwipsToPixels(outerWidthTwips - FrameWidthTwips);
}

int MainWindowMetrics::ClientPixelsFromOuterHeight(int outerHeightTwips)
{
    return TwipsToPixels(outerHeightTwips - FrameHeightTwips);
}

int MainWindowMetrics::ClampOuterWidth(int outerWidthTwips)
{
    return outerWidthTwips < DesignOuterWidth ? DesignOuterWidth : outerWidthTwips;
}

int MainWindowMetrics::ClampOuterHeight(int outerHeightTwips)
{
    if (outerHeightTwips < MinOuterHeight)
        return MinOuterHeight;
    if (outerHeightTwips > MaxOuterHeight)
        return MaxOuterHeight;
    return outerHeightTwips;
}

int MainWindowMetrics::MinClientWidthPixels()
{
    return ClientPixelsFromOuterWidth(DesignOuterWidth);
}

int MainWindowMetrics::MinClientHeightPixels()
{
    // The nearest whole pixel that still gives at least the minimum height.
    int px = ClientPixelsFromOuterHeight(MinOuterHeight);
    if (OuterHeightFromClientPixels(px) < MinOuterHeight)
        ++px;
    return px;
}

int MainWindowMetrics::MaxClientHeightPixels()
{
    int px = ClientPixelsFromOuterHeight(MaxOuterHeight);
    if (OuterHeightFromClientPixels(px) > MaxOuterHeight)
        --px;
    return px;
}

int HalfWidth(int outerWidthTwips)
{
    const int extra = outerWidthTwips - M::DesignOuterWidth;
    int half = FloorDiv(extra, 2);
    // An odd extra leaves exactly one half: take the even neighbour.
    if (extra % 2 != 0 && half % 2 != 0)
        ++half;
    return M::DesignOuterWidth + half;
}

MainLayout MainLayout::ForOuterWidth(int outerWidthTwips)
{
    MainLayout l;
    const int W = M::ClampOuterWidth(outerWidthTwips);
    const int hw = HalfWidth(W);
    l.m_outerWidth = W;
    l.m_halfWidth = hw;

    auto set = [&l](MainControl c, int left, int top, int width, int height) {
        l.m_rects[std::size_t(c)] = TwipRect{left, top, width, height};
    };
    using C = MainControl;
    // The engine strip.
    set(C::Frame2, 0, -30, W - 1070, 615);
    set(C::cmbPort, hw - 3870, 210, hw - 4750, 315);
    set(C::lblConnect, 120, 225, hw - 4050, 285);
    set(C::cmdStart, W - 950, 90, 750, 495);
    // The gating check boxes keep their distance to the right edge.
    set(C::chkReverse, W - 5280, 600, 1275, 195);
    set(C::chkForward, W - 3790, 600, 1140, 195);
    set(C::chkTlm, W - 2470, 600, 1400, 195);
    // The parameters: the via path stretches, the boxes right of it follow
    // the right edge.
    set(C::Frame1, 0, 730, W - 135, 615);
    set(C::lblVia, 120, 270, 375, 285);
    set(C::txtDigi, 400, 240, W - 6130, 285);
    set(C::lblAdd, W - 5625, 270, 375, 255);
    set(C::txtAdd, W - 5310, 240, 1050, 285);
    set(C::lblIn, W - 4170, 270, 375, 285);
    set(C::txtIn, W - 3830, 240, 380, 285);
    set(C::lblOut, W - 3290, 270, 375, 285);
    set(C::txtOut, W - 3000, 240, 400, 285);
    set(C::lblDup, W - 2470, 270, 375, 255);
    set(C::txtDup, W - 2120, 240, 400, 285);
    set(C::lblAddress, W - 1570, 270, 255, 255);
    set(C::txtAddress, W - 1390, 240, 1150, 285);
    // The warning.
    set(C::Frame5, W - 3630, 1345, 3480, 260);
    set(C::lblWarning, 0, 20, 3480, 225);
    // Received packets, the mode buttons, transmitted packets.
    set(C::Frame3, 4, 1510, W - 135, 855);
    set(C::List2, 120, 1770, W - 375, 450);
    set(C::optTlm0, W - 3510, 2380, 1005, 195);
    set(C::optTlm1, W - 2420, 2380, 700, 195);
    set(C::optTlm2, W - 1710, 2380, 700, 195);
    set(C::chkLog, W - 810, 2370, 1095, 210);
    set(C::Frame4, 4, 2500, W - 135, 855);
    set(C::List1, 120, 2760, W - 375, 450);
    return l;
}

} // namespace selvane
