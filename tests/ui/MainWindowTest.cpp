#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "selvane/Version.h"
#include "ui/MainWindow.h"
#include "agw/EngineProfile.h"
#include "ui/Tray.h"
#include "ui/RecordingDialogs.h"

using namespace selvane;
using selvane::test::RecordingDialogs;
using M = MainWindowMetrics;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(&dialogs, false);
    MainWindow& w = *window;

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The colour of one pixel of a control as drawn.
    static QColor pixel(QWidget* widget, int x, int y)
    {
        const QImage img = widget->grab().toImage();
        return img.pixelColor(x, y);
    }

    // Applies a whole record as the start-up does, in its order.
    void applyAll(const GatewaySettings& s)
    {
        EXPECT_TRUE(w.applyTexts(s));
        EXPECT_TRUE(w.applyMainWindow(s.mainLeft, s.mainTop, s.mainWidth));
        EXPECT_TRUE(w.applyDailyLog(s.dailyLog));
        EXPECT_TRUE(w.applyTelemetryMode(s.tlmWindowMode));
        EXPECT_TRUE(w.applyTelemetryWindow(s.tlmHeight, s.tlmTop, s.tlmLeft));
        EXPECT_TRUE(w.applyGateToOut(s.gateToOut));
        EXPECT_TRUE(w.applyGateToSats(s.gateToSats));
        EXPECT_TRUE(w.applyGateTelemetry(s.gateTelemetry));
        EXPECT_TRUE(w.applyEngineChoice(s.engine));
        EXPECT_TRUE(w.applyAutoReconnect(s.autoReconnect));
    }
};

struct ControlText {
    const char* name;
    const char* caption;  // empty: not checked
    const char* tip;
};

const ControlText kControls[] = {
    {"cmbPort", "", "Numero porte AGWPE e relativa descrizione."},
    {"lblConnect", "Premere START per attivare la connessione...", "Stato connessione AGWPE e pacchetti lavorati."},
    {"cmdStart", "START", "Avvia/arresta il gateway."},
    {"chkReverse", "Gate to Sats",
     "Abilita la ritrasmissione dalla porta(e) Out alla porta(e) Sats dei pacchetti via PCSAT / ISS"},
    {"chkForward", "Gate to Out",
     "Abilita la ritrasmissione dei pacchetti e telemetria dalla porta(e) Sats alla porta(e) Out."},
    {"chkTlm", "Gate Telemetry",
     "Abilita alla trasmissione sulla porta(e) Out dei bollettini di Telemetria del PCSAT."},
    {"lblVia", "Via", ""},
    {"txtDigi", "", "Via Path dei pacchetti da ritrasmettere sulla porta(e) Out."},
    {"lblAdd", "Call", ""},
    {"txtAdd", "", "Inserire il nominativo del gateway (il proprio nominativo)."},
    {"lblIn", "Sats", ""},
    {"txtIn", "",
     "Porta(e) AGWPE che riveve i pacchetti dal Pcsat / Iss. Si possono specificare più porte separate da virgole."},
    {"lblOut", "Out", ""},
    {"txtOut", "",
     "Porta(e) AGWPE di ritrasmissione pacchetti. Si possono specificare più porte separate da virgole."},
    {"lblDup", "Dup", ""},
    {"txtDup", "", "Tempo in secondi entro il quale pacchetti uguali non vengono ritrasmessi."},
    {"lblAddress", "IP", ""},
    {"txtAddress", "", "Indirizzo IP di AGWPE. Normalnente è localhost"},
    {"List2", "",
     "Pacchetti ricevuti. Sfondo: Giallo=ritrasmessi  Verde=altre porte  Verde chiaro=duplicati."},
    {"optTlm0", "Show Tlm", "Finestra Telemetria PCSAT sempre visibile."},
    {"optTlm1", "Hide", "Finestra Telemetria PCSAT sempre nascosta."},
    {"optTlm2", "Auto", "Finestra di telemetria visibile in presenza di pacchetti di TLM per 15 minuti."},
    {"chkLog", "Logs",
     "Abilita la scrittura dei pacchetti ritrasmessi su un log compatibile UI-View e della telemetria PCSAT."},
    {"List1", "", "Pacchetti trasmessi."},
};

// The controls of the design, by their names.
const QStringList kControlNames{
    "Frame2", "cmbPort", "lblConnect", "cmdStart", "chkReverse", "chkForward", "chkTlm", "Frame1",
    "lblVia", "txtDigi", "lblAdd", "txtAdd", "lblIn", "txtIn", "lblOut", "txtOut", "lblDup", "txtDup",
    "lblAddress", "txtAddress", "Frame5", "lblWarning", "Frame3", "List2", "optTlm0", "optTlm1",
    "optTlm2", "chkLog", "Frame4", "List1",
};

QString CaptionOf(QWidget* widget)
{
    if (auto* b = qobject_cast<QAbstractButton*>(widget))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(widget))
        return l->text();
    return QString();
}

} // namespace

