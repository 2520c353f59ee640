#pragma once
#include <QDialog>

#include <optional>

#include "agw/EngineConfig.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;

namespace selvane {

// The engine ([engine] of selvane.conf): an AGW engine (its TCP port; the
// host stays the address field of the main window), a KISS TNC over TCP
// (host:port) or a KISS TNC on a serial device or pseudo-terminal (device,
// speed). It only edits the values; the caller writes and applies them
// (Station::saveConfig). OK is refused while the values cannot be used.
class EngineDialog : public QDialog {
    Q_OBJECT
public:
    explicit EngineDialog(const EngineConfig& config, QWidget* parent = nullptr);

    EngineConfig config() const;
    bool acceptable() const;

    // Shows the dialog modally: the new values, or nothing when cancelled.
    static std::optional<EngineConfig> edit(QWidget* parent, const EngineConfig& config);

private:
    void update();

    EngineConfig m_original;
    QComboBox* m_type;
    QStackedWidget* m_pages;
    QSpinBox* m_agwPort;
    QLineEdit* m_address;
    QComboBox* m_device;
    QComboBox* m_speed;
    QLabel* m_warning;
    QDialogButtonBox* m_buttons;
};

} // namespace selvane
