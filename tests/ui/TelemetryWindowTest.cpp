#include <QGroupBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/TelemetryLayout.h"
#include "ui/TelemetryWindow.h"

using namespace selvane;
using C = TelemetryControl;
using M = TelemetryWindowMetrics;

namespace {

TwipRectF R(double l, double t, double w, double h)
{
    return TwipRectF{l, t, w, h};
}

// ---------------------------------------------------------------- layout

TEST(TelemetryLayout, RoundHalfEven)
{
    EXPECT_EQ(RoundHalfEven(440.5), 440);
    EXPECT_EQ(RoundHalfEven(441.5), 442);
    EXPECT_EQ(RoundHalfEven(272.5), 272);
    EXPECT_EQ(RoundHalfEven(440.49), 440);
    EXPECT_EQ(RoundHalfEven(440.51), 441);
    EXPECT_EQ(RoundHalfEven(441), 441);
}

TEST(TelemetryLayout, DesignPositions)
{
    const TelemetryLayout l = TelemetryLayout::Design();
    EXPECT_EQ(l.twips(C::frmA), R(0, 0, 4900, 1575));
    EXPECT_EQ(l.twips(C::lstA), R(120, 200, 4700, 1260));
    EXPECT_EQ(l.twips(C::frmB), R(0, 1560, 4900, 1575));
    EXPECT_EQ(l.twips(C::lstB), R(120, 200, 4700, 1260));
    EXPECT_EQ(l.twips(C::frmM), R(0, 3120, 4000, 1335));
    EXPECT_EQ(l.twips(C::lstM), R(120, 200, 3800, 1020));
    EXPECT_EQ(l.twips(C::cmdHide), R(4075, 3240, 825, 270));
    EXPECT_EQ(l.twips(C::cmdLoadTlm), R(4075, 3600, 825, 270));
    EXPECT_EQ(l.rowUnit(), 0);
}

TEST(TelemetryLayout, DesignHeight4850)
{
    const TelemetryLayout l = TelemetryLayout::ForOuterHeight(4850);
    EXPECT_EQ(l.rowUnit(), 441); // 440.9
    EXPECT_EQ(l.twips(C::frmA), R(0, 0, 4900, 1624));
    EXPECT_EQ(l.twips(C::lstA), R(120, 200, 4700, 1374));
    EXPECT_EQ(l.twips(C::frmB), R(0, 1624, 4900, 1624));
    EXPECT_EQ(l.twips(C::lstB), R(120, 200, 4700, 1374));
    EXPECT_EQ(l.twips(C::frmM), R(0, 3248, 4000, 1183));
    EXPECT_EQ(l.twips(C::lstM), R(120, 200, 3800, 933));
    EXPECT_EQ(l.twips(C::cmdHide), R(4075, 3388, 825, 342.5));
    EXPECT_EQ(l.twips(C::cmdLoadTlm), R(4075, 3829, 825, 342.5));
    // Half twips are rounded only in pixels: 342.5 / 15 = 22.83.
    EXPECT_EQ(l.pixels(C::cmdHide), QRect(272, 226, 55, 23));
    EXPECT_EQ(l.pixels(C::lstA), QRect(8, 13, 313, 92));
}

TEST(TelemetryLayout, OtherHeights)
{
    // 6000 / 11 = 545.45 -> 545; buttons 400 high.
    TelemetryLayout l = TelemetryLayout::ForOuterHeight(6000);
    EXPECT_EQ(l.rowUnit(), 545);
    EXPECT_EQ(l.twips(C::frmA).height, 2040);
    EXPECT_EQ(l.twips(C::frmB).top, 2040);
    EXPECT_EQ(l.twips(C::frmM).top, 4080);
    EXPECT_EQ(l.twips(C::frmM).height, 1495);
    EXPECT_EQ(l.twips(C::lstM).height, 1245);
    EXPECT_EQ(l.twips(C::cmdHide).top, 4220);
    EXPECT_EQ(l.twips(C::cmdHide).height, 400);
    EXPECT_EQ(l.twips(C::cmdLoadTlm).top, 4765);

    // 3000 / 11 = 272.7 -> 273; the minimum height.
    l = TelemetryLayout::ForOuterHeight(3000);
    EXPECT_EQ(l.rowUnit(), 273);
    EXPECT_EQ(l.twips(C::frmA).height, 952);
    EXPECT_EQ(l.twips(C::lstA).height, 702);
    EXPECT_EQ(l.twips(C::frmM).top, 1904);
    EXPECT_EQ(l.twips(C::frmM).height, 679);
    EXPECT_EQ(l.twips(C::cmdHide).height, 250);
}

TEST(TelemetryLayout, RowUnitHalvesGoToEven)
{
    // 4856.5 / 11 = 441.5 -> 442 (even); 4845.5 / 11 = 440.5 -> 440 (even).
    TelemetryLayout l = TelemetryLayout::ForOuterHeight(4856.5);
    EXPECT_EQ(l.rowUnit(), 442);
    EXPECT_EQ(l.twips(C::frmA).height, 1628);
    EXPECT_EQ(l.twips(C::cmdHide).height, 4856.5 / 20 + 100);
    EXPECT_EQ(l.twips(C::cmdLoadTlm).top, 2 * 1628 + 140 + 442);

    l = TelemetryLayout::ForOuterHeight(4845.5);
    EXPECT_EQ(l.rowUnit(), 440);
    EXPECT_EQ(l.twips(C::frmB).top, 1620);
    EXPECT_EQ(l.twips(C::frmM).height, 1180);
}

TEST(TelemetryLayout, HeightsOutsideTheLimits)
{
    const TelemetryLayout low = TelemetryLayout::ForOuterHeight(1200);
    EXPECT_EQ(low.outerHeight(), 3000);
    EXPECT_EQ(low.twips(C::frmA), TelemetryLayout::ForOuterHeight(3000).twips(C::frmA));
    EXPECT_EQ(TelemetryLayout::ForOuterHeight(-5).outerHeight(), 3000);
    EXPECT_EQ(TelemetryLayout::ForOuterHeight(std::nan("")).outerHeight(), 3000);

    const double inf = std::numeric_limits<double>::infinity();
    const TelemetryLayout high = TelemetryLayout::ForOuterHeight(inf);
    EXPECT_EQ(high.outerHeight(), M::MaxOuterHeight());
    EXPECT_EQ(high.rowUnit(), int(RoundHalfEven(M::MaxOuterHeight() / 11)));
    EXPECT_EQ(TelemetryLayout::ForOuterHeight(1e300).outerHeight(), M::MaxOuterHeight());
}

TEST(TelemetryLayout, OuterAndClientSizes)
{
    EXPECT_EQ(M::ClientWidthPixels(), 329); // 4935 twips
    EXPECT_EQ(M::ClientPixelsFromOuterHeight(4850), 296); // 4440 twips
    EXPECT_EQ(M::OuterHeightFromClientPixels(296), 4850);
    EXPECT_EQ(M::MinClientHeightPixels(), 173); // 2590 / 15 = 172.7
    EXPECT_EQ(M::OuterHeightFromClientPixels(173), 3000);
    EXPECT_EQ(M::OuterHeightFromClientPixels(40), 3000);
    EXPECT_EQ(M::OuterHeightFromClientPixels(174), 174 * 15 + 410);
    EXPECT_EQ(M::ClientPixelsFromOuterHeight(1e12), M::MaxClientHeightPixels);
    EXPECT_EQ(TwipsToPixels(7.5), 1); // halves away from zero
    EXPECT_EQ(TelemetryControlName(C::cmdLoadTlm), QStringLiteral("cmdLoadTlm"));
}

// ---------------------------------------------------------------- window

class TelemetryWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<TelemetryWindow> window = std::make_unique<TelemetryWindow>();
    TelemetryWindow& w = *window;

    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QWidget* find(C c) const { return find(TelemetryControlName(c)); }