TEST_F(MainWindowTest, ControlsHaveTheirCaptionsTooltipsAndInitialContents)
{
    EXPECT_EQ(w.windowTitle(), "Selvane");
    EXPECT_EQ(w.caption(), "Selvane");
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);

    for (const ControlText& c : kControls) {
        QWidget* widget = find(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->toolTip(), QString::fromUtf8(c.tip)) << c.name;
        if (*c.caption) {
            EXPECT_EQ(CaptionOf(widget), QString::fromUtf8(c.caption)) << c.name;
        }
    }
    EXPECT_EQ(find<QGroupBox>("Frame2")->title(), "AGW Packet Engine Information - Profilo: automatico");
    EXPECT_EQ(find<QGroupBox>("Frame1")->title(), "Gateway Parameters");
    EXPECT_EQ(find<QGroupBox>("Frame3")->title(), "AGW Packet Engine Received Packets  - all Ports -");
    EXPECT_EQ(find<QGroupBox>("Frame4")->title(), "AGW Paket Engine Transmitted Packets - all Ports -");
    EXPECT_NE(find("Frame5"), nullptr);
    EXPECT_EQ(find("lblWarning")->parentWidget(), find("Frame5"));
    EXPECT_EQ(find("txtAdd")->parentWidget(), find("Frame1"));
    EXPECT_EQ(find("cmbPort")->parentWidget(), find("Frame2"));

    // Initial contents.
    EXPECT_EQ(w.receivedLines(), QStringList{"Selvane v3"});
    EXPECT_TRUE(w.transmittedLines().isEmpty());
    EXPECT_TRUE(w.portsText().isEmpty());
    EXPECT_TRUE(w.ports().isEmpty());
    EXPECT_TRUE(find<QComboBox>("cmbPort")->isEditable());
    EXPECT_EQ(w.statusText(), "Premere START per attivare la connessione...");
    EXPECT_TRUE(w.warningText().isEmpty());
    EXPECT_FALSE(w.isWarningVisible());
    for (const char* box : {"txtDigi", "txtAdd", "txtIn", "txtOut", "txtDup", "txtAddress"})
        EXPECT_TRUE(find<QLineEdit>(box)->text().isEmpty()) << box;
    for (const char* box : {"chkReverse", "chkForward", "chkTlm", "chkLog"}) {
        EXPECT_FALSE(find<QCheckBox>(box)->isChecked()) << box;
        EXPECT_TRUE(find<QCheckBox>(box)->isEnabled()) << box;
    }
    EXPECT_FALSE(find<QRadioButton>("optTlm0")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optTlm1")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("optTlm2")->isChecked());
    EXPECT_EQ(w.selectedTelemetryMode(), 1);
    EXPECT_EQ(w.trayTip(), "Selvane");
    EXPECT_FALSE(w.isInTray());
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(w.engineChoice(), EngineChoice::Automatic);
    EXPECT_EQ(w.focusWidget(), find("cmdStart"));

    // Only the warning is bold.
    EXPECT_TRUE(find("lblWarning")->font().bold());
    EXPECT_FALSE(find("lblConnect")->font().bold());
    EXPECT_FALSE(find("List2")->font().bold());
    // The status line: white, single border, centred.
    auto* status = find<QLabel>("lblConnect");
    EXPECT_EQ(status->alignment(), Qt::AlignCenter);
    EXPECT_EQ(status->frameShape(), QFrame::Box);
    EXPECT_EQ(status->lineWidth(), 1);
    EXPECT_EQ(find<QLabel>("lblWarning")->alignment(), Qt::AlignCenter);
    EXPECT_EQ(find<QLabel>("lblWarning")->frameShape(), QFrame::Box);
}

// Where each control stands relative to the others: the picture of the
// design, whatever sizes the texts give them.
TEST_F(MainWindowTest, ControlsKeepTheirOrderAndThePacketListsTakeTheRoom)
{
    // The design size, or what the texts need.
    EXPECT_EQ(w.size(), M::DesignClientPixels().expandedTo(w.minimumSizeHint()));
    // Every line shown: the warning, the APRS-IS state, a notice.
    w.setWarning("06/12 08:15  PCSAT A: Batt Low", true);
    w.showAprsIs("APRS-IS: connesso e verificato, inviati 3, persi 0");
    w.setNotice(MainWindow::Notice::Satellites, "nessun satellite abilitato: il gateway non inoltra nulla");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto at = [this](const char* name) {
        QWidget* c = find(name);
        return QRect(c->mapTo(&w, QPoint(0, 0)), c->size());
    };
    // Top to bottom: each row lies wholly below the one before.
    const char* const rows[][2] = {
        {"Frame2", "chkForward"}, {"chkForward", "Frame1"}, {"Frame1", "Frame5"},   {"Frame5", "Frame3"},
        {"List2", "lblAprsIs"},   {"Frame3", "optTlm1"},    {"optTlm1", "Frame4"},  {"Frame4", "lblNotice"},
        {"txtAdd", "lblCallNote"},
    };
    for (const auto& r : rows)
        EXPECT_LE(at(r[0]).bottom(), at(r[1]).top()) << r[0] << " above " << r[1];
    // Left to right within a row.
    const QStringList line{"lblConnect", "cmbPort", "cmdStart"};
    const QStringList params{"lblVia", "txtDigi", "lblAdd", "txtAdd", "lblIn", "txtIn",
                             "lblOut", "txtOut",  "lblDup", "txtDup", "lblAddress", "txtAddress"};
    const QStringList boxes{"chkReverse", "chkForward", "chkTlm"};
    const QStringList modes{"optTlm0", "optTlm1", "optTlm2", "chkLog"};
    for (const QStringList& row : {line, params, boxes, modes})
        for (qsizetype i = 1; i < row.size(); ++i)
            EXPECT_LE(at(qPrintable(row[i - 1])).right(), at(qPrintable(row[i])).left())
                << qPrintable(row[i - 1]) << " left of " << qPrintable(row[i]);
    // The check boxes, the warning and the mode buttons stand on the right.
    for (const char* right : {"chkTlm", "Frame5", "chkLog"})
        EXPECT_GT(at(right).left(), w.width() / 2) << right;

    // Grown by 300 x 200 pixels: the two lists take the height, every
    // row the width; nothing changes its order.
    const QSize before = w.size();
    const QRect received = at("List2"), transmitted = at("List1"), params0 = at("Frame1");
    w.resize(before + QSize(300, 200));
    QCoreApplication::processEvents();
    EXPECT_GE(at("List2").height() + at("List1").height(), received.height() + transmitted.height() + 190);
    EXPECT_GT(at("List2").height(), received.height());
    EXPECT_GT(at("List1").height(), transmitted.height());
    EXPECT_EQ(at("Frame1").height(), params0.height());
    EXPECT_EQ(at("List2").width(), received.width() + 300);
    EXPECT_GT(at("txtDigi").width(), 0);
    EXPECT_LE(at("Frame4").bottom(), at("lblNotice").top());

    // Never smaller than what the texts need.
    w.resize(100, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.size(), w.minimumSize());
    EXPECT_GE(w.width(), w.minimumSizeHint().width());
}

