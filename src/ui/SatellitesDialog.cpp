#include "ui/SatellitesDialog.h"
#include "ui/Dialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "aprsis/AprsIsConfig.h"
#include "gateway/Classification.h"
#include "settings/ConfigFile.h"

namespace selvane {

namespace {

QString CallsText(const QList<SatelliteCall>& calls)
{
    QStringList texts;
    for (const SatelliteCall& c : calls)
        texts << c.text();
    return ListText(texts);
}

} // namespace

SatellitesDialog::SatellitesDialog(const SatelliteTable& table, QWidget* parent)
    : QDialog(parent), m_original(table)
{
    setWindowTitle(tr("Satelliti"));
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("satellitesGrid"));
    m_grid->setHorizontalHeaderLabels({tr("Attivo"), tr("Nome"),
                                       tr("Digipeater (CALL-* = ogni SSID)"),
                                       tr("Alias di salita"), tr("Sale come"),
                                       tr("Altri nominativi")});
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    const SatelliteTable& builtIn = DefaultSatellites();
    for (const Satellite& s : table.satellites())
        addRow(s, builtIn.find(s.name) != nullptr);

    auto* add = new QPushButton(tr("Aggiungi"), this);
    add->setObjectName(QStringLiteral("addSatellite"));
    auto* remove = new QPushButton(tr("Rimuovi"), this);
    remove->setObjectName(QStringLiteral("removeSatellite"));
    connect(add, &QPushButton::clicked, this, [this] {
        Satellite s;
        s.name = QStringLiteral("NUOVO");
        addRow(s, false);
        m_grid->setCurrentCell(m_grid->rowCount() - 1, Name);
        update();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = m_grid->currentRow();
        // A built-in satellite can be turned off, not removed.
        if (row >= 0 && (m_grid->item(row, Name)->flags() & Qt::ItemIsEditable))
            m_grid->removeRow(row);
        update();
    });

    m_problem = MakeDialogWarning(this, "satellitesProblem");

    m_buttons = MakeOkCancel(this);

    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Un pacchetto è inoltrato quando il primo digipeater è un satellite "
                                    "attivo che lo ha ripetuto (\"*\"), o quando lo ha inviato un "
                                    "satellite; sale quando è indirizzato via il nominativo del gateway "
                                    "seguito da un alias di salita."),
                                 this));
    layout->itemAt(0)->widget()->setProperty("wordWrap", true);
    layout->addWidget(m_grid);
    layout->addLayout(rowButtons);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);
    resize(760, 320);
    connect(m_grid, &QTableWidget::itemChanged, this, &SatellitesDialog::update);
    update();
}

void SatellitesDialog::addRow(const Satellite& s, bool builtIn)
{
    const QSignalBlocker block(m_grid);
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    auto* enabled = new QTableWidgetItem;
    enabled->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    enabled->setCheckState(s.enabled ? Qt::Checked : Qt::Unchecked);
    m_grid->setItem(row, Enabled, enabled);
    auto* name = new QTableWidgetItem(s.name);
    if (builtIn)
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
    m_grid->setItem(row, Name, name);
    m_grid->setItem(row, Digipeaters, new QTableWidgetItem(CallsText(s.digipeaters)));
    m_grid->setItem(row, Uplink, new QTableWidgetItem(ListText(s.uplinkAliases)));
    m_grid->setItem(row, UplinkAs, new QTableWidgetItem(s.uplinkAs));
    m_grid->setItem(row, Sources, new QTableWidgetItem(ListText(s.sources)));
}

std::optional<SatelliteTable> SatellitesDialog::table() const
{
    SatelliteTable out;
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        auto text = [&](int column) { return m_grid->item(row, column)->text().trimmed(); };
        const QString name = text(Name);
        if (name.isEmpty() || name.contains(QLatin1Char(']')) || out.find(name))
            return std::nullopt;
        const Satellite* before = m_original.find(name);
        Satellite s = before ? *before : Satellite{};
        s.name = name;
        s.enabled = m_grid->item(row, Enabled)->checkState() == Qt::Checked;
        s.digipeaters.clear();
        for (const QString& item : ParseList(text(Digipeaters))) {
            const std::optional<SatelliteCall> call = SatelliteCall::parse(item);
            if (!call)
                return std::nullopt;
            s.digipeaters << *call;
        }
        s.uplinkAliases = ParseList(text(Uplink));
        s.sources = ParseList(text(Sources));
        for (const QString& call : s.uplinkAliases + s.sources)
            if (!IsValidLoginCall(call))
                return std::nullopt;
        s.uplinkAs = text(UplinkAs);
        if (!s.uplinkAs.isEmpty() && !IsRadioCall(s.uplinkAs))
            return std::nullopt;
        if (s.digipeaters.isEmpty() && s.sources.isEmpty())
            return std::nullopt;
        out.satellites().append(s);
    }
    return out;
}

QString SatellitesDialog::problem() const
{
    return m_problem->text();
}

void SatellitesDialog::update()
{
    const std::optional<SatelliteTable> t = table();
    m_problem->setText(t ? (t->anyEnabled() ? QString()
                                            : tr("Nessun satellite attivo: il gateway non inoltrerà nulla."))
                         : tr("Ogni riga vuole un nome unico e almeno un digipeater; i nominativi sono "
                                "lettere, cifre e \"-\" separati da virgole (CALL-* per ogni SSID)."));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(t.has_value());
}

std::optional<SatelliteTable> SatellitesDialog::edit(QWidget* parent, const SatelliteTable& table)
{
    SatellitesDialog dialog(table, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.table();
}

} // namespace selvane
