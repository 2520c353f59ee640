#include "ui/MainWindow.h"

#include "agw/EngineProfile.h"
#include "common/TextRules.h"
#include "gateway/Classification.h"
#include "settings/SettingsValues.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QValidator>

#include <algorithm>

#include "ui/Tray.h"

namespace selvane {

namespace {

using M = MainWindowMetrics;

const QString kCaption = QStringLiteral("Selvane");
const QString kIdleStatus = QStringLiteral("Premere START per attivare la connessione...");

const QColor kStartGreen(0, 192, 0);
const QColor kStopRed(255, 0, 0);
const QColor kReceivedGreen(0, 192, 0);
const QColor kReceivedYellow(255, 255, 96);
const QColor kReceivedLightGreen(16, 255, 16);
const QColor kTransmittedYellow(255, 255, 128);
const QColor kWarningRed(255, 0, 0);
const QColor kWarningYellow(255, 255, 0);

QColor ReceivedColour(PacketColour colour)
{
    switch (colour) {
    case PacketColour::Yellow:
        return kReceivedYellow;
    case PacketColour::LightGreen:
        return kReceivedLightGreen;
    case PacketColour::Green:
        break;
    }
    return kReceivedGreen;
}

} // namespace

// What a text box takes from the user: a character limit and, for the call
// sign and the via path, a filter run on every typed or pasted character
// (lower case becomes upper case; only A-Z, 0-9 and "-", for the via path also
// ",", are kept; everything else is dropped). Text set by the program is not
// filtered and may be longer than the limit; the user can then shorten it but
// not lengthen it.
//
// QLineEdit only tells a validator the candidate text, so the rule keeps the
// box's last text and works out what the edit inserted.
class TypedInputRule : public QValidator {
public:
    enum class Filter { None, CallSign, ViaPath };

    TypedInputRule(QLineEdit* box, int limit, Filter filter)
        : QValidator(box), m_limit(limit), m_filter(filter), m_last(box->text())
    {
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { m_last = text; });
    }

