#include "ui/EngineDialog.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace selvane {

namespace {

QWidget* Page(QWidget* parent, const QList<std::pair<QString, QWidget*>>& rows)
{
    auto* page = new QWidget(parent);
    auto* form = new QFormLayout(page);
    form->setContentsMargins(0, 0, 0, 0);
    for (const auto& [label, field] : rows)
        form->addRow(label, field);
    return page;
}

// The serial devices there are now, to pick from (any other path can be typed).
QStringList SerialDevices()
{
    QStringList devices;
    for (const char* pattern : {"ttyUSB*", "ttyACM*", "rfcomm*", "ttyAMA*", "ttyS0"})
        for (const QString& name : QDir(QStringLiteral("/dev")).entryList({QLatin1String(pattern)}, QDir::System))
            devices << QStringLiteral("/dev/") + name;
    return devices;
}

} // namespace

EngineDialog::EngineDialog(const EngineConfig& config, QWidget* parent) : QDialog(parent), m_original(config)
{
    setWindowTitle(tr("Motore"));
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("engineType"));
    for (EngineKind kind : {EngineKind::Agw, EngineKind::KissTcp, EngineKind::KissSerial})
        m_type->addItem(EngineKindText(kind), int(kind));

    m_agwPort = new QSpinBox(this);
    m_agwPort->setObjectName(QStringLiteral("engineAgwPort"));
    m_agwPort->setRange(1, 65535);
    m_agwPort->setValue(config.agwPort);
    m_address = new QLineEdit(config.address, this);
    m_address->setObjectName(QStringLiteral("engineAddress"));
    m_address->setPlaceholderText(QStringLiteral("localhost:8001"));
    m_device = new QComboBox(this);
    m_device->setObjectName(QStringLiteral("engineDevice"));
    m_device->setEditable(true);
    m_device->addItems(SerialDevices());
    m_device->setEditText(config.device);
    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("engineSpeed"));
    m_speed->setEditable(true);
    for (int speed : CommonSerialSpeeds())
        m_speed->addItem(QString::number(speed));
    m_speed->setValidator(new QIntValidator(1, 4000000, m_speed));
    m_speed->setEditText(QString::number(config.speed));

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(Page(this, {{tr("Porta TCP (host: campo IP)"), m_agwPort}}));
    m_pages->addWidget(Page(this, {{tr("Indirizzo (host:porta)"), m_address}}));
    m_pages->addWidget(Page(this, {{tr("Dispositivo"), m_device}, {tr("Velocità (bit/s)"), m_speed}}));

    m_warning = MakeDialogWarning(this, "engineWarning");
    m_buttons = MakeOkCancel(this);

    auto* form = new QFormLayout;
    form->addRow(tr("Tipo"), m_type);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_pages);
    layout->addWidget(m_warning);
    layout->addWidget(m_buttons);

    m_type->setCurrentIndex(m_type->findData(int(config.kind)));
    connect(m_type, &QComboBox::currentIndexChanged, this, &EngineDialog::update);
    connect(m_address, &QLineEdit::textChanged, this, &EngineDialog::update);
    connect(m_device, &QComboBox::editTextChanged, this, &EngineDialog::update);
    connect(m_speed, &QComboBox::editTextChanged, this, &EngineDialog::update);
    update();
}

EngineConfig EngineDialog::config() const
{
    // Keys of the other types stay as they were.
    EngineConfig c = m_original;
    c.kind = EngineKind(m_type->currentData().toInt());
    c.agwPort = quint16(m_agwPort->value());
    c.address = m_address->text().trimmed();
    c.device = m_device->currentText().trimmed();
    c.speed = m_speed->currentText().toInt();
    return c;
}

bool EngineDialog::acceptable() const
{
    return m_buttons->button(QDialogButtonBox::Ok)->isEnabled();
}

void EngineDialog::update()
{
    const EngineConfig c = config();
    m_pages->setCurrentIndex(m_type->currentIndex());
    QString text;
    if (c.kind == EngineKind::KissTcp && !ParseHostPort(c.address))
        text = tr("L'indirizzo va scritto host:porta, per esempio localhost:8001.");
    else if (c.kind == EngineKind::KissSerial && c.device.isEmpty())
        text = tr("Indicare il dispositivo seriale, per esempio /dev/ttyUSB0.");
    else if (c.kind == EngineKind::KissSerial && c.speed <= 0)
        text = tr("Indicare la velocità in bit/s, per esempio 9600.");
    m_warning->setText(text);
    m_warning->setVisible(!text.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(text.isEmpty());
}

std::optional<EngineConfig> EngineDialog::edit(QWidget* parent, const EngineConfig& config)
{
    EngineDialog dialog(config, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.config();
}

} // namespace selvane
