#include "settings/SettingsCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "common/SafeFile.h"
#include "common/TextRules.h"
#include "settings/FolderLock.h"
#include "settings/SettingsCheck.h"
#include "settings/SettingsFile.h"
#include "settings/Startup.h"

namespace selvane {

namespace {

// The program whose lock lets --set go ahead: it never writes Selvane.ini
// and reads it again on SIGHUP.
const QString kDaemonName = QStringLiteral("selvaned");

struct Change {
    int field;
    QByteArray value;
};

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QStringList Names()
{
    QStringList names;
    for (const SettingsFieldInfo& f : SettingsFields())
        if (f.name)
            names << QString::fromLatin1(f.name);
    return names;
}

void Fail(SettingsCommandResult& r, int status, const QString& text)
{
    r.exitStatus = status;
    r.err += text + QLatin1Char('\n');
}

// The assignments as fields and values; false (said in r) at the first one
// that names no field or holds a value the field cannot take.
bool ReadAssignments(const QStringList& assignments, QList<Change>& changes, SettingsCommandResult& r)
{
    for (const QString& a : assignments) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const SettingsFieldInfo* field = eq > 0 ? SettingsFieldByName(a.left(eq)) : nullptr;
        if (!field) {
            Fail(r, 2, QCoreApplication::translate("Settings", "'%1' non è NOME=VALORE; i nomi sono: %2")
                           .arg(a, Names().join(QStringLiteral(", "))));
            return false;
        }
        const QByteArray value = ToSingleByte(a.mid(eq + 1));
        const QString problem = SettingsValueProblem(field->number, value);
        if (!problem.isEmpty()) {
            Fail(r, 2, QCoreApplication::translate("Settings", "%1: campo %2 (%3): %4")
                           .arg(a)
                           .arg(field->number)
                           .arg(SettingsFieldLabel(field->number), problem));
            return false;
        }
        changes.append({field->number, value});
    }
    return true;
}

// The fields of the record with the changes made. A field beyond the end of
// the record comes after fillers: "0" for the optional fields (what they
// read as when absent), nothing for the others, which the check then names.
QList<SettingsFieldText> Changed(QList<SettingsFieldText> fields, int lastLine, const QList<Change>& changes)
{
    for (const Change& c : changes) {
        while (fields.size() < c.field) {
            SettingsFieldText filler;
            filler.line = lastLine;
            if (fields.size() >= kSettingsFieldCount - 1)
                filler.text = "0";
            fields.append(filler);
        }
        SettingsFieldText& f = fields[c.field - 1];
        f.text = c.value;
        f.unterminated = false;
        f.afterQuote.clear();
    }
    return fields;
}

// The record the fields make, each text field between quotes.
QByteArray Joined(const QList<SettingsFieldText>& fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += i < 6 ? '"' + fields[i].text + '"' : fields[i].text;
    }
    return out + "\r\n";
}

bool Set(const QString& folder, const QString& path, const QStringList& assignments, SettingsCommandResult& r)
{
    QList<Change> changes;
    if (!ReadAssignments(assignments, changes, r))
        return false;

    // The window program writes the file when it closes, which would undo
    // the change; selvaned only reads it.
    FolderLock lock(folder);
    bool daemonThere = false;
    if (!lock.tryLock()) {
        if (lock.holderApplication() != kDaemonName) {
            Fail(r, 1, lock.problem() + QLatin1Char(' ')
                           + QCoreApplication::translate("Settings",
                               "La finestra di Selvane scrive %1 quando si chiude: chiuderla prima di usare --set.")
                                 .arg(kSettingsFileName));
            return false;
        }
        daemonThere = true;
    }

    const FileRead file = ReadRegularFile(path, kMaxSettingsFileBytes);
    QByteArray base;
    QString why;
    if (file.ok()) {
        base = file.data;
    } else if (file.status == FileRead::Status::Missing && IsWritableRegularPath(path, &why)) {
        base = DefaultSettingsRecord();
    } else {
        // Not a regular file, or a link to nothing: never written.
        Fail(r, 2, QStringLiteral("%1: %2").arg(Native(path), why.isEmpty() ? file.error : why));
        return false;
    }
    int lastLine = 1;
    const QList<SettingsFieldText> fields =
        Changed(SplitSettingsRecord(base, kSettingsMaxFieldCount + 1, &lastLine), lastLine, changes);
    if (const std::optional<SettingsFault> fault = CheckSettingsFields(fields, lastLine)) {
        Fail(r, 2, QCoreApplication::translate("Settings", "%1 resta danneggiato, %2: non viene scritto")
                       .arg(Native(path), SettingsFaultText(*fault)));
        return false;
    }
    const QByteArray record = FormatSettingsRecord(ParseSettingsRecord(Joined(fields)).values);
    if (record != file.data) {
        if (!WriteRegularFile(path, record, &why)) {
            Fail(r, 1, QStringLiteral("%1: %2").arg(Native(path), why));
            return false;
        }
    }
    r.err += QCoreApplication::translate("Settings", "%1 scritto.").arg(Native(path));
    if (daemonThere)
        r.err += QLatin1Char(' ')
                 + QCoreApplication::translate("Settings",
                       "selvaned (processo %1) lavora in questa cartella: applica le modifiche quando riceve "
                       "SIGHUP (systemctl reload selvaned).")
                       .arg(lock.holderProcess());
    r.err += QLatin1Char('\n');
    return true;
}

void Show(const QString& path, SettingsCommandResult& r)
{
    const FileRead file = ReadRegularFile(path, kMaxSettingsFileBytes);
    GatewaySettings values;
    if (file.status == FileRead::Status::Missing) {
        values = DefaultSettings();
        r.err += QCoreApplication::translate("Settings", "%1 non c'è: questi sono i valori predefiniti.")
                     .arg(Native(path))
                 + QLatin1Char('\n');
    } else if (!file.ok()) {
        Fail(r, 2, QStringLiteral("%1: %2").arg(Native(path), file.error));
        return;
    } else if (const std::optional<SettingsFault> fault = CheckSettingsRecord(file.data)) {
        Fail(r, 2, QCoreApplication::translate("Settings", "%1 danneggiato, %2").arg(Native(path), SettingsFaultText(*fault)));
        return;
    } else {
        values = ParseSettingsRecord(file.data).values;
    }
    // Each value as the file writes it; the optional fields, when not
    // written, as they read.
    const QList<SettingsFieldText> texts = SplitSettingsRecord(FormatSettingsRecord(values), kSettingsMaxFieldCount);
    for (const SettingsFieldInfo& f : SettingsFields()) {
        if (!f.name)
            continue;
        const QByteArray text = f.number <= texts.size() ? texts[f.number - 1].text : QByteArray("0");
        r.out += QString::fromLatin1(f.name) + QLatin1Char('=') + FromSingleByte(text) + QLatin1Char('\n');
    }
}

} // namespace

SettingsCommandResult RunSettingsCommand(const QString& folder, const QStringList& assignments, bool show)
{
    SettingsCommandResult r;
    if (!QFileInfo(folder).isDir()) {
        Fail(r, 1, QCoreApplication::translate("Settings", "la cartella %1 non esiste").arg(Native(folder)));
        return r;
    }
    const QString path = QDir(folder).filePath(kSettingsFileName);
    if (!assignments.isEmpty() && !Set(folder, path, assignments, r))
        return r;
    if (show)
        Show(path, r);
    return r;
}

} // namespace selvane