    State validate(QString& input, int& pos) const override
    {
        const QString& old = m_last;
        const qsizetype common = std::min(old.size(), input.size());
        qsizetype prefix = 0;
        while (prefix < common && old[prefix] == input[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < common - prefix && old[old.size() - 1 - suffix] == input[input.size() - 1 - suffix])
            ++suffix;
        const qsizetype insertedLength = input.size() - prefix - suffix;
        if (insertedLength <= 0)
            return Acceptable; // a deletion: always allowed

        QString inserted = filter(input.mid(prefix, insertedLength));
        if (inserted.isEmpty()) {
            // Every typed character was refused: the keystroke is discarded
            // as a whole, so a selection it would have replaced stays.
            input = old;
            pos = int(std::min(prefix, old.size()));
            return Acceptable;
        }
        const qsizetype room = m_limit - (input.size() - insertedLength);
        if (inserted.size() > room)
            inserted.truncate(std::max<qsizetype>(0, room));
        input = input.left(prefix) + inserted + input.right(suffix);
        pos = int(prefix + inserted.size());
        return Acceptable;
    }

private:
    QString filter(const QString& typed) const
    {
        if (m_filter == Filter::None)
            return typed;
        QString kept;
        kept.reserve(typed.size());
        for (QChar c : typed) {
            const char16_t u = c.unicode();
            if (u >= u'a' && u <= u'z')
                kept.append(QChar(char16_t(u - u'a' + u'A')));
            else if ((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-')
                kept.append(c);
            else if (u == u',' && m_filter == Filter::ViaPath)
                kept.append(c);
        }
        return kept;
    }

    int m_limit;
    Filter m_filter;
    QString m_last;
};

MainWindow::MainWindow(IDialogs* dialogs, std::optional<bool> trayAvailable, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_dialogs(dialogs)
{
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
    setObjectName(QStringLiteral("frmSelvane"));
    setWindowTitle(kCaption);
    const QIcon icon = SelvaneIcon();
    setWindowIcon(icon);
    // The classic dialog font size, narrowed where the family has a narrow
    // face: the captions have the room of an 8-point dialog font and the
    // text boxes are 19 pixels high.
    QFont f = font();
    f.setPointSize(8);
    f.setStretch(QFont::SemiCondensed);
    setFont(f);

    m_tray = new TrayIcon(icon, this);
    m_tray->setAvailability(trayAvailable);
    m_tray->setTip(kCaption);
    connect(m_tray, &TrayIcon::clicked, this, &MainWindow::leaveTray);

    buildControls();
    setTabOrderChain();
    showCallSignState();

    setMinimumSize(M::MinClientWidthPixels(), M::MinClientHeightPixels());
    setMaximumSize(QWIDGETSIZE_MAX, M::MaxClientHeightPixels());
    // Design size: the whole layout, 7470 twips wide.
    resize(M::MinClientWidthPixels(), M::MaxClientHeightPixels());
    applyLayout();
    m_cmdStart->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    using C = MainControl;
    auto name = [this](QWidget* w, C c) {
        w->setObjectName(MainControlName(c));
        m_controls[std::size_t(c)] = w;
    };

    // Frames first, so that the controls lying on their borders are drawn
    // above them.
    m_frame2 = new QGroupBox(QStringLiteral("AGW Packet Engine Information"), this);
    name(m_frame2, C::Frame2);
    m_frame1 = new QGroupBox(QStringLiteral("Gateway Parameters"), this);
    name(m_frame1, C::Frame1);
    m_frame3 = new QGroupBox(QStringLiteral("AGW Packet Engine Received Packets  - all Ports -"), this);
    name(m_frame3, C::Frame3);
    m_frame4 = new QGroupBox(QStringLiteral("AGW Paket Engine Transmitted Packets - all Ports -"), this);
    name(m_frame4, C::Frame4);
    // Frame5 only positions the warning label: no border, no caption.
    m_frame5 = new QFrame(this);
    m_frame5->setFrameShape(QFrame::NoFrame);
    name(m_frame5, C::Frame5);

    // The engine strip.
    m_cmbPort = new QComboBox(m_frame2);
    name(m_cmbPort, C::cmbPort);
    m_cmbPort->setEditable(true);
    m_cmbPort->setInsertPolicy(QComboBox::NoInsert);
    m_cmbPort->setToolTip(QStringLiteral("Numero porte AGWPE e relativa descrizione."));
    {
        QPalette pal = m_cmbPort->palette();
        pal.setColor(QPalette::Base, Qt::white);
        m_cmbPort->setPalette(pal);
    }

    m_lblConnect = new QLabel(kIdleStatus, m_frame2);
    name(m_lblConnect, C::lblConnect);
    m_lblConnect->setToolTip(QStringLiteral("Stato connessione AGWPE e pacchetti lavorati."));
    m_lblConnect->setAlignment(Qt::AlignCenter);
    m_lblConnect->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblConnect->setLineWidth(1);
    m_lblConnect->setAutoFillBackground(true);
    {
        QPalette pal = m_lblConnect->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        m_lblConnect->setPalette(pal);
    }

    m_cmdStart = new QPushButton(this);
    name(m_cmdStart, C::cmdStart);
    m_cmdStart->setToolTip(QStringLiteral("Avvia/arresta il gateway."));
    m_cmdStart->setAutoDefault(false);
    setButtonLook(false);
    connect(m_cmdStart, &QPushButton::clicked, this, &MainWindow::startClicked);

    // The gating check boxes. They are opaque so that the frame border they
    // stand on does not run through their captions.
    auto checkBox = [this, &name](C c, const char* caption, const char* tip) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        name(box, c);
        box->setToolTip(QString::fromUtf8(tip));
        box->setAutoFillBackground(true);
        box->setStyleSheet(QStringLiteral("spacing: 3px"));
        return box;
    };
    m_chkReverse = checkBox(C::chkReverse, "Gate to Sats",
                            "Abilita la ritrasmissione dalla porta(e) Out alla porta(e) Sats dei pacchetti via "
                            "PCSAT / ISS");
    m_chkForward = checkBox(C::chkForward, "Gate to Out",
                            "Abilita la ritrasmissione dei pacchetti e telemetria dalla porta(e) Sats alla "
                            "porta(e) Out.");
    m_chkTlm = checkBox(C::chkTlm, "Gate Telemetry",
                        "Abilita alla trasmissione sulla porta(e) Out dei bollettini di Telemetria del PCSAT.");
    connect(m_chkForward, &QCheckBox::toggled, this, &MainWindow::onForwardToggled);

    // The parameters.
    auto label = [&name](QWidget* parent, C c, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), parent);
        name(l, c);
        return l;
    };
    auto textBox = [&name](QWidget* parent, C c, int limit, TypedInputRule::Filter filter, const char* tip) {
        auto* box = new QLineEdit(parent);
        name(box, c);
        box->setToolTip(QString::fromUtf8(tip));
        box->setValidator(new TypedInputRule(box, limit, filter));
        return box;
    };
    using F = TypedInputRule::Filter;
    label(m_frame1, C::lblVia, "Via");
    m_txtDigi = textBox(m_frame1, C::txtDigi, 30, F::ViaPath,
                        "Via Path dei pacchetti da ritrasmettere sulla porta(e) Out.");
    label(m_frame1, C::lblAdd, "Call");
    m_txtAdd = textBox(m_frame1, C::txtAdd, 9, F::CallSign,
                       "Inserire il nominativo del gateway (il proprio nominativo).");
    connect(m_txtAdd, &QLineEdit::textChanged, this, &MainWindow::showCallSignState);
    label(m_frame1, C::lblIn, "Sats");
    m_txtIn = textBox(m_frame1, C::txtIn, 3, F::None,
                      "Porta(e) AGWPE che riveve i pacchetti dal Pcsat / Iss. Si possono specificare più porte "
                      "separate da virgole.");
    label(m_frame1, C::lblOut, "Out");
    m_txtOut = textBox(m_frame1, C::txtOut, 7, F::None,
                       "Porta(e) AGWPE di ritrasmissione pacchetti. Si possono specificare più porte separate "
                       "da virgole.");
    label(m_frame1, C::lblDup, "Dup");
    m_txtDup = textBox(m_frame1, C::txtDup, 3, F::None,
                       "Tempo in secondi entro il quale pacchetti uguali non vengono ritrasmessi.");
    label(m_frame1, C::lblAddress, "IP");
    m_txtAddress = textBox(m_frame1, C::txtAddress, 16, F::None,
                           "Indirizzo IP di AGWPE. Normalnente è localhost");

    // The warning: red, bold yellow text, hidden until there is one.
    m_lblWarning = new QLabel(m_frame5);
    name(m_lblWarning, C::lblWarning);
    m_lblWarning->setAlignment(Qt::AlignCenter);
    m_lblWarning->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblWarning->setLineWidth(1);
    m_lblWarning->setAutoFillBackground(true);
    {
        QPalette pal = m_lblWarning->palette();
        pal.setColor(QPalette::Window, kWarningRed);
        pal.setColor(QPalette::WindowText, kWarningYellow);
        m_lblWarning->setPalette(pal);
        QFont bold = m_lblWarning->font();
        bold.setBold(true);
        m_lblWarning->setFont(bold);
    }
    m_lblWarning->hide();

    // The packet lists.
    auto list = [this, &name](C c, const char* tip) {
        auto* l = new QListWidget(this);
        name(l, c);
        l->setToolTip(QString::fromUtf8(tip));
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setTextElideMode(Qt::ElideNone);
        l->setUniformItemSizes(true);
        l->setSpacing(0);
        return l;
    };
    m_list2 = list(C::List2, "Pacchetti ricevuti. Sfondo: Giallo=ritrasmessi  Verde=altre porte  Verde "
                             "chiaro=duplicati.");
    m_list2->addItem(QStringLiteral("Selvane v3"));
    setListColour(m_list2, kReceivedGreen);

    // The telemetry window mode: one group, "Hide" selected.
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    const std::array<const char*, 3> modeCaptions{"Show Tlm", "Hide", "Auto"};
    const std::array<const char*, 3> modeTips{
        "Finestra Telemetria PCSAT sempre visibile.",
        "Finestra Telemetria PCSAT sempre nascosta.",
        "Finestra di telemetria visibile in presenza di pacchetti di TLM per 15 minuti.",
    };
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(QString::fromUtf8(modeCaptions[std::size_t(i)]), this);
        name(opt, C(int(C::optTlm0) + i));
        opt->setToolTip(QString::fromUtf8(modeTips[std::size_t(i)]));
        opt->setAutoFillBackground(true);
        opt->setStyleSheet(QStringLiteral("spacing: 3px"));
        group->addButton(opt, i);
        m_optTlm[std::size_t(i)] = opt;
        connect(opt, &QRadioButton::toggled, this, [this, i](bool checked) {
            if (!checked)
                return;
            // The group is one stop of the Tab order, at the selected button.
            for (QRadioButton* b : m_optTlm)
                b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
            if (!m_applyingMode)
                emit telemetryModeSelected(i);
        });
    }
    m_optTlm[1]->setChecked(true);

