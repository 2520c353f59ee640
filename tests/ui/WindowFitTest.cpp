#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "agw/HeardHandler.h"
#include "agw/EngineProfile.h"
#include "common/Translation.h"
#include "support/Files.h"
#include "telemetry/TelemetryDecoder.h"
#include "ui/AprsIsDialog.h"
#include "ui/RecordingDialogs.h"
#include "ui/SatellitesDialog.h"
#include "ui/SelvaneApp.h"
#include "ui/TelemetryPlots.h"

using namespace selvane;
using namespace selvane::test;

namespace {

// What of a widget's text does not show, "" when all of it does. Labels,
// buttons, check boxes, frame captions, tabs and menu titles are measured
// against the room the style gives them; a list entry wider than its list
// must be reachable by scrolling.
QString CutText(QWidget* w)
{
    const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    auto cut = [&](const QString& text, int need, int room) {
        return need > room ? QStringLiteral("%1: \"%2\" needs %3, has %4").arg(name, text).arg(need).arg(room) : QString();
    };
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty())
            return {};
        return l->wordWrap() ? cut(l->text(), l->heightForWidth(l->width()), l->height())
                             : cut(l->text(), l->sizeHint().width(), l->width());
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().isEmpty() ? QString() : cut(b->text(), b->sizeHint().width(), b->width());
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return cut(g->title(), g->minimumSizeHint().width(), g->width());
    if (auto* tabs = qobject_cast<QTabBar*>(w))
        return cut(QStringLiteral("tabs"), tabs->sizeHint().width(), tabs->width());
    if (auto* bar = qobject_cast<QMenuBar*>(w)) {
        for (QAction* a : bar->actions())
            if (!bar->rect().contains(bar->actionGeometry(a)) || bar->actionGeometry(a).isEmpty())
                return name + QStringLiteral(": menu ") + a->text();
        return {};
    }
    if (auto* view = qobject_cast<QChartView*>(w)) {
        const QString title = view->chart()->title();
        return cut(title, QFontMetrics(view->chart()->titleFont()).horizontalAdvance(title) + 20, view->width());
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < list->count(); ++i) {
            const QString text = list->item(i)->text();
            if (list->fontMetrics().horizontalAdvance(text) > list->viewport()->width()
                && list->horizontalScrollBar()->maximum() == 0)
                return name + QStringLiteral(": \"%1\" neither fits nor scrolls").arg(text);
        }
    }
    return {};
}

QStringList CutTexts(QWidget* window)
{
    QCoreApplication::processEvents();
    QStringList cuts;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisible())
            if (const QString c = CutText(w); !c.isEmpty())
                cuts << c;
    return cuts;
}

#define EXPECT_TEXTS_FIT(window)                                                                                     \
    do {                                                                                                               \
        const QStringList cuts = CutTexts(window);                                                                     \
        EXPECT_TRUE(cuts.isEmpty()) << cuts.join(QLatin1Char('\n')).toStdString();                                    \
    } while (false)

