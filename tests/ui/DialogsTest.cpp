#include <QTest>
#include <QComboBox>
#include <QFileSystemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "ui/Dialogs.h"

using namespace selvane;

namespace {

// Runs once the dialog is up: answers it and always closes it, so that a
// failed expectation can never leave the test waiting. Looks again on the
// next turn of the event loop until the dialog is there.
void AnswerFileDialog(const QString& pick, QString* seenTitle)
{
    QTimer::singleShot(0, [pick, seenTitle] {
        QFileDialog* dialog = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QFileDialog*>(top); d && d->isVisible())
                dialog = d;
        }
        if (!dialog) {
            AnswerFileDialog(pick, seenTitle);
            return;
        }
        *seenTitle = dialog->windowTitle();
        if (pick.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(pick);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept checks the pick
        }
    });
}

} // namespace

TEST(QtDialogsTest, MessageBoxesCarryTheirTextsTitlesAndIcons)
{
    auto socket = QtDialogs::makeSocketErrorBox(nullptr, "Connection refused");
    EXPECT_EQ(socket->windowTitle(), "Errore collegamento con AGWPE");
    EXPECT_EQ(socket->text(), "Connection refused");
    EXPECT_EQ(socket->icon(), QMessageBox::Warning);
    EXPECT_EQ(socket->standardButtons(), QMessageBox::Ok);
    EXPECT_NE(socket->windowModality(), Qt::NonModal);

    auto logs = QtDialogs::makeLogsDirectoryErrorBox(nullptr);
    EXPECT_EQ(logs->windowTitle(), "Daily logs cannot be saved");
    EXPECT_EQ(logs->text(), "Errore Creazione Directory Logs");
    EXPECT_EQ(logs->standardButtons(), QMessageBox::Ok);

    auto load = QtDialogs::makeLoadErrorBox(nullptr, "/home/op/notes.txt");
    EXPECT_EQ(load->windowTitle(), "Load Error");
    EXPECT_EQ(load->text(), "/home/op/notes.txt is NOT a TLM file");
    EXPECT_EQ(load->standardButtons(), QMessageBox::Ok);
}

TEST(QtDialogsTest, HistoryDialogIsSetUpForTelemetryFiles)
{
    // A working directory with a "Logs" directory in it.
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(QDir(work.path()).mkdir("Logs"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    const QString cwd = QDir::currentPath();
    auto dialog = QtDialogs::makeTelemetryHistoryDialog(nullptr, "Logs");
    QDir::setCurrent(previous);
    EXPECT_EQ(dialog->windowTitle(), "Load PCSAT Telemetry History");
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->nameFilters(),
              (QStringList{"Telemetry History (*.tlh)", "Tutti i files (*.*)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "Telemetry History (*.tlh)");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_FALSE(dialog->filter() & QDir::CaseSensitive); // ".TLH" is listed too
    // "Logs" is taken relative to the working directory, which stays.
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(QDir(cwd).absoluteFilePath("Logs")).canonicalPath());
    EXPECT_EQ(QDir::currentPath(), previous);
}

TEST(QtDialogsTest, AllFilesEntryListsNamesWithoutADot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"NOEXT", "notes.txt", "24-12-06.Tlh"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    auto dialog = QtDialogs::makeTelemetryHistoryDialog(nullptr, dir.path());
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    // Listed: a row under the folder, enabled.
    auto shown = [&](const char* name) {
        const QModelIndex folder = model->index(dir.path());
        for (int row = 0; row < model->rowCount(folder); ++row) {
            const QModelIndex index = model->index(row, 0, folder);
            if (model->fileName(index) == QLatin1String(name))
                return bool(model->flags(index) & Qt::ItemIsEnabled);
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown("24-12-06.Tlh"); }, 5000));
    EXPECT_FALSE(shown("NOEXT"));
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    // What the combo box emits when the user picks its second entry.
    types->setCurrentIndex(1);
    emit types->activated(1);
    emit types->textActivated(types->itemText(1));
    EXPECT_EQ(dialog->selectedNameFilter(), "Tutti i files (*.*)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown("NOEXT") && shown("notes.txt"); }, 5000));
}

TEST(QtDialogsTest, OpenTelemetryHistoryReturnsThePickOrNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("24-12-06.TLH");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\"2024-12-06\"\r\n");
    }
    const QString cwd = QDir::currentPath();
    QtDialogs dialogs;

    QString title;
    AnswerFileDialog(file, &title);
    EXPECT_EQ(dialogs.openTelemetryHistory(dir.path()), file);
    EXPECT_EQ(title, "Load PCSAT Telemetry History");

    title.clear();
    AnswerFileDialog(QString(), &title);
    EXPECT_TRUE(dialogs.openTelemetryHistory(dir.path()).isEmpty());
    EXPECT_EQ(title, "Load PCSAT Telemetry History");
    EXPECT_EQ(QDir::currentPath(), cwd);
}