    m_chkLog = checkBox(C::chkLog, "Logs",
                        "Abilita la scrittura dei pacchetti ritrasmessi su un log compatibile UI-View e della "
                        "telemetria PCSAT.");
    connect(m_chkLog, &QCheckBox::toggled, this, &MainWindow::logToggled);

    m_list1 = list(C::List1, "Pacchetti trasmessi.");
    setListColour(m_list1, kTransmittedYellow);

    // Frame2's context menu: the engine profile (automatic from the
    // engine's version, or chosen), and reconnecting by itself.
    auto* engineGroup = new QActionGroup(m_frame2);
    engineGroup->setExclusive(true);
    const struct {
        EngineChoice choice;
        const char* text;
        const char* name;
    } engines[] = {
        {EngineChoice::Automatic, "Profilo motore automatico (dalla versione)", "engineAutomatic"},
        {EngineChoice::Agwpe, "AGW Packet Engine (via RS0ISSP)", "engineAgwpe"},
        {EngineChoice::DireWolf, "Dire Wolf-compatibile (via RS0ISS*)", "engineDireWolf"},
        {EngineChoice::RawFrames, QT_TR_NOOP("Frame grezzi in entrambe le direzioni (\"K\", senza \"V\")"),
         "engineRawFrames"},
    };
    for (const auto& e : engines) {
        auto* a = new QAction(e.choice == EngineChoice::RawFrames ? tr(e.text) : QString::fromLatin1(e.text), m_frame2);
        a->setObjectName(QString::fromLatin1(e.name));
        a->setCheckable(true);
        engineGroup->addAction(a);
        m_frame2->addAction(a);
        m_engineActions[std::size_t(e.choice)] = a;
        connect(a, &QAction::toggled, this, [this, choice = e.choice](bool checked) {
            if (checked && m_engineChoice != choice) {
                m_engineChoice = choice;
                emit engineChoiceChanged(choice);
            }
        });
    }
    m_engineActions[std::size_t(EngineChoice::Automatic)]->setChecked(true);
    auto* separator = new QAction(m_frame2);
    separator->setSeparator(true);
    m_frame2->addAction(separator);
    m_autoReconnect = new QAction(QStringLiteral("Riconnetti automaticamente"), m_frame2);
    m_autoReconnect->setObjectName(QStringLiteral("autoReconnect"));
    m_autoReconnect->setCheckable(true);
    m_frame2->addAction(m_autoReconnect);
    connect(m_autoReconnect, &QAction::toggled, this, &MainWindow::autoReconnectChanged);
    m_aprsIsAction = new QAction(QStringLiteral("APRS-IS..."), m_frame2);
    m_aprsIsAction->setObjectName(QStringLiteral("aprsIs"));
    m_frame2->addAction(m_aprsIsAction);
    connect(m_aprsIsAction, &QAction::triggered, this, &MainWindow::aprsIsRequested);
    m_engineDialogAction = new QAction(tr("Motore..."), m_frame2);
    m_engineDialogAction->setObjectName(QStringLiteral("engine"));
    m_frame2->addAction(m_engineDialogAction);
    connect(m_engineDialogAction, &QAction::triggered, this, &MainWindow::engineRequested);
    m_satellitesAction = new QAction(QStringLiteral("Satelliti..."), m_frame2);
    m_satellitesAction->setObjectName(QStringLiteral("satellites"));
    m_frame2->addAction(m_satellitesAction);
    connect(m_satellitesAction, &QAction::triggered, this, &MainWindow::satellitesRequested);
    m_frame2->setContextMenuPolicy(Qt::ActionsContextMenu);
    showEngineProfile(ProfileDescription(EngineChoice::Automatic, std::nullopt));
}