QString Translated(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace

// Run by WindowFit.AtEveryScaleInBothLanguages in a process of its own, with
// the language and the scaling chosen before the application starts.
TEST(WindowFitChild, TextsFitCaptionsAreTranslatedWindowsArePlaced)
{
    const QByteArray language = qgetenv("SELVANE_FIT_LANGUAGE");
    if (language.isEmpty())
        GTEST_SKIP() << "run by WindowFit.AtEveryScaleInBothLanguages";
    ASSERT_EQ(InstallTranslation(*qApp), QString::fromLatin1(language));

    QTemporaryDir dir;
    // First start with "Show Tlm": no place stored for either window.
    WriteFile(dir.filePath("Selvane.ini"), "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,0,4850,0,0,0,1\r\n");
    RecordingDialogs dialogs;
    SelvaneApp::Options options;
    options.dialogs = &dialogs;
    options.trayAvailable = false;
    options.folder = dir.path();
    SelvaneApp app(options);
    ASSERT_TRUE(app.start());
    MainWindow& w = app.window();
    TelemetryWindow& tlm = *app.telemetryWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tlm));

    // The captions in the desktop's language.
    const bool english = language == "en";
    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (english ? QStringList{"&File", "&Settings", "&Windows", "&Help"}
                              : QStringList{"&File", "&Impostazioni", "Fi&nestre", "&Aiuto"}));
    EXPECT_EQ(w.statusText(), english ? "Press START to connect..." : "Premere START per attivare la connessione...");
    EXPECT_EQ(w.callSignNote(), english ? "no call set: packets go out as KORVA" : "nessun nominativo: esce KORVA");
    EXPECT_EQ(w.findChild<QWidget*>("txtDup")->toolTip(),
              english ? "Seconds within which the same packet is not sent again."
                      : "Tempo in secondi entro il quale pacchetti uguali non vengono ritrasmessi.");
    EXPECT_EQ(tlm.findChild<QTabWidget*>("views")->tabText(1), english ? "Plots" : "Grafici");
    EXPECT_EQ(w.findChild<QGroupBox*>("Frame1")->title(), "Gateway Parameters");
    EXPECT_EQ(tlm.findChild<QPushButton*>("cmdLoadTlm")->text(), "Load Tlm");

    // First start: both on the screen, side by side, the main window centred
    // when the screen leaves room for the telemetry window on either side.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect main(w.pos(), w.size() + MainWindowMetrics::Frame.pixels());
    const QRect beside(tlm.pos(), tlm.size() + TelemetryWindowMetrics::Frame.pixels());
    EXPECT_TRUE(screen.contains(main));
    EXPECT_TRUE(screen.contains(beside));
    EXPECT_FALSE(main.intersects(beside));
    if (screen.width() >= main.width() + 2 * (beside.width() + 8)) {
        EXPECT_LE(std::abs(main.center().x() - screen.center().x()), 1);
        EXPECT_LE(std::abs(main.center().y() - screen.center().y()), 1);
    }

    // The longest texts the windows show while running.
    EXPECT_TEXTS_FIT(&w);
    const QString statuses[] = {
        Translated("selvane::AgwLink", "Collegamento con AGWPE perso: nuovo tentativo alle %1").arg("23:59:59"),
        Translated("selvane::AgwLink", "Connessione ad AGW Packet Engine chiusa: %1")
            .arg(Translated("selvane::AgwLink", "flusso dal motore fuori passo")),
        Translated("selvane::AgwLink", "AGWPE non legge: pacchetti da trasmettere scartati"),
        [] {
            GatewayCounters c;
            c.startDate = QDate(2026, 12, 6);
            c.startTime = QTime(8, 15);
            c.toSatsCount = c.toOutCount = c.totalCount = 9999999;
            c.heldCount = 99999;
            return HeardHandler::StatusLine(c);
        }(),
    };
    for (const QString& status : statuses) {
        w.setStatusText(status);
        EXPECT_TEXTS_FIT(&w);
    }
    w.showEngineProfile(ProfileDescription(EngineChoice::Automatic, EngineProfile::DireWolf));
    w.setWarning(SafeModeWarning(QDateTime(QDate(2026, 12, 6), QTime(23, 59)), QStringLiteral("T#123,255")), true);
    w.showAprsIs(Translated("selvane::SelvaneApp", "APRS-IS: %1, inviati %2, persi %3")
                     .arg(AprsIsStateText(AprsIsState::Unverified))
                     .arg(99999)
                     .arg(99999));
    w.setNotice(MainWindow::Notice::Files,
                Translated("selvane::SelvaneApp", "Log non scritto (disco pieno?): %1")
                    .arg(dir.filePath("Logs/26-12-06.Txt: No space left on device")));
    w.setNotice(MainWindow::Notice::Satellites,
                Translated("selvane::SelvaneApp", "nessun satellite abilitato: il gateway non inoltra nulla"));
    w.showReceived({"1:Fm N0CALL-9 To APRS Via RS0ISS*,WIDE2-1 <UI pid=F0 Len=200 >[23:59:59]", QString(200, 'x')},
                   PacketColour::Yellow);
    EXPECT_TEXTS_FIT(&w);

    const char* const lines[] = {
        "0 10:00 Pannelli +X=151mA +Y=169mA +Z=105mA",
        "1 10:02 Temp Batt=-21.3C Tx=-28.1C +Y=-14.4C +Z=-34.9C",
        "2 10:02 Temp +X=-14.4C Stack=-21.3C Corrente -Y=-158mA",
        "4 10:05 BattA=13.90V BattB=14.94V Tx=1.24W 8V=8.19V",
    };
    for (const char* line : lines)
        tlm.addTelemetryLine(TelemetryList(line[0] == '0' ? TelemetryList::M : TelemetryList::A), line);
    tlm.addTelemetryLine(TelemetryList::B, QStringLiteral("5 10:06 ") + QString(300, 'y'));
    tlm.setTelemetryCaption(Translated("Telemetry", "Today PCSAT TLM History - %1")
                                .arg(QLocale().toString(QDate(2026, 12, 30), QLocale::LongFormat)));
    tlm.markSafeMode(QTime(10, 4));
    EXPECT_TEXTS_FIT(&tlm);
    tlm.showPlots(true);
    tlm.plots().refresh();
    EXPECT_TEXTS_FIT(&tlm);
    app.shutdown();

    // The settings dialogs, with their longest warnings.
    AprsIsConfig aprsIs;
    aprsIs.enabled = true;
    aprsIs.call = QStringLiteral("N0CALL-15");
    aprsIs.passcode = 1;
    AprsIsDialog aprsIsDialog(aprsIs, {});
    aprsIsDialog.show();
    ASSERT_FALSE(aprsIsDialog.warning().isEmpty());
    EXPECT_TEXTS_FIT(&aprsIsDialog);
    SatelliteTable none = DefaultSatellites();
    for (Satellite& satellite : none.satellites())
        satellite.enabled = false;
    SatellitesDialog satellitesDialog(none);
    satellitesDialog.show();
    ASSERT_FALSE(satellitesDialog.problem().isEmpty());
    EXPECT_TEXTS_FIT(&satellitesDialog);
}

