#pragma once
#include <QDialog>
#include <QString>

#include <optional>

#include "aprsis/AprsIsConfig.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace selvane {

// The APRS-IS settings (aprs-is.conf): on/off, server, login call, passcode
// and filter. It only edits the values; the caller writes them
// (WriteAprsIsConfig) and applies them (AprsIsGate::applyConfig).
//
// A warning under the fields says what will not work as the user expects: a
// passcode that does not match the login call (or none: the server accepts
// the login unverified and drops every upload), no login call at all. OK is
// refused while the server is not host:port or the call is not one APRS-IS
// accepts.
class AprsIsDialog : public QDialog {
    Q_OBJECT
public:
    // gatewayCall: txtAdd, the login when the call field is left empty.
    AprsIsDialog(const AprsIsConfig& config, const QString& gatewayCall, QWidget* parent = nullptr);

    // The values as edited.
    AprsIsConfig config() const;
    // The warning shown ("" when there is none).
    QString warning() const;
    bool acceptable() const;

    // Shows the dialog modally: the new values, or nothing when cancelled.
    static std::optional<AprsIsConfig> edit(QWidget* parent, const AprsIsConfig& config, const QString& gatewayCall);

private:
    void updateWarning();

    QString m_gatewayCall;
    QCheckBox* m_enabled;
    QLineEdit* m_server;
    QLineEdit* m_call;
    QLineEdit* m_passcode;
    QLineEdit* m_filter;
    QLabel* m_warning;
    QDialogButtonBox* m_buttons;
};

} // namespace selvane
