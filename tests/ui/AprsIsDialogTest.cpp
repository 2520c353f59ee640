#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

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
    EXPECT_EQ(dialog.config(), (AprsIsConfig{true, "127.0.0.1:14580", "N2CALL-1", AprsIsPasscode("N2CALL"),
                                             "r/45/9/100"}));

    // Run modally: OK gives the values, Cancel nothing.
    AnswerModal(true);
    EXPECT_EQ(AprsIsDialog::edit(nullptr, start, "N1CALL-5"), start);
    AnswerModal(false);
    EXPECT_EQ(AprsIsDialog::edit(nullptr, start, "N1CALL-5"), std::nullopt);
}