void MainWindow::setTabOrderChain()
{
    const QList<QWidget*> order{
        m_cmdStart, m_txtAddress, m_txtDigi, m_txtIn,   m_txtAdd,   m_cmbPort,
        m_list2,    m_list1,      m_txtDup,  m_txtOut,  m_chkLog,   m_optTlm[0],
        m_optTlm[1], m_optTlm[2], m_chkForward, m_chkReverse, m_chkTlm,
    };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::applyLayout()
{
    m_layout = MainLayout::ForOuterWidth(outerWidthTwips());
    for (int i = 0; i < kMainControlCount; ++i) {
        const auto c = MainControl(i);
        m_controls[std::size_t(i)]->setGeometry(m_layout.pixels(c));
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The minimum and maximum sizes keep the window within the rules; a
    // window manager that ignores them is corrected here.
    const int w = std::max(width(), M::MinClientWidthPixels());
    const int h = std::clamp(height(), M::MinClientHeightPixels(), M::MaxClientHeightPixels());
    if (w != width() || h != height()) {
        resize(w, h);
        return;
    }
    applyLayout();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        sendToTray();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    emit closing();
    m_tray->removeFromTray();
    event->accept();
}

void MainWindow::sendToTray()
{
    // Without a tray the window stays minimised in the task bar, from where
    // it can always be brought back.
    if (!m_tray->showInTray())
        return;
    // Hidden once the state change has been handled: the window and its
    // task-bar entry vanish, the icon takes their place.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_tray->isInTray() && isMinimized())
                hide();
        },
        Qt::QueuedConnection);
}

