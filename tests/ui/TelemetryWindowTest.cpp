#include <QGroupBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <QChart>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/TextRules.h"
#include "ui/TelemetryPlots.h"
#include "ui/TelemetryWindow.h"

using namespace selvane;
using M = TelemetryWindowMetrics;

namespace {

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

TEST(TelemetryWindowMetrics, StoredHeightsConvertToPixels)
{
    EXPECT_EQ(M::DesignClientPixels(), QSize(329, 296)); // 4935 x 4440 twips
    EXPECT_EQ(M::ClientPixelsFromOuterHeight(4850), 296);
    EXPECT_EQ(M::OuterHeightFromClientPixels(296), 4850);
    EXPECT_EQ(M::OuterHeightFromClientPixels(174), 174 * 15 + 410);
    EXPECT_EQ(M::OuterHeightFromClientPixels(40), 3000);  // below the lowest stored height
    EXPECT_EQ(M::ClientPixelsFromOuterHeight(1e12), M::MaxClientHeightPixels);
    EXPECT_EQ(M::ClampOuterHeight(-5), 3000);
    EXPECT_EQ(M::ClampOuterHeight(std::nan("")), 3000);
    EXPECT_EQ(M::ClampOuterHeight(std::numeric_limits<double>::infinity()), M::MaxOuterHeight());
    EXPECT_EQ(M::ClampOuterHeight(4850.5), 4850.5);
    EXPECT_EQ(TwipsToPixels(7.5), 1); // halves away from zero
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(-8), -1);
    EXPECT_EQ(MainWindowMetrics::DesignClientPixels(), QSize(490, 224)); // 7350 x 3360 twips
    EXPECT_EQ(MainWindowMetrics::OuterWidthFromClientPixels(592), 9000);
    EXPECT_EQ(MainWindowMetrics::ClientPixelsFromOuterWidth(9000), 592);
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
        {"frmA", "Side A", "", "tabLists"},
        {"frmB", "Side B", "", "tabLists"},
        {"frmM", "Panels Current", "", "tabLists"},
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

// The design width, or a whole telemetry line when that is wider; the
// stored height, or what the texts need when that is more.
TEST_F(TelemetryWindowTest, StartsWideEnoughForAWholeLineAtTheStoredHeight)
{
    auto* lstA = find<QListWidget>(QStringLiteral("lstA"));
    const QString widest = QStringLiteral("1 23:59 Temp Batt=-40.0C Tx=-40.0C +Y=-40.0C +Z=-40.0C");
    w.addTelemetryLine(TelemetryList::A, widest);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_GE(w.width(), M::DesignClientPixels().width());
    EXPECT_EQ(lstA->horizontalScrollBar()->maximum(), 0);  // the whole line shows
    EXPECT_GT(lstA->viewport()->width(), lstA->fontMetrics().horizontalAdvance(widest));

    const struct {
        double stored;
        double kept;  // 0: raised to what the texts need
    } heights[] = {{4850, 0}, {0, 0}, {12000, 12000}, {12000.5, 12000.5}, {1e20, M::MaxOuterHeight()}};
    for (const auto& h : heights) {
        w.setOuterHeightTwips(h.stored);
        if (h.kept > 0) {
            EXPECT_EQ(w.outerHeightTwips(), h.kept) << h.stored;
            EXPECT_EQ(w.height(), M::ClientPixelsFromOuterHeight(h.kept)) << h.stored;
        } else {
            EXPECT_EQ(w.height(), w.minimumHeight()) << h.stored;
            EXPECT_EQ(w.outerHeightTwips(), M::OuterHeightFromClientPixels(w.minimumHeight())) << h.stored;
            EXPECT_GT(w.outerHeightTwips(), h.stored) << h.stored;
        }
    }
    // Hidden, the window takes the height at once.
    w.hide();
    w.setOuterHeightTwips(9005);
    EXPECT_EQ(w.height(), M::ClientPixelsFromOuterHeight(9005));
    EXPECT_EQ(w.outerHeightTwips(), 9005);
    // Dragged: the new pixel height gives the stored height.
    w.show();
    w.resize(w.width(), w.height() + 10);
    EXPECT_EQ(w.outerHeightTwips(), M::OuterHeightFromClientPixels(w.height()));
}

TEST_F(TelemetryWindowTest, ListsAndPlotsTakeTheRoomButtonsStayBelow)
{
    w.setOuterHeightTwips(9000);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto at = [this](const char* name) {
        QWidget* c = find(QString::fromLatin1(name));
        return QRect(c->mapTo(&w, QPoint(0, 0)), c->size());
    };
    // Side A above side B above the panel currents; the buttons below all.
    EXPECT_LE(at("frmA").bottom(), at("frmB").top());
    EXPECT_LE(at("frmB").bottom(), at("frmM").top());
    EXPECT_LE(at("frmM").bottom(), at("cmdHide").top());
    EXPECT_LE(at("cmdHide").right(), at("cmdLoadTlm").left());
    const QRect a = at("lstA"), b = at("lstB"), m = at("lstM"), load = at("cmdLoadTlm");
    const QPoint fromCorner = QPoint(w.width(), w.height()) - load.bottomRight();

    w.resize(w.width() + 150, w.height() + 220);
    QCoreApplication::processEvents();
    EXPECT_GT(at("lstA").height(), a.height());
    EXPECT_GT(at("lstB").height(), b.height());
    EXPECT_GT(at("lstM").height(), m.height());
    EXPECT_GE(at("lstA").height() + at("lstB").height() + at("lstM").height(),
              a.height() + b.height() + m.height() + 200);
    EXPECT_EQ(at("lstA").width(), a.width() + 150);
    EXPECT_EQ(at("cmdLoadTlm").size(), load.size());
    EXPECT_EQ(QPoint(w.width(), w.height()) - at("cmdLoadTlm").bottomRight(), fromCorner);

    // The plots fill the same room.
    w.showPlots(true);
    EXPECT_TRUE(w.plots().isVisible());
    EXPECT_FALSE(find("lstA")->isVisible());
    EXPECT_GT(w.plots().height(), at("frmA").height());
    w.showPlots(false);
    EXPECT_TRUE(find("lstA")->isVisible());
}

// The plots draw the values of the display lines, whatever order the
// lines come in: one curve per side and label, the low battery marked.
TEST_F(TelemetryWindowTest, PlotsDrawTheValuesOfTheLines)
{
    using Q = TelemetryQuantity;
    const struct {
        TelemetryList list;
        const char* line;
    } lines[] = {
        {TelemetryList::M, "0 10:00 Pannelli +X=51mA +Y=69mA +Z=105mA"},
        {TelemetryList::A, "4 10:05 BattA=13.90V BattB=14.94V Tx=1.24W 8V=8.19V"},
        {TelemetryList::A, "4 10:00 BattA=14.76V BattB=14.94V Tx=1.24W 8V=8.19V"},
        {TelemetryList::A, "1 10:02 Temp Batt=21.3C Tx=28.1C +Y=14.4C +Z=-3.5C"},
        {TelemetryList::B, "7 10:03 Corrente di carica Batt=-120mA"},
        {TelemetryList::M, "9 10:04 Pannelli -X=7mA -Y=0mA -Z=12mA"},
        {TelemetryList::A, "3 10:06 no values here"},
    };
    for (const auto& l : lines)
        w.addTelemetryLine(l.list, QString::fromUtf8(l.line));
    TelemetryPlots& p = w.plots();
    p.refresh();
    const struct {
        Q quantity;
        const char* curve;
        QStringList points;
    } drawn[] = {
        {Q::PanelCurrent, "A +X", {"10:00=51"}},
        {Q::PanelCurrent, "B -Z", {"10:04=12"}},
        {Q::BatteryVoltage, "A BattA", {"10:00=14.76", "10:05=13.9"}},
        {Q::BatteryVoltage, "A 8V", {"10:00=8.19", "10:05=8.19"}},
        {Q::TransmitterPower, "A Tx", {"10:00=1.24", "10:05=1.24"}},
        {Q::Temperature, "A +Z", {"10:02=-3.5"}},
        {Q::BatteryCurrent, "B Batt", {"10:03=-120"}},
    };
    for (const auto& d : drawn)
        EXPECT_EQ(p.drawn(d.quantity, QString::fromUtf8(d.curve)), d.points) << d.curve;
    EXPECT_EQ(p.curves(Q::PanelCurrent), (QStringList{"A +X", "A +Y", "A +Z", "B -X", "B -Y", "B -Z"}));
    EXPECT_EQ(p.curves(Q::TransmitterPower), QStringList{"A Tx"});
    EXPECT_EQ(p.lowBatteryMarks(), QStringList{"10:05=13.9"});
    EXPECT_TRUE(p.safeModeMarks(Q::Temperature).isEmpty());

    // Safe mode, as it happens: a line on every plot, once a minute.
    w.markSafeMode(QTime(10, 4, 30));
    w.markSafeMode(QTime(10, 4, 50));
    p.refresh();
    for (Q q : {Q::PanelCurrent, Q::Temperature, Q::BatteryVoltage, Q::BatteryCurrent, Q::TransmitterPower})
        EXPECT_EQ(p.safeModeMarks(q), QStringList{"10:04"}) << int(q);

    // A new day, or another day loaded: the plots empty with the lists.
    w.clearTelemetryLists();
    p.refresh();
    EXPECT_TRUE(p.curves(Q::BatteryVoltage).isEmpty());
    EXPECT_TRUE(p.lowBatteryMarks().isEmpty());
    EXPECT_TRUE(p.safeModeMarks(Q::BatteryVoltage).isEmpty());
    EXPECT_EQ(p.chart(Q::BatteryVoltage)->title(), "Tensioni delle batterie");

    // On screen, the plots follow the lines by themselves.
    w.show();
    w.showPlots(true);
    w.addTelemetryLine(TelemetryList::A, QStringLiteral("4 11:00 BattA=15.00V BattB=14.94V Tx=1.24W 8V=8.19V"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.drawn(Q::BatteryVoltage, "A BattA") == QStringList{"11:00=15"}; }));
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
