#pragma once
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QDialogButtonBox;
class QFileDialog;
class QLabel;
class QMessageBox;
class QWidget;

namespace selvane {

// The program's modal dialogs. The windows call them through this interface
// so that tests can answer them without blocking. Their texts are in the
// user's language (tr), except the names the settings and files use.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Socket error: the description as text, title "Errore collegamento con
    // AGWPE", exclamation icon; returns when the user has closed it.
    virtual void socketError(const QString& description) = 0;
    // "Errore Creazione Directory Logs", title "Daily logs cannot be saved",
    // one OK button.
    virtual void logsDirectoryError() = 0;
    // path + " is NOT a TLM file", title "Load Error", one OK button.
    virtual void loadError(const QString& path) = 0;
    // Another program works in the folder: the text, title "Selvane",
    // warning icon, one OK button.
    virtual void folderInUse(const QString& text) = 0;
    // Selvane.ini is neither read nor written (not a regular file, or a
    // damaged one that could not be kept): the text, title "Selvane",
    // warning icon, one OK button.
    virtual void settingsFileProblem(const QString& text) = 0;
    // Lines of aprs-is.conf that were ignored: the list, title "APRS-IS",
    // warning icon, one OK button.
    virtual void aprsIsConfigProblems(const QStringList& problems) = 0;
    // The history file-open dialog, starting in initialDir. Returns the chosen
    // file's path, or an empty text when the user cancelled.
    virtual QString openTelemetryHistory(const QString& initialDir) = 0;
    // A text to read (the help, "Informazioni su Selvane"): the title, the
    // text (rich text: paragraphs, bold, links), the program's icon, one OK
    // button.
    virtual void information(const QString& title, const QString& text) = 0;
};

// The real dialogs: QMessageBox and a Qt (non-native) QFileDialog, modal to
// the given parent window.
class QtDialogs : public IDialogs {
    Q_DECLARE_TR_FUNCTIONS(QtDialogs)
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

    void socketError(const QString& description) override;
    void logsDirectoryError() override;
    void loadError(const QString& path) override;
    void folderInUse(const QString& text) override;
    void settingsFileProblem(const QString& text) override;
    void aprsIsConfigProblems(const QStringList& problems) override;
    QString openTelemetryHistory(const QString& initialDir) override;
    void information(const QString& title, const QString& text) override;

    // The dialogs as they are shown, built but not run (for inspection).
    static std::unique_ptr<QMessageBox> makeSocketErrorBox(QWidget* parent, const QString& description);
    static std::unique_ptr<QMessageBox> makeLogsDirectoryErrorBox(QWidget* parent);
    static std::unique_ptr<QMessageBox> makeLoadErrorBox(QWidget* parent, const QString& path);
    static std::unique_ptr<QFileDialog> makeTelemetryHistoryDialog(QWidget* parent, const QString& initialDir);

private:
    QWidget* m_parent;
};

// The parts the settings dialogs share: the dark red line that says why OK
// is refused (or what will not work as expected), and OK/Cancel wired to
// accept and reject.
QLabel* MakeDialogWarning(QDialog* dialog, const char* objectName);
QDialogButtonBox* MakeOkCancel(QDialog* dialog);

} // namespace selvane