// Each scaling of the desktop and each language in a fresh process: the
// scale factor and the locale are read once, when the application starts.
TEST(WindowFit, AtEveryScaleInBothLanguages)
{
    QTemporaryDir dir;
    // A 1920 x 1080 screen, as the scaled desktops see it.
    const QString screens = dir.filePath("screens.json");
    WriteFile(screens, R"({"screens": [{"name": "one", "x": 0, "y": 0, "width": 1920, "height": 1080,
                                        "logicalDpiX": 96, "logicalDpiY": 96}]})");
    for (const char* scale : {"1", "1.25", "1.5"}) {
        for (const auto& [lang, language] : {std::pair{"C", "it"}, {"en_GB.UTF-8", "en"}}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* unset : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "QT_FONT_DPI", "QT_SCREEN_SCALE_FACTORS"})
                env.remove(QString::fromLatin1(unset));
            env.insert("LANG", lang);
            env.insert("QT_SCALE_FACTOR", scale);
            env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + screens);
            env.insert("SELVANE_FIT_LANGUAGE", language);
            QProcess child;
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=WindowFitChild.*"});
            ASSERT_TRUE(child.waitForFinished(120000)) << scale << " " << lang;
            const QByteArray output = child.readAll();
            // Run, not skipped, and passed.
            EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
                        && output.contains("[       OK ] WindowFitChild."))
                << "QT_SCALE_FACTOR=" << scale << " LANG=" << lang << "\n"
                << output.toStdString();
        }
    }
}