TEST_F(MainWindowTest, TypingFiltersOfCallAndViaBoxes)
{
    auto* call = find<QLineEdit>("txtAdd");
    auto* via = find<QLineEdit>("txtDigi");
    QTest::keyClicks(call, "ab-1,c");
    QTest::keyClicks(via, "ab-1,c");
    EXPECT_EQ(call->text(), "AB-1C");
    EXPECT_EQ(via->text(), "AB-1,C");
    EXPECT_EQ(w.gatewayCall(), "AB-1C");
    EXPECT_EQ(w.viaPath(), "AB-1,C");

    // Backspace works; blanks, punctuation, accented letters are dropped.
    QTest::keyClick(call, Qt::Key_Backspace);
    EXPECT_EQ(call->text(), "AB-1");
    call->clear();
    QTest::keyClicks(call, " x.y*");
    // A key that produces a character outside ASCII.
    QTest::sendKeyEvent(QTest::Click, call, Qt::Key_unknown, QString::fromUtf8("é"), Qt::NoModifier);
    QTest::keyClicks(call, "_Z9/");
    EXPECT_EQ(call->text(), "XYZ9");
    via->clear();
    QTest::keyClicks(via, QString::fromUtf8("wide, wide;2-2"));
    EXPECT_EQ(via->text(), "WIDE,WIDE2-2");

    // Typing in the middle keeps the cursor after the typed character.
    call->setText("AC");
    call->setCursorPosition(1);
    QTest::keyClicks(call, "b");
    EXPECT_EQ(call->text(), "ABC");
    EXPECT_EQ(call->cursorPosition(), 2);

    // A refused character typed over a selection is discarded with the
    // keystroke: the selected text stays.
    call->setText("N0CALL");
    call->setSelection(0, 2);
    QTest::keyClicks(call, "! ");
    EXPECT_EQ(call->text(), "N0CALL");
    via->setText("WIDE,WIDE");
    via->setSelection(4, 1);
    QTest::keyClicks(via, ";");
    EXPECT_EQ(via->text(), "WIDE,WIDE");

    // The other boxes take any character.
    auto* host = find<QLineEdit>("txtAddress");
    QTest::keyClicks(host, "my host.lan");
    EXPECT_EQ(host->text(), "my host.lan");
    auto* sats = find<QLineEdit>("txtIn");
    QTest::keyClicks(sats, "a,b");
    EXPECT_EQ(sats->text(), "a,b");
}

