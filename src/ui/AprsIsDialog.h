#pragma once
#include <QDialog>
#include <QString>

#include <optional>

#include "aprsis/AprsIsConfig.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace selvane {

class AprsIsGate;

// The APRS-IS settings of selvane.conf's [aprs-is]: on/off, server, login
// call, passcode, filter and the satgate delay; the other keys (the beacon)
// are kept as they were. It only edits the values; the caller writes and
// applies them (Station::saveConfig).
//
// A warning under the fields says what will not work as the user expects: a
// passcode that does not match the login call (or none: the server accepts
// the login unverified and drops every upload), no login call at all. OK is
// refused for what the file reader refuses: a server that is not host:port,
// a call that is not a valid login (the one typed, or the gateway call it
// falls back to while the upload is on), a passcode outside -1..32767.
//
// With a gate, a line shows the satgate hold as it goes: held now,
// uploaded after the delay, dropped for the satellite's copy.
class AprsIsDialog : public QDialog {
    Q_OBJECT
public:
    // gatewayCall: txtAdd, the login when the call field is left empty.
    AprsIsDialog(const AprsIsConfig& config, const QString& gatewayCall, const AprsIsGate* gate = nullptr,
                 QWidget* parent = nullptr);

    // The values as edited.
    AprsIsConfig config() const;
    // The warning shown ("" when there is none).
    QString warning() const;
    bool acceptable() const;

    // Shows the dialog modally: the new values, or nothing when cancelled.
    static std::optional<AprsIsConfig> edit(QWidget* parent, const AprsIsConfig& config, const QString& gatewayCall,
                                            const AprsIsGate* gate = nullptr);

    // "Attesa della copia del satellite: 2 in attesa, 5 caricati dopo l'attesa, 7 sostituiti"
    QString holdText() const;

private:
    void updateWarning();
    void showHold(const AprsIsGate& gate);

    AprsIsConfig m_start;
    QString m_gatewayCall;
    QCheckBox* m_enabled;
    QLineEdit* m_server;
    QLineEdit* m_call;
    QLineEdit* m_passcode;
    QLineEdit* m_filter;
    QSpinBox* m_delay;
    QLabel* m_hold;
    QLabel* m_warning;
    QDialogButtonBox* m_buttons;
};

} // namespace selvane
