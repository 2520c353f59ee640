#include "ui/AprsIsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace selvane {

namespace {

QLineEdit* Field(QWidget* parent, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

AprsIsDialog::AprsIsDialog(const AprsIsConfig& config, const QString& gatewayCall, QWidget* parent)
    : QDialog(parent), m_gatewayCall(gatewayCall)
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
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-1|[0-9]{0,5}")), m_passcode));
    m_passcode->setPlaceholderText(tr("nessuno"));
    m_filter = Field(this, "aprsIsFilter", config.filter);
    m_filter->setPlaceholderText(tr("nessuno (per esempio r/45.4/9.2/200)"));

    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("aprsIsWarning"));
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: #b00000"));

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(tr("Server (host:porta)"), m_server);
    form->addRow(tr("Nominativo"), m_call);
    form->addRow(tr("Passcode"), m_passcode);
    form->addRow(tr("Filtro"), m_filter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addWidget(m_warning);
    layout->addWidget(m_buttons);

    for (QLineEdit* edit : {m_server, m_call, m_passcode})
        connect(edit, &QLineEdit::textChanged, this, &AprsIsDialog::updateWarning);
    connect(m_enabled, &QCheckBox::toggled, this, &AprsIsDialog::updateWarning);
    updateWarning();
}

AprsIsConfig AprsIsDialog::config() const
{
    AprsIsConfig c;
    c.enabled = m_enabled->isChecked();
    c.server = m_server->text().trimmed().isEmpty() ? QLatin1String(AprsIsConfig::kDefaultServer)
                                                    : m_server->text().trimmed();
    c.call = m_call->text().trimmed().toUpper();
    bool ok = false;
    const int passcode = m_passcode->text().trimmed().toInt(&ok);
    c.passcode = ok ? passcode : AprsIsConfig::kNoPasscode;
    c.filter = m_filter->text().trimmed();
    return c;
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
    const bool callOk = c.call.isEmpty() || IsValidLoginCall(c.call);
    QString text;
    if (!serverOk)
        text = tr("Il server va scritto host:porta, per esempio %1.")
                   .arg(QLatin1String(AprsIsConfig::kDefaultServer));
    else if (!callOk)
        text = tr("Il nominativo non è valido per APRS-IS (da 1 a 9 lettere, cifre o \"-\").");
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
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(serverOk && callOk);
}

std::optional<AprsIsConfig> AprsIsDialog::edit(QWidget* parent, const AprsIsConfig& config, const QString& gatewayCall)
{
    AprsIsDialog dialog(config, gatewayCall, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.config();
}

} // namespace selvane