TEST_F(MainWindowTest, PastedTextIsFilteredAndLimited)
{
    auto* call = find<QLineEdit>("txtAdd");
    auto* via = find<QLineEdit>("txtDigi");
    QApplication::clipboard()->setText(QStringLiteral("n0call-9 x"));
    call->paste();
    EXPECT_EQ(call->text(), "N0CALL-9X"); // filtered first, then the 9 characters
    via->paste();
    EXPECT_EQ(via->text(), "N0CALL-9X");

    call->clear();
    QApplication::clipboard()->setText(QStringLiteral("ab,cd efghijklm"));
    QTest::keyClick(call, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(call->text(), "ABCDEFGHI");

    // Pasting over a selection replaces it, within the limit.
    call->setText("N0CALL");
    call->setSelection(0, 2);
    QApplication::clipboard()->setText(QStringLiteral("w1xyz"));
    call->paste();
    EXPECT_EQ(call->text(), "W1XYZCALL");

    // No filter, only the limit, in the port boxes.
    auto* out = find<QLineEdit>("txtOut");
    QApplication::clipboard()->setText(QStringLiteral("1, 2, 3, 4"));
    out->paste();
    EXPECT_EQ(out->text(), "1, 2, 3");
}

TEST_F(MainWindowTest, CharacterLimitsCountTypedCharactersOnly)
{
    const struct {
        const char* box;
        int limit;
    } limits[] = {{"txtDigi", 30}, {"txtAdd", 9}, {"txtIn", 3}, {"txtOut", 7}, {"txtDup", 3}, {"txtAddress", 16}};
    for (const auto& l : limits) {
        auto* box = find<QLineEdit>(l.box);
        QTest::keyClicks(box, QString(l.limit + 5, QLatin1Char('7')));
        EXPECT_EQ(box->text().size(), l.limit) << l.box;
    }

    // Text from the settings may be longer; the user can shorten it but not
    // lengthen it.
    GatewaySettings s;
    s.viaPath = QStringLiteral("WIDE1-1,WIDE2-2,WIDE3-3,WIDE4-4,WIDE5-5,wide");
    s.gatewayCall = QStringLiteral("lower case call");
    s.satsPorts = QStringLiteral("1,2,3,4");
    s.outPorts = QStringLiteral("1,2,3,4,5,6");
    s.dupSeconds = QStringLiteral("12345");
    s.agwpeHost = QStringLiteral("engine.example.org");
    ASSERT_TRUE(w.applyTexts(s));
    EXPECT_EQ(w.viaPath(), s.viaPath);          // neither cut nor filtered
    EXPECT_EQ(w.gatewayCall(), s.gatewayCall);
    EXPECT_EQ(w.satsPorts(), s.satsPorts);
    EXPECT_EQ(w.outPorts(), s.outPorts);
    EXPECT_EQ(w.dupSeconds(), s.dupSeconds);
    EXPECT_EQ(w.agwpeHost(), s.agwpeHost);

    auto* via = find<QLineEdit>("txtDigi");
    via->end(false);
    QTest::keyClicks(via, "X");
    EXPECT_EQ(via->text(), s.viaPath);
    QTest::keyClick(via, Qt::Key_Backspace);
    EXPECT_EQ(via->text(), s.viaPath.chopped(1));
    QTest::keyClicks(via, "X"); // still over the limit
    EXPECT_EQ(via->text(), s.viaPath.chopped(1));
    via->setText("WIDE");
    via->end(false);
    QTest::keyClicks(via, QString(40, QLatin1Char('a')));
    EXPECT_EQ(via->text(), "WIDE" + QString(26, QLatin1Char('A')));
}

TEST_F(MainWindowTest, StartButtonShowsTheRequestedStateAndForwardsClicks)
{
    auto* start = find<QPushButton>("cmdStart");
    const int y = start->height() / 2;
    EXPECT_EQ(start->text(), "START");
    EXPECT_EQ(pixel(start, 4, y), QColor(0, 192, 0));

    QSignalSpy clicks(&w, &MainWindow::startClicked);
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(start->text(), "START"); // the controller decides

    w.setRunning(true);
    EXPECT_TRUE(w.isRunning());
    EXPECT_EQ(start->text(), "STOP");
    EXPECT_EQ(pixel(start, 4, y), QColor(255, 0, 0));
    w.setRunning(false);
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(start->text(), "START");
    EXPECT_EQ(pixel(start, 4, y), QColor(0, 192, 0));
}

TEST_F(MainWindowTest, PacketListsShowLinesAndColours)
{
    auto* received = find<QListWidget>("List2");
    auto* sent = find<QListWidget>("List1");
    auto corner = [](QListWidget* l) { return pixel(l, l->width() - 6, l->height() - 5); };
    EXPECT_EQ(corner(received), QColor(0, 192, 0));
    EXPECT_EQ(corner(sent), QColor(255, 255, 128));

    const QStringList lines{"1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=4 >[12:00:00]", ">hi"};
    w.showReceived(lines, PacketColour::Yellow);
    EXPECT_EQ(w.receivedLines(), lines);
    EXPECT_EQ(w.receivedColour(), PacketColour::Yellow);
    EXPECT_EQ(corner(received), QColor(255, 255, 96));
    w.showReceived({"x", ""}, PacketColour::LightGreen);
    EXPECT_EQ(w.receivedLines(), (QStringList{"x", ""}));
    EXPECT_EQ(corner(received), QColor(16, 255, 16));
    w.showReceived({"hdr", "line\rbreak\n"}, PacketColour::Green);
    EXPECT_EQ(w.receivedLines(), (QStringList{"hdr", "line<0x0d>break<0x0a>"}));
    w.showReceived({""}, PacketColour::Green);
    EXPECT_EQ(w.receivedLines(), QStringList{""});
    EXPECT_EQ(corner(received), QColor(0, 192, 0));

    w.showTransmitted({"a", "b"});
    EXPECT_EQ(w.transmittedLines(), (QStringList{"a", "b"}));
    w.showTransmitted({});
    EXPECT_TRUE(w.transmittedLines().isEmpty());
    EXPECT_EQ(corner(sent), QColor(255, 255, 128));

    // The status line is white, the port list's field too.
    auto* status = find<QLabel>("lblConnect");
    EXPECT_EQ(pixel(status, 3, status->height() - 3), QColor(Qt::white));
    EXPECT_EQ(find("cmbPort")->palette().color(QPalette::Base), QColor(Qt::white));
}

TEST_F(MainWindowTest, PortListAndStatusAndTip)
{
    w.setPortsText("Porte Radio di AGWPE: 2");
    w.addPort("Port1 with SoundCard");
    w.addPort("Port2 with TNC");
    EXPECT_EQ(w.portsText(), "Porte Radio di AGWPE: 2");
    EXPECT_EQ(w.ports(), (QStringList{"Port1 with SoundCard", "Port2 with TNC"}));
    w.clearPorts();
    EXPECT_TRUE(w.ports().isEmpty());
    EXPECT_TRUE(w.portsText().isEmpty());

    w.setStatusText("Gateway connesso a AGWPE v2000.15");
    EXPECT_EQ(w.statusText(), "Gateway connesso a AGWPE v2000.15");
    EXPECT_EQ(find<QLabel>("lblConnect")->text(), "Gateway connesso a AGWPE v2000.15");
    w.setTrayTip("Selvane abilitato");
    EXPECT_EQ(w.trayTip(), "Selvane abilitato");
    EXPECT_EQ(w.tray().systemTrayIcon()->toolTip(), "Selvane abilitato");
}

TEST_F(MainWindowTest, WarningLabel)
{
    auto* label = find<QLabel>("lblWarning");
    w.show();
    w.setWarning("PCSAT BATTERY LOW", true);
    EXPECT_TRUE(w.isWarningVisible());
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(w.warningText(), "PCSAT BATTERY LOW");
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(pixel(label, 3, 3), QColor(255, 0, 0));
    w.setWarning("", false);
    EXPECT_FALSE(w.isWarningVisible());
    EXPECT_TRUE(w.warningText().isEmpty());
}

TEST_F(MainWindowTest, DialogsGoThroughTheInjectedInterface)
{
    w.showSocketError("Connection refused");
    w.showLogsDirectoryError();
    EXPECT_EQ(dialogs.socketErrors, QStringList{"Connection refused"});
    EXPECT_EQ(dialogs.logsErrors, 1);
    EXPECT_EQ(&w.dialogs(), &dialogs);
}

TEST_F(MainWindowTest, WithoutTrayMinimisingLeavesTheWindowInTheTaskBar)
{
    w.show();
    w.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized());
    EXPECT_FALSE(w.isHidden());
    EXPECT_FALSE(w.isInTray());
    EXPECT_FALSE(w.tray().systemTrayIcon()->isVisible());
    w.showNormal();
    EXPECT_FALSE(w.isMinimized());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, WithTrayMinimisingHidesAndAClickRestores)
{
    w.setTrayAvailable(true);
    w.show();
    w.applyMainWindow(1500, 600, 9000);
    const QRect before = w.geometry();
    w.setTrayTip("Selvane - ToSats/ToOut/Tot dal 06/12 08:15 =0/3/5");

    w.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isHidden());
    EXPECT_TRUE(w.isInTray());
    QSystemTrayIcon* icon = w.tray().systemTrayIcon();
    EXPECT_TRUE(icon->isVisible());
    EXPECT_EQ(icon->toolTip(), "Selvane - ToSats/ToOut/Tot dal 06/12 08:15 =0/3/5");

    // The context-menu click opens the icon's menu and leaves the window
    // in the tray; a click brings it back.
    EXPECT_EQ(icon->contextMenu(), w.trayMenu());
    emit icon->activated(QSystemTrayIcon::Context);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isHidden());
    emit icon->activated(QSystemTrayIcon::Trigger);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_FALSE(w.isInTray());
    EXPECT_FALSE(icon->isVisible());
    EXPECT_EQ(w.geometry(), before);

    // Again, with a double click.
    w.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isHidden());
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isInTray());
}

