#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "aprsis/AprsIsGate.h"
#include "aprsis/HeardText.h"
#include "ui/AprsIsDialog.h"

using namespace selvane;

namespace {

// Once the modal dialog is up (looked for again on each turn of the event
// loop), accepts or rejects it.
void AnswerModal(bool accept)
{
    QTimer::singleShot(0, [accept] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            AnswerModal(accept);
        else if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
}

} // namespace

TEST(AprsIsDialogTest, EditsTheSettingsAndWarnsWhenThePasscodeDoesNotMatch)
{
    AprsIsConfig start;
    start.passcode = 13022;
    AprsIsDialog dialog(start, QStringLiteral("n1call-5"));
    auto* enabled = dialog.findChild<QCheckBox*>("aprsIsEnabled");
    auto* server = dialog.findChild<QLineEdit*>("aprsIsServer");
    auto* call = dialog.findChild<QLineEdit*>("aprsIsCall");
    auto* passcode = dialog.findChild<QLineEdit*>("aprsIsPasscode");
    auto* filter = dialog.findChild<QLineEdit*>("aprsIsFilter");
    auto* warning = dialog.findChild<QLabel*>("aprsIsWarning");
    ASSERT_TRUE(enabled && server && call && passcode && filter && warning);
    dialog.show();

    // The gateway call N1CALL-5 is the login, and 13022 is its passcode.
    EXPECT_TRUE(warning->isHidden());
    QTest::keyClicks(call, "n2call-1");
    EXPECT_TRUE(warning->isVisible());
    EXPECT_TRUE(dialog.warning().contains("N2CALL-1")) << dialog.warning().toStdString();
    passcode->clear();
    QTest::keyClicks(passcode, QString::number(AprsIsPasscode("N2CALL")));
    EXPECT_TRUE(warning->isHidden());
    passcode->clear();
    EXPECT_TRUE(dialog.warning().startsWith("Senza passcode")) << dialog.warning().toStdString();
    QTest::keyClicks(passcode, QString::number(AprsIsPasscode("N2CALL")));

    server->setText("127.0.0.1:");
    EXPECT_FALSE(dialog.acceptable());
    server->setText("127.0.0.1:14580");
    EXPECT_TRUE(dialog.acceptable());
    QTest::mouseClick(enabled, Qt::LeftButton, {}, QPoint(4, enabled->height() / 2));
    QTest::keyClicks(filter, "r/45/9/100");
    dialog.findChild<QSpinBox*>("aprsIsSatgateDelay")->setValue(0);
    AprsIsConfig edited = start;
    edited.satgateDelay = 0;
    edited.enabled = true;
    edited.server = "127.0.0.1:14580";
    edited.call = "N2CALL-1";
    edited.passcode = AprsIsPasscode("N2CALL");
    edited.filter = "r/45/9/100";
    EXPECT_EQ(dialog.config(), edited);

    // Run modally: OK gives the values, Cancel nothing.
    AnswerModal(true);
    EXPECT_EQ(AprsIsDialog::edit(nullptr, start, "N1CALL-5"), start);
    AnswerModal(false);
    EXPECT_EQ(AprsIsDialog::edit(nullptr, start, "N1CALL-5"), std::nullopt);
}

// OK is refused for what the reader of selvane.conf refuses.
TEST(AprsIsDialogTest, RefusesWhatTheFileRefuses)
{
    AprsIsConfig start;
    start.enabled = true;
    struct Row {
        const char* gatewayCall;
        const char* call;
        const char* passcode;
        bool acceptable;
    };
    const Row rows[] = {
        {"N1CALL-5", "", "32767", true},
        {"N1CALL-5", "", "99999", false},
        {"N1CALL-5", "", "-", false},
        {"N1CALL-5", "-N1CALL", "-1", false},
        {"N1 CALL", "", "13022", false},
        {"N1 CALL", "N1CALL-15", "13022", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.gatewayCall) + "/" + row.call + "/" + row.passcode);
        AprsIsDialog dialog(start, QString::fromLatin1(row.gatewayCall));
        dialog.findChild<QLineEdit*>("aprsIsCall")->setText(row.call);
        dialog.findChild<QLineEdit*>("aprsIsPasscode")->setText(row.passcode);
        EXPECT_EQ(dialog.acceptable(), row.acceptable) << dialog.warning().toStdString();
    }
}

// With the gate, the dialog follows the satgate hold as it goes, on the
// gate's clock; a stop drops what is held, counted.
TEST(AprsIsDialogTest, ShowsTheHold)
{
    LiveSettingsValues settings;
    settings.call = "N1CALL-5";
    AprsIsConfig config;
    config.enabled = true;
    config.server = "127.0.0.1:1";   // nothing there: held packets wait all the same
    qint64 now = 0;
    AprsIsGate gate(settings, config, [&now] { return now; });
    QList<int> dropped;
    QObject::connect(&gate, &AprsIsGate::heldDropped, [&](int n) { dropped << n; });
    AprsIsDialog dialog(config, "N1CALL-5", &gate);
    auto numbers = [&] {
        QList<int> n;
        for (const QString& word : dialog.holdText().split(' '))
            if (bool ok = false; word.toInt(&ok), ok)
                n << word.toInt();
        return n;
    };
    EXPECT_EQ(numbers(), QList<int>({0, 0, 0}));
    gate.heard(test::HeardOf(0, "N1CALL-7>APRS,ARISS:direct"));
    gate.heard(test::HeardOf(0, "N1CALL-8>APRS,ARISS:direct"));
    EXPECT_EQ(numbers(), QList<int>({2, 0, 0}));   // held now, released, superseded
    gate.heard(test::HeardOf(0, "N1CALL-7>APRS,RS0ISS*:direct"));
    EXPECT_EQ(numbers(), QList<int>({1, 0, 1}));
    now = 10000;
    gate.poll();
    EXPECT_EQ(numbers(), QList<int>({0, 1, 1}));
    gate.heard(test::HeardOf(0, "N1CALL-9>APRS,ARISS:direct"));
    gate.stop();
    EXPECT_EQ(dropped, QList<int>({1}));
    EXPECT_EQ(std::tuple(gate.counters().droppedAtStop, gate.counters().missed), std::tuple(1, 2));
}
