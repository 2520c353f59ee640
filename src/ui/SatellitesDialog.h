#pragma once
#include <QDialog>

#include <optional>

#include "gateway/Satellites.h"

class QDialogButtonBox;
class QLabel;
class QTableWidget;

namespace selvane {

// "Satelliti": the satellite table, one row a satellite with a check box to
// turn it on or off, its digipeater calls ("PCSAT-*" for any SSID), the
// aliases a station puts after the gateway call to ask for the uplink, what
// they go up as, and further calls it sends as. Rows can be added and the
// added ones removed; the built-in satellites can only be turned off or
// changed. What a row does not show (telemetry format, the "Gate to Out"
// rule) is kept as it was. OK is refused while a cell holds something that
// is not a call.
class SatellitesDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { Enabled, Name, Digipeaters, Uplink, UplinkAs, Sources, ColumnCount };

    SatellitesDialog(const SatelliteTable& table, QWidget* parent = nullptr);

    // The table as edited; nullopt while a cell is not acceptable.
    std::optional<SatelliteTable> table() const;
    QString problem() const;
    QTableWidget* grid() const { return m_grid; }

    static std::optional<SatelliteTable> edit(QWidget* parent, const SatelliteTable& table);

private:
    void addRow(const Satellite& satellite, bool builtIn);
    void update();

    SatelliteTable m_original;
    QTableWidget* m_grid;
    QLabel* m_problem;
    QDialogButtonBox* m_buttons;
};

} // namespace selvane