TEST_F(MainWindowTest, GateToOutHoldsGateTelemetry)
{
    auto* forward = find<QCheckBox>("chkForward");
    auto* tlm = find<QCheckBox>("chkTlm");
    QSignalSpy toggles(&w, &MainWindow::gateToOutToggled);

    forward->click();
    EXPECT_TRUE(w.gateToOut());
    EXPECT_TRUE(tlm->isChecked());
    EXPECT_FALSE(tlm->isEnabled());
    EXPECT_TRUE(w.gateTelemetry());
    ASSERT_EQ(toggles.count(), 1);
    EXPECT_TRUE(toggles.at(0).at(0).toBool());

    forward->click();
    EXPECT_FALSE(w.gateToOut());
    EXPECT_TRUE(tlm->isEnabled());
    EXPECT_TRUE(tlm->isChecked()); // keeps its value
    ASSERT_EQ(toggles.count(), 2);
    EXPECT_FALSE(toggles.at(1).at(0).toBool());
    tlm->click();
    EXPECT_FALSE(w.gateTelemetry());

    // From the settings: chkForward first, then the stored chkTlm value.
    EXPECT_TRUE(w.applyGateToOut(1));
    EXPECT_TRUE(tlm->isChecked());
    EXPECT_FALSE(tlm->isEnabled());
    EXPECT_TRUE(w.applyGateTelemetry(0));
    EXPECT_FALSE(tlm->isChecked());
    EXPECT_FALSE(tlm->isEnabled());
    EXPECT_EQ(w.collectSettings().gateTelemetry, 0);
    EXPECT_EQ(toggles.count(), 3);
}

TEST_F(MainWindowTest, FocusOrderStartsAtTheStartButton)
{
    const QStringList expected{"cmdStart", "txtAddress", "txtDigi", "txtIn",   "txtAdd",     "cmbPort",
                               "List2",    "List1",      "txtDup",  "txtOut",  "chkLog",     "optTlm0",
                               "optTlm1",  "optTlm2",    "chkForward", "chkReverse", "chkTlm"};
    const QStringList names = kControlNames;

    // The controls that take the focus with Tab, in the order of the chain.
    QStringList order{"cmdStart"};
    QWidget* start = find("cmdStart");
    for (QWidget* next = start->nextInFocusChain(); next && next != start; next = next->nextInFocusChain()) {
        // The mode buttons are one Tab stop (the selected one) but keep
        // their place in the chain.
        if (!(next->focusPolicy() & Qt::TabFocus) && !qobject_cast<QRadioButton*>(next))
            continue;
        // A part of a compound control (the combo box's text field) counts as
        // the control.
        QWidget* named = next;
        while (named && !names.contains(named->objectName()))
            named = named->parentWidget();
        if (named && order.constLast() != named->objectName() && !order.contains(named->objectName()))
            order << named->objectName();
    }
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindowTest, SettingsRoundTrip)
{
    GatewaySettings s;
    s.viaPath = "WIDE1-1,WIDE2-1";
    s.gatewayCall = "N0CALL-5";
    s.satsPorts = "1,3";
    s.outPorts = "2";
    s.dupSeconds = "45";
    s.agwpeHost = "192.168.1.20";
    s.mainLeft = 1200;
    s.mainTop = 900;
    s.mainWidth = 16020;
    s.dailyLog = 1;
    s.tlmWindowMode = 2;
    s.tlmHeight = 4850.5;
    s.tlmTop = 3000;
    s.tlmLeft = 9000;
    s.gateToOut = 1;
    s.gateToSats = 0;
    s.gateTelemetry = 1;
    s.engine = EngineChoice::DireWolf;
    s.autoReconnect = true;
    applyAll(s);
    EXPECT_EQ(w.collectSettings(), s);
    EXPECT_EQ(w.leftTwips(), 1200);
    EXPECT_EQ(w.topTwips(), 900);
    EXPECT_EQ(w.outerWidthTwips(), 16020);
    EXPECT_EQ(w.width(), 1060);
    EXPECT_EQ(w.x(), 80);
    EXPECT_EQ(w.y(), 60);
    EXPECT_TRUE(w.dailyLog());
    EXPECT_EQ(w.telemetryWindowHeight(), 4850.5);

    // A second round with other values.
    GatewaySettings t = s;
    t.gatewayCall.clear();
    t.mainLeft = -150;
    t.mainTop = 0;
    t.mainWidth = 16500;
    t.dailyLog = 0;
    t.tlmWindowMode = 0;
    t.tlmHeight = 100000;
    t.gateToOut = 0;
    t.gateToSats = 1;
    t.gateTelemetry = 0;
    t.engine = EngineChoice::Automatic;
    t.autoReconnect = false;
    applyAll(t);
    EXPECT_EQ(w.collectSettings(), t);

    // A width narrower than the texts need is raised to it; the read-back
    // is the window's.
    for (int narrow : {0, 7470}) {
        EXPECT_TRUE(w.applyMainWindow(30, 45, narrow));
        EXPECT_EQ(w.collectSettings().mainWidth, M::OuterWidthFromClientPixels(w.minimumWidth()));
        EXPECT_GT(w.collectSettings().mainWidth, narrow);
        EXPECT_EQ(w.collectSettings().mainLeft, 30);
        EXPECT_EQ(w.collectSettings().mainTop, 45);
    }
}