void MainWindow::leaveTray()
{
    if (!m_tray->isInTray())
        return;
    // Back at the former place and size.
    showNormal();
    raise();
    activateWindow();
    m_tray->removeFromTray();
}

void MainWindow::setTrayAvailable(std::optional<bool> available)
{
    m_tray->setAvailability(available);
}

void MainWindow::setButtonLook(bool running)
{
    const QColor c = running ? kStopRed : kStartGreen;
    m_cmdStart->setText(running ? QStringLiteral("STOP") : QStringLiteral("START"));
    m_cmdStart->setStyleSheet(
        QStringLiteral("QPushButton#cmdStart { background-color: %1; color: black;"
                       " border: 1px solid #404040; border-radius: 2px; }"
                       "QPushButton#cmdStart:pressed { background-color: %2; }"
                       "QPushButton#cmdStart:focus { border: 2px solid #202020; }")
            .arg(c.name(), c.darker(120).name()));
}

void MainWindow::setListColour(QListWidget* list, const QColor& colour)
{
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, colour);
    pal.setColor(QPalette::Text, Qt::black);
    list->setPalette(pal);
}

void MainWindow::setProgramText(QLineEdit* box, const QString& text)
{
    // Neither the typing filter nor the character limit applies to text that
    // the program sets. QLineEdit runs its validator on setText() too, so the
    // rule is taken off for the moment (it still follows the new text).
    const QValidator* rule = box->validator();
    box->setValidator(nullptr);
    box->setText(text);
    box->setValidator(rule);
}

// --- ILinkView ---

void MainWindow::setStatusText(const QString& text)
{
    m_lblConnect->setText(text);
}

void MainWindow::setTrayTip(const QString& text)
{
    m_tray->setTip(text);
}

void MainWindow::setRunning(bool running)
{
    m_running = running;
    setButtonLook(running);
}

void MainWindow::showReceived(const QStringList& lines, PacketColour colour)
{
    m_list2->clear();
    // An information field may hold CRs or LFs: shown on one line.
    for (const QString& line : lines)
        m_list2->addItem(OneLine(line));
    m_receivedColour = colour;
    setListColour(m_list2, ReceivedColour(colour));
}

void MainWindow::showTransmitted(const QStringList& lines)
{
    m_list1->clear();
    m_list1->addItems(lines);
}

void MainWindow::setPortsText(const QString& text)
{
    m_cmbPort->setEditText(text);
}

void MainWindow::addPort(const QString& description)
{
    // Adding to the list leaves the text field as it is.
    const QString text = m_cmbPort->currentText();
    m_cmbPort->addItem(description);
    m_cmbPort->setCurrentIndex(-1);
    m_cmbPort->setEditText(text);
}

void MainWindow::clearPorts()
{
    m_cmbPort->clear();
    m_cmbPort->clearEditText();
}

void MainWindow::showAprsIs(const QString& text)
{
    const QString base = QStringLiteral("AGW Packet Engine Received Packets  - all Ports -");
    m_frame3->setTitle(text.isEmpty() ? base : base + QStringLiteral("  ") + text);
}

