#include <gtest/gtest.h>

#include "ui/MainLayout.h"

using namespace selvane;
using C = MainControl;
using M = MainWindowMetrics;

namespace {

TwipRect R(int l, int t, int w, int h)
{
    return TwipRect{l, t, w, h};
}

} // namespace

TEST(MainLayout, DesignWidthGivesTheDesignPositions)
{
    const MainLayout l = MainLayout::ForOuterWidth(7470);
    EXPECT_EQ(l.outerWidth(), 7470);
    EXPECT_EQ(l.halfWidth(), 7470);
    EXPECT_EQ(l.twips(C::Frame2), R(0, -30, 6400, 615));
    EXPECT_EQ(l.twips(C::cmbPort), R(3600, 210, 2720, 315));
    EXPECT_EQ(l.twips(C::lblConnect), R(120, 225, 3420, 285));
    EXPECT_EQ(l.twips(C::cmdStart), R(6520, 90, 750, 495));
    EXPECT_EQ(l.twips(C::chkForward), R(3680, 600, 1140, 195));
    EXPECT_EQ(l.twips(C::chkTlm), R(5000, 600, 1400, 195));
    EXPECT_EQ(l.twips(C::Frame1), R(0, 730, 7335, 615));
    EXPECT_EQ(l.twips(C::lblVia), R(120, 270, 375, 285));
    EXPECT_EQ(l.twips(C::txtDigi), R(400, 240, 1340, 285));
    EXPECT_EQ(l.twips(C::lblAdd), R(1845, 270, 375, 255));
    EXPECT_EQ(l.twips(C::txtAdd), R(2160, 240, 1050, 285));
    EXPECT_EQ(l.twips(C::lblIn), R(3300, 270, 375, 285));
    EXPECT_EQ(l.twips(C::txtIn), R(3640, 240, 380, 285));
    EXPECT_EQ(l.twips(C::lblOut), R(4180, 270, 375, 285));
    EXPECT_EQ(l.twips(C::txtOut), R(4470, 240, 400, 285));
    EXPECT_EQ(l.twips(C::lblDup), R(5000, 270, 375, 255));
    EXPECT_EQ(l.twips(C::txtDup), R(5350, 240, 400, 285));
    EXPECT_EQ(l.twips(C::lblAddress), R(5900, 270, 255, 255));
    EXPECT_EQ(l.twips(C::txtAddress), R(6080, 240, 1150, 285));
    EXPECT_EQ(l.twips(C::Frame5), R(3840, 1345, 3480, 260));
    EXPECT_EQ(l.twips(C::lblWarning), R(0, 20, 3480, 225));
    EXPECT_EQ(l.twips(C::Frame3), R(4, 1510, 7335, 855));
    EXPECT_EQ(l.twips(C::List2), R(120, 1770, 7095, 450));
    EXPECT_EQ(l.twips(C::optTlm0), R(3960, 2380, 1005, 195));
    EXPECT_EQ(l.twips(C::optTlm1), R(5050, 2380, 700, 195));
    EXPECT_EQ(l.twips(C::optTlm2), R(5760, 2380, 700, 195));
    EXPECT_EQ(l.twips(C::chkLog), R(6660, 2370, 1095, 210));
    EXPECT_EQ(l.twips(C::Frame4), R(4, 2500, 7335, 855));
    EXPECT_EQ(l.twips(C::List1), R(120, 2760, 7095, 450));
    // "Gate to Sats" follows its rule (W - 5280) from the first layout on,
    // which puts it 10 twips left of its drawn place.
    EXPECT_EQ(l.twips(C::chkReverse), R(2190, 600, 1275, 195));
}

