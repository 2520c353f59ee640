#include "ui/AprsIsDialog.h"
#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "aprsis/AprsIsGate.h"

namespace selvane {

namespace {

QLineEdit* Field(QWidget* parent, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

AprsIsDialog::AprsIsDialog(const AprsIsConfig& config, const QString& gatewayCall, const AprsIsGate* gate,
                           QWidget* parent)
    : QDialog(parent), m_start(config), m_gatewayCall(gatewayCall)
{
    setWindowTitle(QStringLiteral("APRS-IS"));
    m_enabled = new QCheckBox(tr("Carica su APRS-IS i pacchetti ricevuti sulle porte Sats"), this);
    m_enabled->setObjectName(QStringLiteral("aprsIsEnabled"));
    m_enabled->setChecked(config.enabled);

    m_server = Field(this, "aprsIsServer", config.server);
    m_server->setPlaceholderText(QLatin1String(AprsIsConfig::kDefaultServer));
    m_call = Field(this, "aprsIsCall", config.call);
    m_call->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9-]{0,9}")), m_call));
    const QString gateway = gatewayCall.trimmed().toUpper();
    m_call->setPlaceholderText(gateway.isEmpty() ? QString() : tr("%1 (del gateway)").arg(gateway));
    m_passcode = Field(this, "aprsIsPasscode",
                       config.passcode == AprsIsConfig::kNoPasscode ? QString() : QString::number(config.passcode));
    m_passcode->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-1?|[0-9]{0,5}")), m_passcode));
    m_passcode->setPlaceholderText(tr("nessuno"));
    m_filter = Field(this, "aprsIsFilter", config.filter);
    m_filter->setPlaceholderText(tr("nessuno (per esempio r/45.4/9.2/200)"));

    m_delay = new QSpinBox(this);
    m_delay->setObjectName(QStringLiteral("aprsIsSatgateDelay"));
    m_delay->setRange(0, AprsIsConfig::kMaxSatgateDelay);
    m_delay->setSuffix(tr(" s"));
    m_delay->setSpecialValueText(tr("nessuna attesa"));
    m_delay->setValue(config.satgateDelay);
    m_delay->setToolTip(tr("Un pacchetto di una stazione udito direttamente attende la copia ripetuta dal "
                           "satellite, che va su al suo posto: i server tengono solo la prima copia."));
    m_hold = new QLabel(this);
    m_hold->setObjectName(QStringLiteral("aprsIsHold"));
    m_hold->setVisible(gate != nullptr);
    if (gate) {
        showHold(*gate);
        connect(gate, &AprsIsGate::countersChanged, this, [this, gate] { showHold(*gate); });
    }

    m_warning = MakeDialogWarning(this, "aprsIsWarning");

    m_buttons = MakeOkCancel(this);

    auto* form = new QFormLayout;
    form->addRow(tr("Server (host:porta)"), m_server);
    form->addRow(tr("Nominativo"), m_call);
    form->addRow(tr("Passcode"), m_passcode);
    form->addRow(tr("Filtro"), m_filter);
    form->addRow(tr("Attesa della copia del satellite"), m_delay);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addWidget(m_hold);
    layout->addWidget(m_warning);
    layout->addWidget(m_buttons);

    for (QLineEdit* edit : {m_server, m_call, m_passcode})
        connect(edit, &QLineEdit::textChanged, this, &AprsIsDialog::updateWarning);
    connect(m_enabled, &QCheckBox::toggled, this, &AprsIsDialog::updateWarning);
    updateWarning();
}

AprsIsConfig AprsIsDialog::config() const
{
    AprsIsConfig c = m_start;
    c.enabled = m_enabled->isChecked();
    c.server = m_server->text().trimmed().isEmpty() ? QLatin1String(AprsIsConfig::kDefaultServer)
                                                    : m_server->text().trimmed();
    c.call = m_call->text().trimmed().toUpper();
    bool ok = false;
    const int passcode = m_passcode->text().trimmed().toInt(&ok);
    c.passcode = ok ? passcode : AprsIsConfig::kNoPasscode;
    c.filter = m_filter->text().trimmed();
    c.satgateDelay = m_delay->value();
    return c;
}

QString AprsIsDialog::holdText() const
{
    return m_hold->text();
}

void AprsIsDialog::showHold(const AprsIsGate& gate)
{
    const AprsIsCounters& c = gate.counters();
    m_hold->setText(tr("Attesa della copia del satellite: %1 in attesa, %2 caricati dopo l'attesa, "
                       "%3 sostituiti dalla copia del satellite")
                        .arg(c.heldNow)
                        .arg(c.released)
                        .arg(c.superseded));
}

QString AprsIsDialog::warning() const
{
    return m_warning->text();
}

bool AprsIsDialog::acceptable() const
{
    return m_buttons->button(QDialogButtonBox::Ok)->isEnabled();
}

void AprsIsDialog::updateWarning()
{
    const AprsIsConfig c = config();
    const QString login = AprsIsLoginCall(c, m_gatewayCall);
    const bool serverOk = ParseServerAddress(c.server).has_value();
    // The gateway call stands in for an empty field: while the upload is
    // on, it must be a login too.
    const bool callOk = c.call.isEmpty() ? !c.enabled || login.isEmpty() || IsValidLoginCall(login)
                                         : IsValidLoginCall(c.call);
    const QString passcodeText = m_passcode->text().trimmed();
    bool passcodeNumber = false;
    const int passcode = passcodeText.toInt(&passcodeNumber);
    const bool passcodeOk = passcodeText.isEmpty() || (passcodeNumber && IsValidPasscode(passcode));
    QString text;
    if (!serverOk)
        text = tr("Il server va scritto host:porta, per esempio %1.")
                   .arg(QLatin1String(AprsIsConfig::kDefaultServer));
    else if (!callOk && c.call.isEmpty())
        text = tr("Il nominativo del gateway %1 non è valido per APRS-IS: scrivere qui il nominativo di accesso.")
                   .arg(login);
    else if (!callOk)
        text = tr("Il nominativo non è valido per APRS-IS (da 1 a 9 lettere, cifre o \"-\").");
    else if (!passcodeOk)
        text = tr("Il passcode va da -1 a 32767.");
    else if (login.isEmpty())
        text = tr("Nessun nominativo: scriverlo qui o come nominativo del gateway.");
    else if (c.passcode == AprsIsConfig::kNoPasscode)
        text = tr("Senza passcode il server accetta %1 come non verificato e scarta i pacchetti caricati.")
                   .arg(login);
    else if (c.passcode != AprsIsPasscode(login))
        text = tr("Il passcode non corrisponde al nominativo %1: il server accetta il collegamento "
                   "come non verificato e scarta i pacchetti caricati.")
                   .arg(login);
    m_warning->setText(text);
    m_warning->setVisible(!text.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(serverOk && callOk && passcodeOk);
}

std::optional<AprsIsConfig> AprsIsDialog::edit(QWidget* parent, const AprsIsConfig& config, const QString& gatewayCall,
                                               const AprsIsGate* gate)
{
    AprsIsDialog dialog(config, gatewayCall, gate, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.config();
}

} // namespace selvane