TEST_F(MainWindowTest, RefusedValuesLeaveTheControlsAsTheyAre)
{
    QSignalSpy modes(&w, &MainWindow::telemetryModeSelected);
    QSignalSpy logs(&w, &MainWindow::logToggled);
    for (int bad : {2, -1, 7, 32767}) {
        EXPECT_FALSE(w.applyDailyLog(bad));
        EXPECT_FALSE(w.applyGateToOut(bad));
        EXPECT_FALSE(w.applyGateToSats(bad));
        EXPECT_FALSE(w.applyGateTelemetry(bad));
    }
    EXPECT_FALSE(w.dailyLog());
    EXPECT_FALSE(w.gateToOut());
    EXPECT_FALSE(w.gateToSats());
    EXPECT_FALSE(w.gateTelemetry());
    EXPECT_TRUE(find("chkTlm")->isEnabled());
    EXPECT_EQ(logs.count(), 0);

    ASSERT_TRUE(w.applyGateToSats(1));
    EXPECT_FALSE(w.applyGateToSats(2));
    EXPECT_TRUE(w.gateToSats()); // kept

    for (int bad : {7, 3, -1}) {
        EXPECT_FALSE(w.applyTelemetryMode(bad));
        EXPECT_EQ(w.selectedTelemetryMode(), 1);
    }
    EXPECT_EQ(modes.count(), 0);
    EXPECT_EQ(w.collectSettings().tlmWindowMode, 1);
    EXPECT_FALSE(w.applyEngineChoice(EngineChoice(5)));
    EXPECT_EQ(w.engineChoice(), EngineChoice::Automatic);
}

TEST_F(MainWindowTest, ModeAndLogSignals)
{
    QSignalSpy modes(&w, &MainWindow::telemetryModeSelected);
    QSignalSpy logs(&w, &MainWindow::logToggled);

    // Applying a mode selects its button and asks for the mode, even when the
    // button was already selected.
    EXPECT_TRUE(w.applyTelemetryMode(1));
    EXPECT_TRUE(w.applyTelemetryMode(0));
    ASSERT_EQ(modes.count(), 2);
    EXPECT_EQ(modes.at(0).at(0).toInt(), 1);
    EXPECT_EQ(modes.at(1).at(0).toInt(), 0);
    EXPECT_TRUE(find<QRadioButton>("optTlm0")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("optTlm1")->isChecked());

    // The user's choice: one signal with the button's index.
    find<QRadioButton>("optTlm2")->click();
    ASSERT_EQ(modes.count(), 3);
    EXPECT_EQ(modes.at(2).at(0).toInt(), 2);
    EXPECT_EQ(w.selectedTelemetryMode(), 2);

    find<QCheckBox>("chkLog")->click();
    EXPECT_TRUE(w.applyDailyLog(0));
    EXPECT_TRUE(w.applyDailyLog(0)); // no change, no signal
    ASSERT_EQ(logs.count(), 2);
    EXPECT_TRUE(logs.at(0).at(0).toBool());
    EXPECT_FALSE(logs.at(1).at(0).toBool());
}

TEST_F(MainWindowTest, LiveSettingsAreReadWhenAsked)
{
    QTest::keyClicks(find<QLineEdit>("txtDup"), "60");
    EXPECT_EQ(w.dupSeconds(), "60");
    find<QLineEdit>("txtDup")->clear();
    EXPECT_EQ(w.dupSeconds(), "");
    find<QCheckBox>("chkReverse")->click();
    EXPECT_TRUE(w.gateToSats());
    find<QCheckBox>("chkReverse")->click();
    EXPECT_FALSE(w.gateToSats());
    QTest::keyClicks(find<QLineEdit>("txtIn"), "1,2");
    QTest::keyClicks(find<QLineEdit>("txtOut"), "3");
    EXPECT_EQ(w.satsPorts(), "1,2");
    EXPECT_EQ(w.outPorts(), "3");
}

