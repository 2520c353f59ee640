#include "ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QTimer>
#include <QMessageBox>

namespace selvane {

namespace {

std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                     const QString& text)
{
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok, parent);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

} // namespace

std::unique_ptr<QMessageBox> QtDialogs::makeSocketErrorBox(QWidget* parent, const QString& description)
{
    return MakeBox(parent, QMessageBox::Warning, tr("Errore collegamento con AGWPE"),
                   description);
}

std::unique_ptr<QMessageBox> QtDialogs::makeLogsDirectoryErrorBox(QWidget* parent)
{
    return MakeBox(parent, QMessageBox::NoIcon, tr("Daily logs cannot be saved"),
                   tr("Errore Creazione Directory Logs"));
}

std::unique_ptr<QMessageBox> QtDialogs::makeLoadErrorBox(QWidget* parent, const QString& path)
{
    return MakeBox(parent, QMessageBox::NoIcon, tr("Load Error"), tr("%1 is NOT a TLM file").arg(path));
}

std::unique_ptr<QFileDialog> QtDialogs::makeTelemetryHistoryDialog(QWidget* parent, const QString& initialDir)
{
    // A relative directory ("Logs") is taken from the working directory; the
    // dialog itself never changes the working directory, which the settings
    // file and the Logs directory are resolved against.
    const QString dir = initialDir.isEmpty() ? QDir::currentPath() : QDir(initialDir).absolutePath();
    auto dialog = std::make_unique<QFileDialog>(parent, tr("Load PCSAT Telemetry History"), dir);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // ".tlh" and ".TLH" alike: history files may come from any system.
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    const QString allFiles = tr("Tutti i files (*.*)");
    const QString historyFiles = tr("Telemetry History (*.tlh)");
    dialog->setNameFilters({historyFiles, allFiles});
    dialog->selectNameFilter(historyFiles);
    // "*.*" would leave out names without a dot here; the entry is meant for
    // every file, so its pattern becomes "*" once the dialog has applied it.
    QFileDialog* raw = dialog.get();
    QObject::connect(raw, &QFileDialog::filterSelected, raw, [raw, allFiles](const QString& filter) {
        if (filter != allFiles)
            return;
        auto* model = raw->findChild<QFileSystemModel*>();
        if (!model)
            return;
        model->setNameFilters({QStringLiteral("*")});
        // Also after the dialog's own handling of the same pick, whichever
        // order the combo box reports it in.
        QTimer::singleShot(0, model, [model, raw, allFiles] {
            if (raw->selectedNameFilter() == allFiles)
                model->setNameFilters({QStringLiteral("*")});
        });
    });
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog;
}

void QtDialogs::socketError(const QString& description)
{
    makeSocketErrorBox(m_parent, description)->exec();
}

void QtDialogs::logsDirectoryError()
{
    makeLogsDirectoryErrorBox(m_parent)->exec();
}

void QtDialogs::folderInUse(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Selvane"), text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtDialogs::settingsFileProblem(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Selvane"), text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtDialogs::aprsIsConfigProblems(const QStringList& problems)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("APRS-IS"), problems.join(QLatin1Char('\n')),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

void QtDialogs::loadError(const QString& path)
{
    makeLoadErrorBox(m_parent, path)->exec();
}

void QtDialogs::information(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.setIconPixmap(QApplication::windowIcon().pixmap(64));
    box.exec();
}

QString QtDialogs::openTelemetryHistory(const QString& initialDir)
{
    auto dialog = makeTelemetryHistoryDialog(m_parent, initialDir);
    if (dialog->exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog->selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

QLabel* MakeDialogWarning(QDialog* dialog, const char* objectName)
{
    auto* label = new QLabel(dialog);
    label->setObjectName(QLatin1String(objectName));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: #b00000"));
    return label;
}

QDialogButtonBox* MakeOkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace selvane