void MainWindow::showEngineProfile(const QString& text)
{
    m_profileText = text;
    showEngine(m_engineText, m_engineIsAgw);
}

void MainWindow::showEngine(const QString& text, bool agw)
{
    m_engineText = text;
    m_engineIsAgw = agw;
    QStringList parts{QStringLiteral("AGW Packet Engine Information")};
    if (!text.isEmpty())
        parts << text;
    if (agw)
        parts << m_profileText;
    m_frame2->setTitle(parts.join(QStringLiteral(" - ")));
}

void MainWindow::setNotice(Notice notice, const QString& text)
{
    m_notices[std::size_t(notice)] = text;
    const QString base = QStringLiteral("AGW Paket Engine Transmitted Packets - all Ports -");
    const QString notices = noticeText();
    m_frame4->setTitle(notices.isEmpty() ? base : base + QStringLiteral("  ") + notices);
}

QString MainWindow::noticeText() const
{
    QStringList shown;
    for (const QString& n : m_notices)
        if (!n.isEmpty())
            shown << n;
    return shown.join(QStringLiteral(" - "));
}

void MainWindow::showCallSignState()
{
    // The alias the packets go out with, in grey in the empty box, framed in
    // red: the gateway works, but identifies no station.
    const bool none = TrimBlanks(m_txtAdd->text()).isEmpty();
    m_txtAdd->setPlaceholderText(none ? CallOrAlias({}) : QString());
    m_txtAdd->setStyleSheet(none ? QStringLiteral("QLineEdit { border: 1px solid #d00000; }") : QString());
}

void MainWindow::showSocketError(const QString& description)
{
    m_dialogs->socketError(description);
}

QString MainWindow::caption() const
{
    return windowTitle();
}

// --- ILiveSettings ---

QString MainWindow::viaPath() const { return m_txtDigi->text(); }
QString MainWindow::gatewayCall() const { return m_txtAdd->text(); }
QString MainWindow::satsPorts() const { return m_txtIn->text(); }
QString MainWindow::outPorts() const { return m_txtOut->text(); }
QString MainWindow::dupSeconds() const { return m_txtDup->text(); }
QString MainWindow::agwpeHost() const { return m_txtAddress->text(); }
bool MainWindow::gateToOut() const { return m_chkForward->isChecked(); }
bool MainWindow::gateToSats() const { return m_chkReverse->isChecked(); }
bool MainWindow::gateTelemetry() const { return m_chkTlm->isChecked(); }
EngineChoice MainWindow::engineChoice() const { return m_engineChoice; }
bool MainWindow::autoReconnect() const { return m_autoReconnect->isChecked(); }

// --- ISettingsTarget ---

bool MainWindow::applyTexts(const GatewaySettings& s)
{
    setProgramText(m_txtDigi, s.viaPath);
    setProgramText(m_txtAdd, s.gatewayCall);
    setProgramText(m_txtIn, s.satsPorts);
    setProgramText(m_txtOut, s.outPorts);
    setProgramText(m_txtDup, s.dupSeconds);
    setProgramText(m_txtAddress, s.agwpeHost);
    return true;
}

bool MainWindow::applyMainWindow(int left, int top, int width)
{
    move(TwipsToPixels(left), TwipsToPixels(top));
    // The size rules raise a width below 7470 twips to 7470.
    resize(M::ClientPixelsFromOuterWidth(M::ClampOuterWidth(width)), height());
    return true;
}

bool MainWindow::applyCheck(QCheckBox* box, int value)
{
    if (!IsCheckBoxValue(value))
        return false;
    box->setChecked(value == 1);
    return true;
}

bool MainWindow::applyDailyLog(int value)
{
    return applyCheck(m_chkLog, value);
}

bool MainWindow::applyTelemetryMode(int mode)
{
    if (!IsTelemetryWindowMode(mode))
        return false; // the selection stays; applying an unknown mode does nothing
    m_applyingMode = true;
    m_optTlm[std::size_t(mode)]->setChecked(true);
    m_applyingMode = false;
    emit telemetryModeSelected(mode);
    return true;
}

void MainWindow::showTelemetryMode(int mode)
{
    if (!IsTelemetryWindowMode(mode))
        return;
    m_applyingMode = true;
    m_optTlm[std::size_t(mode)]->setChecked(true);
    m_applyingMode = false;
}