TEST_F(MainWindowTest, FrameContextMenuChoosesTheEngineProfileAndReconnecting)
{
    using E = EngineChoice;
    auto* frame = find("Frame2");
    EXPECT_EQ(frame->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(w.engineChoice(), E::Automatic);
    EXPECT_TRUE(w.engineAction(E::Automatic)->isChecked());
    EXPECT_FALSE(w.autoReconnect());
    EXPECT_EQ(qobject_cast<QGroupBox*>(frame)->title(),
              "AGW Packet Engine Information - Profilo: automatico");

    QSignalSpy choices(&w, &MainWindow::engineChoiceChanged);
    w.engineAction(E::DireWolf)->trigger();
    w.engineAction(E::DireWolf)->trigger(); // exclusive: stays chosen, no second signal
    EXPECT_EQ(w.engineChoice(), E::DireWolf);
    EXPECT_FALSE(w.engineAction(E::Automatic)->isChecked());
    EXPECT_TRUE(w.applyEngineChoice(E::Agwpe));
    EXPECT_FALSE(w.applyEngineChoice(EngineChoice(7)));
    EXPECT_EQ(w.engineChoice(), E::Agwpe);
    ASSERT_EQ(choices.count(), 2);
    EXPECT_EQ(choices.at(0).at(0).value<E>(), E::DireWolf);
    EXPECT_EQ(choices.at(1).at(0).value<E>(), E::Agwpe);

    QSignalSpy reconnects(&w, &MainWindow::autoReconnectChanged);
    w.autoReconnectAction()->trigger();
    EXPECT_TRUE(w.autoReconnect());
    EXPECT_EQ(reconnects.count(), 1);
    const GatewaySettings s = w.collectSettings();
    EXPECT_EQ(s.engine, E::Agwpe);
    EXPECT_TRUE(s.autoReconnect);

    w.showEngineProfile(ProfileDescription(E::Automatic, EngineProfile::DireWolf));
    EXPECT_EQ(qobject_cast<QGroupBox*>(frame)->title(),
              "AGW Packet Engine Information - Profilo: Dire Wolf-compatibile (automatico)");
}

TEST_F(MainWindowTest, RightClickOnTheStatusLineOpensTheFrameMenu)
{
    w.show();
    QWidget* status = find("lblConnect");
    QStringList seen;
    // The menu runs modally: inspect and close it once it is up.
    QTimer::singleShot(0, [&seen, this] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(top);
            if (!menu || !menu->isVisible())
                continue;
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    seen << a->text();
            w.engineAction(EngineChoice::DireWolf)->trigger();
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), status->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(status, &event);
    EXPECT_EQ(seen, (QStringList{"Profilo motore automatico (dalla versione)", "AGW Packet Engine (via RS0ISSP)",
                                 "Dire Wolf-compatibile (via RS0ISS*)", "Frame grezzi in entrambe le direzioni (\"K\", senza \"V\")",
                                 "Riconnetti automaticamente", "APRS-IS...", "Motore...", "Satelliti..."}));
    EXPECT_EQ(w.engineChoice(), EngineChoice::DireWolf);
}

TEST_F(MainWindowTest, ClosingIsAnnouncedBeforeTheWindowCloses)
{
    w.show();
    bool visibleWhenAnnounced = false;
    int announced = 0;
    QObject::connect(&w, &MainWindow::closing, [&] {
        ++announced;
        visibleWhenAnnounced = w.isVisible();
    });
    EXPECT_TRUE(w.close());
    EXPECT_EQ(announced, 1);
    EXPECT_TRUE(visibleWhenAnnounced);
    EXPECT_FALSE(w.isVisible());
}

TEST(MainWindowOwnDialogs, WorksWithoutInjectedDialogs)
{
    MainWindow w;
    EXPECT_NE(dynamic_cast<QtDialogs*>(&w.dialogs()), nullptr);
    // The platform decides about the tray: offscreen there is none.
    EXPECT_EQ(w.tray().isAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
    w.setTrayAvailable(true);
    EXPECT_TRUE(w.tray().isAvailable());
    w.setTrayAvailable(std::nullopt);
    EXPECT_EQ(w.tray().isAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
}

TEST(SelvaneIconTest, IsDrawnAtTraySizes)
{
    const QIcon icon = SelvaneIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32}) {
        const QImage img = icon.pixmap(size).toImage();
        EXPECT_EQ(img.width(), size);
        int opaque = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                opaque += qAlpha(img.pixel(x, y)) > 128 ? 1 : 0;
        // Something is drawn, on a transparent background.
        EXPECT_GT(opaque, size * size / 10);
        EXPECT_LT(opaque, size * size * 9 / 10);
    }
}

TEST_F(MainWindowTest, TabKeyWalksTheFocusOrder)
{
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), find("cmdStart"));
    const QStringList names = kControlNames;
    QStringList walked{"cmdStart"};
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* f = QApplication::focusWidget();
        while (f && !names.contains(f->objectName()))
            f = f->parentWidget();
        if (!f || f->objectName() == "cmdStart")
            break;
        walked << f->objectName();
    }
    // The mode group is entered at its selected button.
    EXPECT_EQ(walked, (QStringList{"cmdStart", "txtAddress", "txtDigi", "txtIn", "txtAdd", "cmbPort", "List2",
                                   "List1", "txtDup", "txtOut", "chkLog", "optTlm1", "chkForward", "chkReverse",
                                   "chkTlm"}));

    // With "Gate to Out" set, "Gate Telemetry" is disabled and skipped; the
    // group is now entered at "Auto".
    find<QRadioButton>("optTlm2")->click();
    find<QCheckBox>("chkForward")->click();
    find("cmdStart")->setFocus();
    walked = QStringList{"cmdStart"};
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* f = QApplication::focusWidget();
        while (f && !names.contains(f->objectName()))
            f = f->parentWidget();
        if (!f || f->objectName() == "cmdStart")
            break;
        walked << f->objectName();
    }
    EXPECT_TRUE(walked.contains("optTlm2"));
    EXPECT_FALSE(walked.contains("optTlm1"));
    EXPECT_FALSE(walked.contains("chkTlm"));
    EXPECT_EQ(walked.constLast(), "chkReverse");
}