TEST(MainLayout, WideningByTwoThousandStretchesAndMoves)
{
    const MainLayout l = MainLayout::ForOuterWidth(7470 + 2000);
    EXPECT_EQ(l.halfWidth(), 8470);
    EXPECT_EQ(l.twips(C::Frame1).width, 9335);
    EXPECT_EQ(l.twips(C::txtDigi).width, 3340);
    EXPECT_EQ(l.twips(C::cmdStart).left, 8520);
    EXPECT_EQ(l.twips(C::lblConnect).width, 4420);
    EXPECT_EQ(l.twips(C::cmbPort).left, 4600);
    EXPECT_EQ(l.twips(C::cmbPort).width, 3720);
    EXPECT_EQ(l.twips(C::Frame2).width, 8400);
    EXPECT_EQ(l.twips(C::List1).width, 9095);
}

TEST(MainLayout, HalfWidthRoundsHalvesToEven)
{
    EXPECT_EQ(HalfWidth(7470 + 1005), 7972); // 7972.5
    EXPECT_EQ(MainLayout::ForOuterWidth(7470 + 1005).halfWidth(), 7972);
    EXPECT_EQ(HalfWidth(7470 + 1), 7470);     // 7470.5
    EXPECT_EQ(HalfWidth(7470 + 3), 7472);     // 7471.5
    EXPECT_EQ(HalfWidth(7470 + 7), 7474);     // 7473.5
    EXPECT_EQ(HalfWidth(7470 + 2), 7471);
    EXPECT_EQ(HalfWidth(7470 - 3), 7468);     // 7468.5, below the design width
    EXPECT_EQ(HalfWidth(7470 - 1), 7470);     // 7469.5
}

TEST(MainLayout, NarrowWidthsGiveTheDesignLayout)
{
    const MainLayout design = MainLayout::ForOuterWidth(7470);
    for (int w : {7469, 5000, 0, -32768}) {
        const MainLayout l = MainLayout::ForOuterWidth(w);
        EXPECT_EQ(l.outerWidth(), 7470) << w;
        for (int i = 0; i < kMainControlCount; ++i)
            EXPECT_EQ(l.twips(C(i)), design.twips(C(i))) << w << " " << MainControlName(C(i)).toStdString();
    }
}

TEST(MainLayout, NothingMovesVerticallyAndRightControlsKeepTheirDistance)
{
    const MainLayout a = MainLayout::ForOuterWidth(7470);
    const int extra = 3333;
    const MainLayout b = MainLayout::ForOuterWidth(7470 + extra);
    const int half = HalfWidth(7470 + extra) - 7470;
    EXPECT_EQ(half, 1666); // 1666.5 to even
    for (int i = 0; i < kMainControlCount; ++i) {
        const C c = C(i);
        const std::string n = MainControlName(c).toStdString();
        EXPECT_EQ(a.twips(c).top, b.twips(c).top) << n;
        EXPECT_EQ(a.twips(c).height, b.twips(c).height) << n;
    }
    for (C c : {C::cmdStart, C::chkReverse, C::chkForward, C::chkTlm, C::lblAdd, C::txtAdd, C::lblIn, C::txtIn,
                C::lblOut, C::txtOut, C::lblDup, C::txtDup, C::lblAddress, C::txtAddress, C::Frame5, C::optTlm0,
                C::optTlm1, C::optTlm2, C::chkLog}) {
        EXPECT_EQ(b.twips(c).left - a.twips(c).left, extra) << MainControlName(c).toStdString();
        EXPECT_EQ(b.twips(c).width, a.twips(c).width) << MainControlName(c).toStdString();
    }
    for (C c : {C::Frame2, C::Frame1, C::txtDigi, C::Frame3, C::List2, C::Frame4, C::List1}) {
        EXPECT_EQ(b.twips(c).width - a.twips(c).width, extra) << MainControlName(c).toStdString();
        EXPECT_EQ(b.twips(c).left, a.twips(c).left) << MainControlName(c).toStdString();
    }
    EXPECT_EQ(b.twips(C::cmbPort).left - a.twips(C::cmbPort).left, half);
    EXPECT_EQ(b.twips(C::cmbPort).width - a.twips(C::cmbPort).width, half);
    EXPECT_EQ(b.twips(C::lblConnect).width - a.twips(C::lblConnect).width, half);
    EXPECT_EQ(b.twips(C::lblConnect).left, a.twips(C::lblConnect).left);
    // Controls inside a frame do not follow the window's width.
    EXPECT_EQ(b.twips(C::lblVia), a.twips(C::lblVia));
    EXPECT_EQ(b.twips(C::lblWarning), a.twips(C::lblWarning));
}

