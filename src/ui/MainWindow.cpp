#include "ui/MainWindow.h"

#include "agw/EngineProfile.h"
#include "common/TextRules.h"
#include "gateway/Classification.h"
#include "selvane/Version.h"
#include "settings/SettingsValues.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QValidator>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/Tray.h"
#include "ui/WrappedLabel.h"

#ifndef SELVANE_HOMEPAGE
#define SELVANE_HOMEPAGE "https://selvane.org"
#endif

namespace selvane {

namespace {

using M = MainWindowMetrics;

const QString kCaption = QStringLiteral("Selvane");

const QColor kStartGreen(0, 192, 0);
const QColor kStopRed(255, 0, 0);
const QColor kReceivedGreen(0, 192, 0);
const QColor kReceivedYellow(255, 255, 96);
const QColor kReceivedLightGreen(16, 255, 16);
const QColor kTransmittedYellow(255, 255, 128);
const QColor kWarningRed(255, 0, 0);
const QColor kWarningYellow(255, 255, 0);
const QColor kNoteRed(176, 0, 0);

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

// A text box wide enough for a typical full value of its field.
void FitTextBox(QLineEdit* box, const QString& sample)
{
    // The frame and the text margins of the style, on both sides.
    constexpr int kAround = 14;
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(sample) + kAround);
}

// A packet list: at least two lines (header and information) and the
// scroll bar that brings a long line into view.
void FitPacketList(QListWidget* list)
{
    const int lines = 2 * list->fontMetrics().lineSpacing() + 4;
    list->setMinimumHeight(lines + list->horizontalScrollBar()->sizeHint().height() + 2 * list->frameWidth());
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colour);
    widget->setPalette(pal);
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

    m_tray = new TrayIcon(icon, this);
    m_tray->setAvailability(trayAvailable);
    m_tray->setTip(kCaption);
    connect(m_tray, &TrayIcon::clicked, this, &MainWindow::leaveTray);

    buildControls();
    buildMenus();
    buildTrayMenu();
    setTabOrderChain();
    showCallSignState();

    // The design size, or what the texts need when that is more; the
    // layout keeps the window from becoming smaller than they need.
    layout()->activate();
    resize(M::DesignClientPixels().expandedTo(minimumSize()));
    m_cmdStart->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    // The engine strip: the status line and the port list, START beside.
    m_frame2 = new QGroupBox(this);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_cmbPort = new QComboBox(m_frame2);
    m_cmbPort->setObjectName(QStringLiteral("cmbPort"));
    m_cmbPort->setEditable(true);
    m_cmbPort->setInsertPolicy(QComboBox::NoInsert);
    m_cmbPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmbPort->setMinimumContentsLength(16);
    m_cmbPort->setToolTip(tr("Numero porte AGWPE e relativa descrizione."));
    {
        QPalette pal = m_cmbPort->palette();
        pal.setColor(QPalette::Base, Qt::white);
        m_cmbPort->setPalette(pal);
    }

    // The status line wraps a long text onto a second line rather than
    // cutting it (a lost engine's retry time, the counters).
    m_lblConnect = new WrappedLabel(2, m_frame2);
    m_lblConnect->setObjectName(QStringLiteral("lblConnect"));
    m_lblConnect->setText(tr("Premere START per attivare la connessione..."));
    m_lblConnect->setToolTip(tr("Stato connessione AGWPE e pacchetti lavorati."));
    m_lblConnect->setAlignment(Qt::AlignCenter);
    m_lblConnect->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblConnect->setLineWidth(1);
    m_lblConnect->setMargin(2);
    m_lblConnect->setAutoFillBackground(true);
    m_lblConnect->setMinimumWidth(m_lblConnect->fontMetrics().horizontalAdvance(m_lblConnect->text()) + 12);
    {
        QPalette pal = m_lblConnect->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        m_lblConnect->setPalette(pal);
    }
    auto* engineRow = new QHBoxLayout(m_frame2);
    engineRow->addWidget(m_lblConnect, 3);
    engineRow->addWidget(m_cmbPort, 2, Qt::AlignVCenter);