// Every function is reachable from the menu bar: each entry, what it does.
TEST_F(MainWindowTest, MenuBarReachesEveryFunction)
{
    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Impostazioni", "Fi&nestre", "&Aiuto"}));
    auto entries = [this](const char* menu) {
        QStringList texts;
        for (QAction* a : find<QMenu>(menu)->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    };
    EXPECT_EQ(entries("menuFile"), QStringList{"&Esci"});
    EXPECT_EQ(entries("menuSettings"),
              (QStringList{"Profilo motore automatico (dalla versione)", "AGW Packet Engine (via RS0ISSP)",
                           "Dire Wolf-compatibile (via RS0ISS*)",
                           "Frame grezzi in entrambe le direzioni (\"K\", senza \"V\")", "-",
                           "Riconnetti automaticamente", "-", "APRS-IS...", "Motore...", "Satelliti..."}));
    EXPECT_EQ(entries("menuWindows"), (QStringList{"Finestra telemetria PCSAT", "Riduci nell'area di notifica"}));
    EXPECT_EQ(entries("menuHelp"), (QStringList{"Guida ai comandi", "Informazioni su Selvane"}));
    // The settings are the same actions as in the engine frame's menu.
    EXPECT_EQ(find<QMenu>("menuSettings")->actions(), find("Frame2")->actions());

    QSignalSpy aprsIs(&w, &MainWindow::aprsIsRequested);
    QSignalSpy satellites(&w, &MainWindow::satellitesRequested);
    QSignalSpy telemetry(&w, &MainWindow::telemetryWindowRequested);
    QSignalSpy closing(&w, &MainWindow::closing);
    auto trigger = [this](const char* name) { find<QAction>(name)->trigger(); };
    w.show();
    trigger("aprsIs");
    trigger("satellites");
    trigger("actionTelemetryWindow");
    trigger("actionTelemetryWindow");
    EXPECT_EQ(aprsIs.count(), 1);
    EXPECT_EQ(satellites.count(), 1);
    ASSERT_EQ(telemetry.count(), 2);
    EXPECT_TRUE(telemetry.at(0).at(0).toBool());
    EXPECT_FALSE(telemetry.at(1).at(0).toBool());
    w.setTelemetryWindowShown(true);
    EXPECT_TRUE(w.telemetryWindowAction()->isChecked());

    trigger("actionHelp");
    trigger("actionAbout");
    ASSERT_EQ(dialogs.informationTitles, (QStringList{"Guida ai comandi", "Informazioni su Selvane"}));
    EXPECT_TRUE(dialogs.informationTexts[0].contains("<b>Gate to Sats</b>"));
    for (const char* about : {SELVANE_VERSION, "GNU General Public License", "href=\"https://"})
        EXPECT_TRUE(dialogs.informationTexts[1].contains(QString::fromUtf8(about))) << about;

    trigger("actionMinimise");
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized());
    w.showNormal();
    trigger("actionExit");
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowTest, TrayMenuShowsStartsAndEnds)
{
    w.setTrayAvailable(true);
    w.show();
    auto action = [this](const char* name) { return w.trayMenu()->findChild<QAction*>(name); };
    auto texts = [this] {
        emit w.trayMenu()->aboutToShow();
        QStringList t;
        for (QAction* a : w.trayMenu()->actions())
            if (!a->isSeparator())
                t << a->text();
        return t;
    };
    EXPECT_EQ(texts(), (QStringList{"Nascondi Selvane", "START", "Esci"}));
    w.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.isInTray());
    w.setRunning(true);
    EXPECT_EQ(texts(), (QStringList{"Mostra Selvane", "STOP", "Esci"}));

    QSignalSpy starts(&w, &MainWindow::startClicked);
    action("trayStart")->trigger();
    EXPECT_EQ(starts.count(), 1);
    action("trayShow")->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isInTray());
    // Exit from the tray, the window hidden there: the ordinary close.
    w.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.isHidden());
    QSignalSpy closing(&w, &MainWindow::closing);
    action("trayExit")->trigger();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(w.tray().systemTrayIcon()->isVisible());
}

// What lasts is said where the counters, refreshed with every packet, never
// write: the missing call beside the Call box, the notices on their own line,
// the APRS-IS state under the received packets.
TEST_F(MainWindowTest, LastingConditionsHaveLinesOfTheirOwn)
{
    w.show();
    EXPECT_EQ(w.callSignNote(), "nessun nominativo: esce KORVA");
    EXPECT_TRUE(find("lblCallNote")->isVisible());
    QTest::keyClicks(find<QLineEdit>("txtAdd"), "n0call");
    EXPECT_EQ(w.callSignNote(), "");
    EXPECT_FALSE(find("lblCallNote")->isVisible());
    find<QLineEdit>("txtAdd")->clear();
    EXPECT_EQ(w.callSignNote(), "nessun nominativo: esce KORVA");

    EXPECT_FALSE(find("lblNotice")->isVisible());
    w.setNotice(MainWindow::Notice::Satellites, "nessun satellite abilitato");
    w.setNotice(MainWindow::Notice::Files, "Log non scritto (disco pieno?): Logs/26-12-06.Txt");
    w.setStatusText("ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");
    EXPECT_EQ(w.noticeText(), "Log non scritto (disco pieno?): Logs/26-12-06.Txt\nnessun satellite abilitato");
    EXPECT_TRUE(find("lblNotice")->isVisible());
    w.setNotice(MainWindow::Notice::Files, {});
    EXPECT_EQ(w.noticeText(), "nessun satellite abilitato");
    w.setNotice(MainWindow::Notice::Satellites, {});
    EXPECT_FALSE(find("lblNotice")->isVisible());
    EXPECT_EQ(w.statusText(), "ToSats/ToOut/Tot dal 06/12 08:15 =0/1/1");

    EXPECT_FALSE(find("lblAprsIs")->isVisible());
    w.showAprsIs("APRS-IS: connesso e verificato, inviati 3, persi 0", "APRS-IS: connesso e verificato (server T2)");
    EXPECT_TRUE(find("lblAprsIs")->isVisible());
    EXPECT_EQ(w.aprsIsText(), "APRS-IS: connesso e verificato, inviati 3, persi 0");
    EXPECT_EQ(find("lblAprsIs")->toolTip(), "APRS-IS: connesso e verificato (server T2)");
    EXPECT_EQ(find<QGroupBox>("Frame3")->title(), "AGW Packet Engine Received Packets  - all Ports -");
    w.showAprsIs({});
    EXPECT_FALSE(find("lblAprsIs")->isVisible());
}