    // Every control stands where the given layout puts it.
    void expectPlacedAs(const TelemetryLayout& l) const
    {
        for (int i = 0; i < kTelemetryControlCount; ++i) {
            const auto c = C(i);
            EXPECT_EQ(find(c)->geometry(), l.pixels(c)) << TelemetryControlName(c).toStdString();
        }
    }
};

TEST_F(TelemetryWindowTest, CreatedHiddenTopLevelWithoutMinimiseOrMaximise)
{
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.isWindow());
    EXPECT_EQ(w.parentWidget(), nullptr);
    EXPECT_EQ(w.objectName(), QStringLiteral("frmTlm"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PCSAT Telemetry"));
    const Qt::WindowFlags f = w.windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(f.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(w.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(w.size(), QSize(329, 296));
    expectPlacedAs(TelemetryLayout::Design());
}

TEST_F(TelemetryWindowTest, CaptionsTooltipsAndNesting)
{
    struct Expect {
        const char* name;
        const char* caption;
        const char* tip;
        const char* parent;
    };
    const Expect frames[] = {
        {"frmA", "Side A", "", "frmTlm"},
        {"frmB", "Side B", "", "frmTlm"},
        {"frmM", "Panels Current", "", "frmTlm"},
    };
    for (const Expect& e : frames) {
        auto* g = find<QGroupBox>(QString::fromLatin1(e.name));
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->title(), QString::fromLatin1(e.caption));
        EXPECT_EQ(g->parentWidget()->objectName(), QString::fromLatin1(e.parent));
    }
    const Expect lists[] = {
        {"lstA", "", "Lato A PCSAT. Formato: Gruppo - Ora - Dati.", "frmA"},
        {"lstB", "", "Lato B PCSAT. Formato: Gruppo - Ora - Dati.", "frmB"},
        {"lstM", "", "Corrente in mA fornita dai 6 pannelli solari del PCSAT.", "frmM"},
    };
    for (const Expect& e : lists) {
        auto* l = find<QListWidget>(QString::fromLatin1(e.name));
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->toolTip(), QString::fromLatin1(e.tip));
        EXPECT_TRUE(l->isSortingEnabled());
        EXPECT_EQ(l->parentWidget()->objectName(), QString::fromLatin1(e.parent));
    }
    const Expect buttons[] = {
        {"cmdHide", "Hide", "Nascondi finestra.", "frmTlm"},
        {"cmdLoadTlm", "Load Tlm", "Carica i dati storici di telemetria del PCSAT.", "frmTlm"},
    };
    for (const Expect& e : buttons) {
        auto* b = find<QPushButton>(QString::fromLatin1(e.name));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), QString::fromLatin1(e.caption));
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(e.tip));
        EXPECT_EQ(b->parentWidget()->objectName(), QString::fromLatin1(e.parent));
    }

    w.setTelemetryCaption(QStringLiteral("Current PCSAT Telemetry - sabato 15 giugno 2002"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Current PCSAT Telemetry - sabato 15 giugno 2002"));
    EXPECT_EQ(w.telemetryCaption(), w.windowTitle());
}

TEST_F(TelemetryWindowTest, ListsSortTheirLinesAndClearTogether)
{
    w.addTelemetryLine(TelemetryList::A, QStringLiteral("2 10:00 Temp +X=14.4C"));
    w.addTelemetryLine(TelemetryList::A, QStringLiteral("1 10:05 Batt A=15.1V"));
    EXPECT_EQ(w.lines(TelemetryList::A),
              QStringList({QStringLiteral("1 10:05 Batt A=15.1V"),
                           QStringLiteral("2 10:00 Temp +X=14.4C")}));
    // Same group: by time; the list widget itself shows that order.
    w.addTelemetryLine(TelemetryList::A, QStringLiteral("1 09:55 Batt A=15.0V"));
    auto* lstA = find<QListWidget>(QStringLiteral("lstA"));
    ASSERT_EQ(lstA->count(), 3);
    EXPECT_EQ(lstA->item(0)->text(), QStringLiteral("1 09:55 Batt A=15.0V"));
    EXPECT_EQ(lstA->item(2)->text(), QStringLiteral("2 10:00 Temp +X=14.4C"));

    // Each list receives only its own lines; code-point order, so "9" after
    // "0" and upper case before lower case.
    w.addTelemetryLine(TelemetryList::M, QStringLiteral("9 10:00 b"));
    w.addTelemetryLine(TelemetryList::M, QStringLiteral("0 10:00 b"));
    w.addTelemetryLine(TelemetryList::M, QStringLiteral("0 10:00 B"));
    w.addTelemetryLine(TelemetryList::B, QStringLiteral("5 10:00 x"));
    EXPECT_EQ(w.lines(TelemetryList::M),
              QStringList({QStringLiteral("0 10:00 B"), QStringLiteral("0 10:00 b"),
                           QStringLiteral("9 10:00 b")}));
    EXPECT_EQ(w.lines(TelemetryList::B), QStringList({QStringLiteral("5 10:00 x")}));
    EXPECT_EQ(w.lines(TelemetryList::A).size(), 3);

    // Identical lines are both kept; Latin-1 text survives.
    w.addTelemetryLine(TelemetryList::B, QStringLiteral("5 10:00 x"));
    w.addTelemetryLine(TelemetryList::B, QString::fromLatin1("6 10:00 \xb0" "C"));
    EXPECT_EQ(w.lines(TelemetryList::B),
              QStringList({QStringLiteral("5 10:00 x"), QStringLiteral("5 10:00 x"),
                           QString::fromLatin1("6 10:00 \xb0" "C")}));

    w.clearTelemetryLists();
    EXPECT_TRUE(w.lines(TelemetryList::A).isEmpty());
    EXPECT_TRUE(w.lines(TelemetryList::B).isEmpty());
    EXPECT_TRUE(w.lines(TelemetryList::M).isEmpty());
    w.addTelemetryLine(TelemetryList::A, QStringLiteral("3 11:00 z"));
    EXPECT_EQ(w.lines(TelemetryList::A), QStringList({QStringLiteral("3 11:00 z")}));
}

TEST_F(TelemetryWindowTest, HeightSetWhileHiddenLaysOutAtOnce)
{
    w.setOuterHeightTwips(4850);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.outerHeightTwips(), 4850);
    EXPECT_EQ(w.size(), QSize(329, 296));
    EXPECT_EQ(w.currentLayout().rowUnit(), 441);
    expectPlacedAs(TelemetryLayout::ForOuterHeight(4850));

    w.setOuterHeightTwips(6000);
    EXPECT_EQ(w.outerHeightTwips(), 6000);
    EXPECT_EQ(w.size(), QSize(329, 373)); // (6000 - 410) / 15 = 372.7
    expectPlacedAs(TelemetryLayout::ForOuterHeight(6000));

    // A fraction is kept (and rounds half to even in the row unit).
    w.setOuterHeightTwips(4845.5);
    EXPECT_EQ(w.outerHeightTwips(), 4845.5);
    EXPECT_EQ(w.currentLayout().rowUnit(), 440);
    EXPECT_EQ(w.size(), QSize(329, 296)); // 295.7 px
    expectPlacedAs(TelemetryLayout::ForOuterHeight(4845.5));

    w.setOuterHeightTwips(0); // e.g. an empty field in the settings
    EXPECT_EQ(w.outerHeightTwips(), 3000);
    EXPECT_EQ(w.height(), 173);
    w.setOuterHeightTwips(1e20);
    EXPECT_EQ(w.outerHeightTwips(), M::MaxOuterHeight());
    EXPECT_EQ(w.height(), M::MaxClientHeightPixels);
}