    m_cmdStart = new QPushButton(this);
    m_cmdStart->setObjectName(QStringLiteral("cmdStart"));
    m_cmdStart->setToolTip(tr("Avvia/arresta il gateway."));
    m_cmdStart->setAutoDefault(false);
    m_cmdStart->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_cmdStart, &QPushButton::clicked, this, &MainWindow::startClicked);
    setButtonLook(true);
    const int stopWidth = m_cmdStart->sizeHint().width();
    setButtonLook(false);
    // As wide for STOP as for START, and as tall as the status line.
    m_cmdStart->setMinimumSize(std::max(stopWidth, m_cmdStart->sizeHint().width()),
                               2 * m_cmdStart->fontMetrics().lineSpacing() + 12);

    // The caption also names the engine profile: wide enough from the start
    // for the longest one, so that the window never jumps when it changes.
    int widestTitle = 0;
    for (EngineChoice choice :
         {EngineChoice::Automatic, EngineChoice::Agwpe, EngineChoice::DireWolf, EngineChoice::RawFrames})
        for (auto profile : {std::optional<EngineProfile>(), std::optional(EngineProfile::Agwpe),
                             std::optional(EngineProfile::DireWolf), std::optional(EngineProfile::RawFrames)})
            widestTitle = std::max(widestTitle, m_frame2->fontMetrics().horizontalAdvance(
                                                    tr("AGW Packet Engine Information - %1")
                                                        .arg(ProfileDescription(choice, profile))));
    m_frame2->setMinimumWidth(widestTitle + 40);

    auto* strip = new QHBoxLayout;
    strip->addWidget(m_frame2, 1);
    strip->addWidget(m_cmdStart, 0, Qt::AlignBottom);

    // The gating check boxes, on the right above the parameters.
    auto checkBox = [this](const char* name, const QString& caption, const QString& tip) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        box->setToolTip(tip);
        return box;
    };
    m_chkReverse = checkBox("chkReverse", tr("Gate to Sats"),
                            tr("Abilita la ritrasmissione dalla porta(e) Out alla porta(e) Sats dei pacchetti via "
                               "PCSAT / ISS"));
    m_chkForward = checkBox("chkForward", tr("Gate to Out"),
                            tr("Abilita la ritrasmissione dei pacchetti e telemetria dalla porta(e) Sats alla "
                               "porta(e) Out."));
    m_chkTlm = checkBox("chkTlm", tr("Gate Telemetry"),
                        tr("Abilita alla trasmissione sulla porta(e) Out dei bollettini di Telemetria del PCSAT."));
    connect(m_chkForward, &QCheckBox::toggled, this, &MainWindow::onForwardToggled);
    auto* gating = new QHBoxLayout;
    gating->addStretch(1);
    gating->addWidget(m_chkReverse);
    gating->addWidget(m_chkForward);
    gating->addWidget(m_chkTlm);

    // The parameters in one row; under the Call box, while no call is set,
    // what the packets go out with instead.
    m_frame1 = new QGroupBox(tr("Gateway Parameters"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    auto* params = new QGridLayout(m_frame1);
    params->setVerticalSpacing(2);
    int column = 0;
    auto field = [this, params, &column](const char* labelName, const QString& caption, const char* boxName,
                                          int limit, TypedInputRule::Filter filter, const QString& tip,
                                          const QString& sample) {
        auto* label = new QLabel(caption, m_frame1);
        label->setObjectName(QLatin1String(labelName));
        auto* box = new QLineEdit(m_frame1);
        box->setObjectName(QLatin1String(boxName));
        box->setToolTip(tip);
        box->setValidator(new TypedInputRule(box, limit, filter));
        label->setBuddy(box);
        FitTextBox(box, sample);
        params->addWidget(label, 0, column++);
        params->addWidget(box, 0, column++);
        return box;
    };
    using F = TypedInputRule::Filter;
    m_txtDigi = field("lblVia", tr("Via"), "txtDigi", 30, F::ViaPath,
                      tr("Via Path dei pacchetti da ritrasmettere sulla porta(e) Out."), QStringLiteral("WIDE1-1,WIDE2"));
    params->setColumnStretch(1, 1);
    const int callColumn = column;
    m_txtAdd = field("lblAdd", tr("Call"), "txtAdd", 9, F::CallSign,
                     tr("Inserire il nominativo del gateway (il proprio nominativo)."), QStringLiteral("N0CALL-15"));
    connect(m_txtAdd, &QLineEdit::textChanged, this, &MainWindow::showCallSignState);
    m_txtIn = field("lblIn", tr("Sats"), "txtIn", 3, F::None,
                    tr("Porta(e) AGWPE che riveve i pacchetti dal Pcsat / Iss. Si possono specificare più porte "
                       "separate da virgole."),
                    QStringLiteral("1,2"));
    m_txtOut = field("lblOut", tr("Out"), "txtOut", 7, F::None,
                     tr("Porta(e) AGWPE di ritrasmissione pacchetti. Si possono specificare più porte separate "
                        "da virgole."),
                     QStringLiteral("2,3,4,5"));
    m_txtDup = field("lblDup", tr("Dup"), "txtDup", 3, F::None,
                     tr("Tempo in secondi entro il quale pacchetti uguali non vengono ritrasmessi."),
                     QStringLiteral("300"));
    m_txtAddress = field("lblAddress", tr("IP"), "txtAddress", 16, F::None,
                         tr("Indirizzo IP di AGWPE. Normalnente è localhost"), QStringLiteral("192.168.100.100"));
    m_callNote = new QLabel(m_frame1);
    m_callNote->setObjectName(QStringLiteral("lblCallNote"));
    SetTextColour(m_callNote, kNoteRed);
    {
        // The note's line is kept while it is hidden: typing a call does not
        // make the window jump.
        QSizePolicy keep = m_callNote->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        m_callNote->setSizePolicy(keep);
    }
    params->addWidget(m_callNote, 1, callColumn, 1, column - callColumn, Qt::AlignLeft);

    // The warning, on the right above the received packets: red, bold
    // yellow text, hidden until there is one (its line is kept).
    m_frame5 = new QFrame(this);
    m_frame5->setObjectName(QStringLiteral("Frame5"));
    m_frame5->setFrameShape(QFrame::NoFrame);
    m_lblWarning = new QLabel(m_frame5);
    m_lblWarning->setObjectName(QStringLiteral("lblWarning"));
    m_lblWarning->setAlignment(Qt::AlignCenter);
    m_lblWarning->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblWarning->setLineWidth(1);
    m_lblWarning->setMargin(1);
    m_lblWarning->setAutoFillBackground(true);
    {
        QPalette pal = m_lblWarning->palette();
        pal.setColor(QPalette::Window, kWarningRed);
        pal.setColor(QPalette::WindowText, kWarningYellow);
        m_lblWarning->setPalette(pal);
        QFont bold = m_lblWarning->font();
        bold.setBold(true);
        m_lblWarning->setFont(bold);
        QSizePolicy keep = m_lblWarning->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        m_lblWarning->setSizePolicy(keep);
        m_lblWarning->setMinimumHeight(QFontMetrics(bold).height() + 4);
    }
    m_lblWarning->hide();
    auto* warningBox = new QHBoxLayout(m_frame5);
    warningBox->setContentsMargins(0, 0, 0, 0);
    warningBox->addWidget(m_lblWarning);
    auto* warningRow = new QHBoxLayout;
    warningRow->addStretch(1);
    warningRow->addWidget(m_frame5);

    // The packet lists. A line longer than its list scrolls sideways.
    auto list = [this](QGroupBox* frame, const char* name, const QString& tip) {
        auto* l = new QListWidget(frame);
        l->setObjectName(QLatin1String(name));
        l->setToolTip(tip);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        l->setTextElideMode(Qt::ElideNone);
        l->setUniformItemSizes(true);
        l->setSpacing(0);
        FitPacketList(l);
        return l;
    };
    m_frame3 = new QGroupBox(tr("AGW Packet Engine Received Packets  - all Ports -"), this);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    m_receivedList = list(m_frame3, "List2",
                          tr("Pacchetti ricevuti. Sfondo: Giallo=ritrasmessi  Verde=altre porte  Verde "
                             "chiaro=duplicati."));
    m_receivedList->addItem(QStringLiteral("Selvane v3"));
    setListColour(m_receivedList, kReceivedGreen);
    m_aprsIsLine = new WrappedLabel(1, m_frame3);
    m_aprsIsLine->setObjectName(QStringLiteral("lblAprsIs"));
    m_aprsIsLine->hide();
    auto* received = new QVBoxLayout(m_frame3);
    received->addWidget(m_receivedList, 1);
    received->addWidget(m_aprsIsLine);

    // The telemetry window mode: one group, "Hide" selected; and "Logs".
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    const std::array<QString, 3> modeCaptions{tr("Show Tlm"), tr("Hide"), tr("Auto")};
    const std::array<QString, 3> modeTips{
        tr("Finestra Telemetria PCSAT sempre visibile."),
        tr("Finestra Telemetria PCSAT sempre nascosta."),
        tr("Finestra di telemetria visibile in presenza di pacchetti di TLM per 15 minuti."),
    };
    auto* modes = new QHBoxLayout;
    modes->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(modeCaptions[std::size_t(i)], this);
        opt->setObjectName(QStringLiteral("optTlm%1").arg(i));
        opt->setToolTip(modeTips[std::size_t(i)]);
        group->addButton(opt, i);
        m_optTlm[std::size_t(i)] = opt;
        modes->addWidget(opt);
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
    m_chkLog = checkBox("chkLog", tr("Logs"),
                        tr("Abilita la scrittura dei pacchetti ritrasmessi su un log compatibile UI-View e della "
                           "telemetria PCSAT."));
    connect(m_chkLog, &QCheckBox::toggled, this, &MainWindow::logToggled);
    modes->addSpacing(12);
    modes->addWidget(m_chkLog);

    m_frame4 = new QGroupBox(tr("AGW Paket Engine Transmitted Packets - all Ports -"), this);
    m_frame4->setObjectName(QStringLiteral("Frame4"));
    m_transmittedList = list(m_frame4, "List1", tr("Pacchetti trasmessi."));
    setListColour(m_transmittedList, kTransmittedYellow);
    auto* transmitted = new QVBoxLayout(m_frame4);
    transmitted->addWidget(m_transmittedList, 1);

    // Conditions that last, under everything else.
    m_noticeLine = new WrappedLabel(1, this);
    m_noticeLine->setObjectName(QStringLiteral("lblNotice"));
    SetTextColour(m_noticeLine, kNoteRed);
    m_noticeLine->hide();

    auto* root = new QVBoxLayout(this);
    root->setSpacing(4);
    root->addLayout(strip);
    root->addLayout(gating);
    root->addWidget(m_frame1);
    root->addLayout(warningRow);
    root->addWidget(m_frame3, 1);
    root->addLayout(modes);
    root->addWidget(m_frame4, 1);
    root->addWidget(m_noticeLine);

    showEngineProfile(ProfileDescription(EngineChoice::Automatic, std::nullopt));
}

void MainWindow::buildMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    // The window keeps its menu bar (no global menu of the desktop): the
    // layout counts on it.
    m_menuBar->setNativeMenuBar(false);
    layout()->setMenuBar(m_menuBar);

    QMenu* file = m_menuBar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    QAction* exit = file->addAction(tr("&Esci"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("actionExit"));
    exit->setShortcut(QKeySequence::Quit);

    // "Impostazioni" and the engine frame's context menu hold the same
    // actions: the engine profile (automatic from the engine's version, or
    // chosen), reconnecting by itself, then the settings dialogs.
    QMenu* settings = m_menuBar->addMenu(tr("&Impostazioni"));
    settings->setObjectName(QStringLiteral("menuSettings"));
    auto both = [this, settings](QAction* a) {
        settings->addAction(a);
        m_frame2->addAction(a);
    };
    auto separator = [this, &both] {
        auto* s = new QAction(this);
        s->setSeparator(true);
        both(s);
    };
    auto* engineGroup = new QActionGroup(this);
    engineGroup->setExclusive(true);
    const struct {
        EngineChoice choice;
        QString text;
        const char* name;
    } engines[] = {
        {EngineChoice::Automatic, tr("Profilo motore automatico (dalla versione)"), "engineAutomatic"},
        {EngineChoice::Agwpe, tr("AGW Packet Engine (via RS0ISSP)"), "engineAgwpe"},
        {EngineChoice::DireWolf, tr("Dire Wolf-compatibile (via RS0ISS*)"), "engineDireWolf"},
        {EngineChoice::RawFrames, tr("Frame grezzi in entrambe le direzioni (\"K\", senza \"V\")"), "engineRawFrames"},
    };
    for (const auto& e : engines) {
        auto* a = new QAction(e.text, this);
        a->setObjectName(QLatin1String(e.name));
        a->setCheckable(true);
        engineGroup->addAction(a);
        both(a);
        m_engineActions[std::size_t(e.choice)] = a;
        connect(a, &QAction::toggled, this, [this, choice = e.choice](bool checked) {
            if (checked && m_engineChoice != choice) {
                m_engineChoice = choice;
                emit engineChoiceChanged(choice);
            }
        });
    }
    m_engineActions[std::size_t(EngineChoice::Automatic)]->setChecked(true);
    separator();
    m_autoReconnect = new QAction(tr("Riconnetti automaticamente"), this);
    m_autoReconnect->setObjectName(QStringLiteral("autoReconnect"));
    m_autoReconnect->setCheckable(true);
    both(m_autoReconnect);
    connect(m_autoReconnect, &QAction::toggled, this, &MainWindow::autoReconnectChanged);

    // The settings dialogs, one action each, in this order. A new dialog
    // (the engine's "Motore...") is added here, with a signal of its own
    // that the application answers.
    separator();
    m_aprsIsAction = new QAction(tr("APRS-IS..."), this);
    m_aprsIsAction->setObjectName(QStringLiteral("aprsIs"));
    both(m_aprsIsAction);
    connect(m_aprsIsAction, &QAction::triggered, this, &MainWindow::aprsIsRequested);
    m_engineDialogAction = new QAction(tr("Motore..."), this);
    m_engineDialogAction->setObjectName(QStringLiteral("engine"));
    both(m_engineDialogAction);
    connect(m_engineDialogAction, &QAction::triggered, this, &MainWindow::engineRequested);
    m_satellitesAction = new QAction(tr("Satelliti..."), this);
    m_satellitesAction->setObjectName(QStringLiteral("satellites"));
    both(m_satellitesAction);
    connect(m_satellitesAction, &QAction::triggered, this, &MainWindow::satellitesRequested);
    m_frame2->setContextMenuPolicy(Qt::ActionsContextMenu);

    QMenu* windows = m_menuBar->addMenu(tr("Fi&nestre"));
    windows->setObjectName(QStringLiteral("menuWindows"));
    m_telemetryWindowAction = windows->addAction(tr("Finestra telemetria PCSAT"));
    m_telemetryWindowAction->setObjectName(QStringLiteral("actionTelemetryWindow"));
    m_telemetryWindowAction->setCheckable(true);
    connect(m_telemetryWindowAction, &QAction::triggered, this, &MainWindow::telemetryWindowRequested);
    QAction* minimise = windows->addAction(tr("Riduci nell'area di notifica"), this, &QWidget::showMinimized);
    minimise->setObjectName(QStringLiteral("actionMinimise"));

    QMenu* help = m_menuBar->addMenu(tr("&Aiuto"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction* controls = help->addAction(tr("Guida ai comandi"), this, &MainWindow::showHelp);
    controls->setObjectName(QStringLiteral("actionHelp"));
    controls->setShortcut(QKeySequence::HelpContents);
    QAction* about = help->addAction(tr("Informazioni su Selvane"), this, &MainWindow::showAbout);
    about->setObjectName(QStringLiteral("actionAbout"));
}

void MainWindow::buildTrayMenu()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    m_trayShowAction = m_trayMenu->addAction(QString(), this, [this] {
        if (m_tray->isInTray() || isHidden() || isMinimized())
            leaveTray();
        else
            showMinimized();
    });
    m_trayShowAction->setObjectName(QStringLiteral("trayShow"));
    m_trayStartAction = m_trayMenu->addAction(QString(), this, &MainWindow::startClicked);
    m_trayStartAction->setObjectName(QStringLiteral("trayStart"));
    m_trayMenu->addSeparator();
    QAction* exit = m_trayMenu->addAction(tr("Esci"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("trayExit"));
    const auto refresh = [this] {
        const bool away = m_tray->isInTray() || isHidden() || isMinimized();
        m_trayShowAction->setText(away ? tr("Mostra Selvane") : tr("Nascondi Selvane"));
        m_trayStartAction->setText(m_cmdStart->text());
    };
    connect(m_trayMenu, &QMenu::aboutToShow, this, refresh);
    refresh();
    m_tray->setContextMenu(m_trayMenu);
}

void MainWindow::setTabOrderChain()
{
    const QList<QWidget*> order{
        m_cmdStart,  m_txtAddress, m_txtDigi,      m_txtIn,           m_txtAdd,    m_cmbPort,
        m_receivedList, m_transmittedList, m_txtDup, m_txtOut,       m_chkLog,    m_optTlm[0],
        m_optTlm[1], m_optTlm[2],  m_chkForward,   m_chkReverse,      m_chkTlm,
    };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::showHelp()
{
    m_dialogs->information(
        tr("Guida ai comandi"),
        tr("<p><b>START / STOP</b>: collega Selvane al motore (AGW Packet Engine o Dire Wolf) all'indirizzo IP, "
           "porta 8000, e avvia il gateway; STOP chiude il collegamento. Senza collegamento nulla viene "
           "inoltrato.</p>"
           "<p><b>Riga di stato</b>: lo stato del collegamento, poi i contatori ToSats/ToOut/Tot: pacchetti "
           "inviati ai satelliti, alla rete locale e in tutto dall'ultimo START. <b>Elenco porte</b>: le porte "
           "radio del motore, numerate da 1.</p>"
           "<p><b>Gate to Sats</b>: invia ai satelliti i pacchetti indirizzati via il nominativo del gateway e un "
           "satellite. <b>Gate to Out</b>: invia alla rete locale anche i pacchetti ripetuti da PCSAT e quelli "
           "inviati da un satellite. <b>Gate Telemetry</b>: invia alla rete locale i bollettini della telemetria "
           "di PCSAT.</p>"
           "<p><b>Via</b>: il percorso aggiunto ai pacchetti inviati alla rete locale. <b>Call</b>: il proprio "
           "nominativo. <b>Sats</b> e <b>Out</b>: le porte che ascoltano i satelliti e quelle della rete locale "
           "(cifre da 1 a 9, per esempio 1,2). <b>Dup</b>: i secondi entro i quali lo stesso pacchetto non viene "
           "inviato di nuovo. <b>IP</b>: l'indirizzo del motore.</p>"
           "<p><b>Show Tlm / Hide / Auto</b>: la finestra della telemetria sempre visibile, sempre nascosta, o "
           "visibile per 15 minuti quando arriva telemetria. <b>Logs</b>: scrive i pacchetti inviati e la "
           "telemetria nella cartella Logs.</p>"
           "<p>Gli elenchi mostrano l'ultimo pacchetto ricevuto (giallo: inviato; verde: non per il gateway; "
           "verde chiaro: duplicato trattenuto) e l'ultimo trasmesso. Le impostazioni sono salvate in "
           "Selvane.ini alla chiusura; ridotta a icona, la finestra resta nell'area di notifica.</p>"));
}

void MainWindow::showAbout()
{
    const QString home = QStringLiteral(SELVANE_HOMEPAGE);
    m_dialogs->information(
        tr("Informazioni su Selvane"),
        tr("<h3>Selvane %1</h3>"
           "<p>Gateway per i pacchetti APRS ascoltati tramite i satelliti radioamatoriali.</p>"
           "<p>Licenza: GNU General Public License, versione 3 o successiva. Selvane è fornito senza alcuna "
           "garanzia.</p>"
           "<p>Sito: <a href=\"%2\">%2</a></p>")
            .arg(QStringLiteral(SELVANE_VERSION), home));
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
    if (!m_tray->isInTray() && !isHidden() && !isMinimized())
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
    m_cmdStart->setText(running ? tr("STOP") : tr("START"));
    m_cmdStart->setStyleSheet(
        QStringLiteral("QPushButton#cmdStart { background-color: %1; color: black;"
                       " border: 1px solid #404040; border-radius: 2px; padding: 4px 10px; }"
                       "QPushButton#cmdStart:pressed { background-color: %2; }"
                       "QPushButton#cmdStart:focus { border: 2px solid #202020; }")
            .arg(c.name(), c.darker(120).name()));
    if (m_trayStartAction)
        m_trayStartAction->setText(m_cmdStart->text());
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
    m_receivedList->clear();
    // An information field may hold CRs or LFs: shown on one line.
    for (const QString& line : lines)
        m_receivedList->addItem(OneLine(line));
    m_receivedColour = colour;
    setListColour(m_receivedList, ReceivedColour(colour));
}

void MainWindow::showTransmitted(const QStringList& lines)
{
    m_transmittedList->clear();
    m_transmittedList->addItems(lines);
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

void MainWindow::showAprsIs(const QString& text, const QString& tip)
{
    m_aprsIsLine->setText(text);
    m_aprsIsLine->setToolTip(tip);
    m_aprsIsLine->setVisible(!text.isEmpty());
}

QString MainWindow::aprsIsText() const
{
    return m_aprsIsLine->text();
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
    QString caption = text;
    if (agw)
        caption = caption.isEmpty() ? m_profileText : caption + QStringLiteral(" - ") + m_profileText;
    const QString title = caption.isEmpty() ? tr("AGW Packet Engine Information")
                                            : tr("AGW Packet Engine Information - %1").arg(caption);
    m_frame2->setTitle(title);
    // The engine's address makes the caption as long as the user made it:
    // the frame, and the window with it, grow rather than cut the text.
    const int need = m_frame2->fontMetrics().horizontalAdvance(title) + 40;
    if (need > m_frame2->minimumWidth()) {
        m_frame2->setMinimumWidth(need);
        if (layout())
            layout()->activate();
        if (width() < minimumWidth())
            resize(minimumWidth(), height());
    }
}

void MainWindow::setNotice(Notice notice, const QString& text)
{
    m_notices[std::size_t(notice)] = text;
    QStringList shown;
    for (const QString& n : m_notices)
        if (!n.isEmpty())
            shown << n;
    m_noticeLine->setText(shown.join(QLatin1Char('\n')));
    m_noticeLine->setVisible(!shown.isEmpty());
}

QString MainWindow::noticeText() const
{
    return m_noticeLine->text();
}

void MainWindow::showCallSignState()
{
    // The gateway works without a call, but its packets then carry an alias
    // that identifies no station: said beside the box until one is typed.
    const bool none = TrimBlanks(m_txtAdd->text()).isEmpty();
    m_callNote->setText(none ? tr("nessun nominativo: esce %1").arg(CallOrAlias({})) : QString());
    m_callNote->setVisible(none);
}

QString MainWindow::callSignNote() const
{
    return m_callNote->isHidden() ? QString() : m_callNote->text();
}

void MainWindow::setTelemetryWindowShown(bool shown)
{
    m_telemetryWindowAction->setChecked(shown);
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
    layout()->activate();
    resize(std::max(M::ClientPixelsFromOuterWidth(width), minimumWidth()), height());
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
    for (int i = 0; i < m_receivedList->count(); ++i)
        lines << m_receivedList->item(i)->text();
    return lines;
}

QStringList MainWindow::transmittedLines() const
{
    QStringList lines;
    for (int i = 0; i < m_transmittedList->count(); ++i)
        lines << m_transmittedList->item(i)->text();
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
