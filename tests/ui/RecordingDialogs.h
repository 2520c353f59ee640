#pragma once
#include <QString>
#include <QStringList>

#include "ui/Dialogs.h"

namespace selvane::test {

// Remembers every dialog the windows ask for and answers the file dialog
// with a prepared path.
struct RecordingDialogs : IDialogs {
    QStringList socketErrors;
    int logsErrors = 0;
    QStringList loadErrors;
    QStringList historyDirs;
    QString historyAnswer;
    QStringList folderErrors;
    QStringList settingsProblems;
    QStringList aprsIsProblems;
    QStringList informationTitles;
    QStringList informationTexts;

    void socketError(const QString& description) override { socketErrors << description; }
    void logsDirectoryError() override { ++logsErrors; }
    void loadError(const QString& path) override { loadErrors << path; }
    void folderInUse(const QString& text) override { folderErrors << text; }
    void settingsFileProblem(const QString& text) override { settingsProblems << text; }
    void aprsIsConfigProblems(const QStringList& problems) override { aprsIsProblems << problems; }
    void information(const QString& title, const QString& text) override
    {
        informationTitles << title;
        informationTexts << text;
    }
    QString openTelemetryHistory(const QString& initialDir) override
    {
        historyDirs << initialDir;
        return historyAnswer;
    }
};

} // namespace selvane::test