TEST_F(TelemetryWindowTest, ShowingLaysOutForTheCurrentHeight)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.outerHeightTwips(), 4850);
    expectPlacedAs(TelemetryLayout::ForOuterHeight(4850));
}

TEST_F(TelemetryWindowTest, ResizingKeepsWidthAndMinimumHeight)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // Within the size limits the window offers.
    w.resize(500, 400);
    EXPECT_EQ(w.width(), 329);
    EXPECT_EQ(w.height(), 400);
    EXPECT_EQ(w.outerHeightTwips(), 400 * 15 + 410);
    expectPlacedAs(TelemetryLayout::ForOuterHeight(6410));

    w.resize(329, 50);
    EXPECT_EQ(w.height(), 173);
    EXPECT_EQ(w.outerHeightTwips(), 3000);
    expectPlacedAs(TelemetryLayout::ForOuterHeight(3000));

    // A window manager that ignores the limits: the resize rules put the
    // width back to 5050 and the height up to 3000 twips.
    w.setMinimumSize(0, 0);
    w.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    w.resize(200, 300);
    EXPECT_EQ(w.size(), QSize(329, 300));
    EXPECT_EQ(w.outerHeightTwips(), 300 * 15 + 410);
    w.resize(600, 300);
    EXPECT_EQ(w.size(), QSize(329, 300));
    w.resize(329, 100); // 1910 twips
    EXPECT_EQ(w.size(), QSize(329, 173));
    EXPECT_EQ(w.outerHeightTwips(), 3000);
    expectPlacedAs(TelemetryLayout::ForOuterHeight(3000));
}