TEST(MainLayout, TwipsConvertToTheNearestPixel)
{
    EXPECT_EQ(TwipsToPixels(0), 0);
    EXPECT_EQ(TwipsToPixels(7), 0);   // 0.47
    EXPECT_EQ(TwipsToPixels(8), 1);   // 0.53
    EXPECT_EQ(TwipsToPixels(15), 1);
    EXPECT_EQ(TwipsToPixels(-30), -2);
    EXPECT_EQ(TwipsToPixels(-8), -1);
    EXPECT_EQ(TwipsToPixels(-7), 0);
    EXPECT_EQ(TwipsToPixels(6520), 435); // 434.67
    EXPECT_EQ(PixelsToTwips(490), 7350);

    const MainLayout l = MainLayout::ForOuterWidth(7470);
    EXPECT_EQ(l.pixels(C::cmdStart), QRect(435, 6, 50, 33));
    EXPECT_EQ(l.pixels(C::Frame2), QRect(0, -2, 427, 41));
    EXPECT_EQ(l.pixels(C::List2), QRect(8, 118, 473, 30));
}

TEST(MainLayout, WindowMetricsFollowTheFrameAllowance)
{
    EXPECT_EQ(M::OuterWidthFromClientPixels(490), 7470);
    EXPECT_EQ(M::ClientPixelsFromOuterWidth(7470), 490);
    EXPECT_EQ(M::ClientPixelsFromOuterWidth(9000), 592);
    EXPECT_EQ(M::OuterWidthFromClientPixels(592), 9000);
    EXPECT_EQ(M::OuterHeightFromClientPixels(224), 3765);
    EXPECT_EQ(M::ClientPixelsFromOuterHeight(3765), 224);

    EXPECT_EQ(M::MinClientWidthPixels(), 490);
    EXPECT_EQ(M::MaxClientHeightPixels(), 224);
    // 1015 twips is 40.67 client pixels: the nearest whole pixel that keeps
    // at least 1015 is 41 (outer 1020).
    EXPECT_EQ(M::MinClientHeightPixels(), 41);
    EXPECT_GE(M::OuterHeightFromClientPixels(M::MinClientHeightPixels()), 1015);
    EXPECT_LT(M::OuterHeightFromClientPixels(M::MinClientHeightPixels() - 1), 1015);

    EXPECT_EQ(M::ClampOuterHeight(600), 1015);
    EXPECT_EQ(M::ClampOuterHeight(5000), 3765);
    EXPECT_EQ(M::ClampOuterHeight(2000), 2000);
    EXPECT_EQ(M::ClampOuterWidth(7000), 7470);
    EXPECT_EQ(M::ClampOuterWidth(12000), 12000);
}

TEST(MainLayout, ControlsKnowTheirNamesAndFrames)
{
    EXPECT_EQ(MainControlName(C::Frame2), "Frame2");
    EXPECT_EQ(MainControlName(C::optTlm1), "optTlm1");
    EXPECT_EQ(MainControlName(C::List1), "List1");
    EXPECT_EQ(ContainingFrame(C::cmbPort), C::Frame2);
    EXPECT_EQ(ContainingFrame(C::lblConnect), C::Frame2);
    EXPECT_EQ(ContainingFrame(C::txtAddress), C::Frame1);
    EXPECT_EQ(ContainingFrame(C::lblVia), C::Frame1);
    EXPECT_EQ(ContainingFrame(C::lblWarning), C::Frame5);
    EXPECT_FALSE(ContainingFrame(C::cmdStart).has_value());
    EXPECT_FALSE(ContainingFrame(C::List2).has_value());
    EXPECT_FALSE(ContainingFrame(C::Frame3).has_value());
}