bool MainWindow::applyTelemetryWindow(double height, int top, int left)
{
    m_tlmHeight = height;
    m_tlmTop = top;
    m_tlmLeft = left;
    return true;
}

bool MainWindow::applyGateToOut(int value)
{
    return applyCheck(m_chkForward, value);
}

bool MainWindow::applyGateToSats(int value)
{
    return applyCheck(m_chkReverse, value);
}

bool MainWindow::applyGateTelemetry(int value)
{
    // Applied after chkForward: the stored value counts even while the box
    // is held disabled.
    return applyCheck(m_chkTlm, value);
}

bool MainWindow::applyEngineChoice(EngineChoice choice)
{
    if (!IsEngineChoice(choice))
        return false;
    m_engineActions[std::size_t(choice)]->setChecked(true);
    return true;
}

bool MainWindow::applyAutoReconnect(bool on)
{
    m_autoReconnect->setChecked(on);
    return true;
}

GatewaySettings MainWindow::collectSettings() const
{
    GatewaySettings s;
    s.viaPath = viaPath();
    s.gatewayCall = gatewayCall();
    s.satsPorts = satsPorts();
    s.outPorts = outPorts();
    s.dupSeconds = dupSeconds();
    s.agwpeHost = agwpeHost();
    s.mainLeft = leftTwips();
    s.mainTop = topTwips();
    s.mainWidth = outerWidthTwips();
    s.dailyLog = dailyLog() ? 1 : 0;
    s.tlmWindowMode = selectedTelemetryMode();
    s.tlmHeight = m_tlmHeight;
    s.tlmTop = m_tlmTop;
    s.tlmLeft = m_tlmLeft;
    s.gateToOut = gateToOut() ? 1 : 0;
    s.gateToSats = gateToSats() ? 1 : 0;
    s.gateTelemetry = gateTelemetry() ? 1 : 0;
    s.engine = engineChoice();
    s.autoReconnect = autoReconnect();
    return s;
}

void MainWindow::showLogsDirectoryError()
{
    m_dialogs->logsDirectoryError();
}

void MainWindow::onForwardToggled(bool checked)
{
    // While "Gate to Out" is on, "Gate Telemetry" is held set; cleared, the
    // box can be used again and keeps its value.
    if (checked)
        m_chkTlm->setChecked(true);
    m_chkTlm->setEnabled(!checked);
    emit gateToOutToggled(checked);
}

// --- State ---

bool MainWindow::dailyLog() const
{
    return m_chkLog->isChecked();
}

int MainWindow::selectedTelemetryMode() const
{
    for (int i = 0; i < 3; ++i) {
        if (m_optTlm[std::size_t(i)]->isChecked())
            return i;
    }
    return TlmWindowModeNone;
}

QString MainWindow::statusText() const { return m_lblConnect->text(); }
QString MainWindow::trayTip() const { return m_tray->tip(); }
bool MainWindow::isInTray() const { return m_tray->isInTray(); }

QStringList MainWindow::receivedLines() const
{
    QStringList lines;
    for (int i = 0; i < m_list2->count(); ++i)
        lines << m_list2->item(i)->text();
    return lines;
}

QStringList MainWindow::transmittedLines() const
{
    QStringList lines;
    for (int i = 0; i < m_list1->count(); ++i)
        lines << m_list1->item(i)->text();
    return lines;
}

QString MainWindow::portsText() const { return m_cmbPort->currentText(); }

QStringList MainWindow::ports() const
{
    QStringList items;
    for (int i = 0; i < m_cmbPort->count(); ++i)
        items << m_cmbPort->itemText(i);
    return items;
}

int MainWindow::outerWidthTwips() const { return M::OuterWidthFromClientPixels(width()); }
int MainWindow::outerHeightTwips() const { return M::OuterHeightFromClientPixels(height()); }
int MainWindow::leftTwips() const { return PixelsToTwips(x()); }
int MainWindow::topTwips() const { return PixelsToTwips(y()); }

void MainWindow::setWarning(const QString& text, bool visible)
{
    m_lblWarning->setText(text);
    m_lblWarning->setVisible(visible);
}

QString MainWindow::warningText() const { return m_lblWarning->text(); }
bool MainWindow::isWarningVisible() const { return !m_lblWarning->isHidden(); }

} // namespace selvane