TEST_F(TelemetryWindowTest, PositionInTwips)
{
    w.setTopLeftTwips(3000, 9000);
    EXPECT_EQ(w.pos(), QPoint(600, 200));
    EXPECT_EQ(w.topTwips(), 3000);
    EXPECT_EQ(w.leftTwips(), 9000);
    w.setTopLeftTwips(7, 8); // nearest whole pixel
    EXPECT_EQ(w.topTwips(), 0);
    EXPECT_EQ(w.leftTwips(), 15);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(TelemetryWindowTest, HideButtonHidesAndSignals)
{
    QSignalSpy hide(&w, &TelemetryWindow::hideClicked);
    QSignalSpy load(&w, &TelemetryWindow::loadRequested);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(find<QPushButton>(QStringLiteral("cmdHide")), Qt::LeftButton);
    EXPECT_EQ(hide.count(), 1);
    EXPECT_EQ(load.count(), 0);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(TelemetryWindowTest, LoadButtonOnlySignals)
{
    QSignalSpy hide(&w, &TelemetryWindow::hideClicked);
    QSignalSpy load(&w, &TelemetryWindow::loadRequested);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.addTelemetryLine(TelemetryList::A, QStringLiteral("1 10:00 x"));
    QTest::mouseClick(find<QPushButton>(QStringLiteral("cmdLoadTlm")), Qt::LeftButton);
    EXPECT_EQ(load.count(), 1);
    EXPECT_EQ(hide.count(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.lines(TelemetryList::A).size(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PCSAT Telemetry"));
}

TEST_F(TelemetryWindowTest, ClosingByTheUserIsTheHideButton)
{
    QSignalSpy hide(&w, &TelemetryWindow::hideClicked);
    QPointer<TelemetryWindow> alive(&w);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // A close request from the window system.
    ASSERT_NE(w.windowHandle(), nullptr);
    w.windowHandle()->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(hide.count(), 1);
    EXPECT_FALSE(alive.isNull());

    // It can be shown again, with its contents.
    w.addTelemetryLine(TelemetryList::M, QStringLiteral("0 10:00 m"));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.lines(TelemetryList::M).size(), 1);
}

TEST_F(TelemetryWindowTest, CloseFromCodeCountsAsHideToo)
{
    QSignalSpy hide(&w, &TelemetryWindow::hideClicked);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(w.close()); // refused: the window is hidden, not closed
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(hide.count(), 1);
    // Closing a hidden window changes nothing more.
    w.close();
    EXPECT_EQ(hide.count(), 1);
}

} // namespace
