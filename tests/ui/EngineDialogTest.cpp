#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "ui/EngineDialog.h"

using namespace selvane;

// Each type with its fields: what the dialog gives, and whether OK is allowed.
TEST(EngineDialogTest, EditsEachKindAndRefusesWhatCannotBeUsed)
{
    struct Row {
        int type;  // index of the type list: AGW, KISS TCP, KISS seriale
        const char* address;
        const char* device;
        const char* speed;
        bool acceptable;
        const char* option;  // the configuration as selvaned --engine writes it
    };
    const Row rows[] = {
        {0, "", "", "9600", true, "agw://:8001"},
        {1, "localhost:8001", "", "9600", true, "kiss-tcp://localhost:8001"},
        {1, "localhost", "", "9600", false, nullptr},
        {1, "[::1]:8001", "", "9600", true, "kiss-tcp://[::1]:8001"},
        {2, "", "/dev/ttyUSB0", "1200", true, "kiss-serial:/dev/ttyUSB0@1200"},
        {2, "", "", "9600", false, nullptr},
        {2, "", "/dev/pts/3", "", false, nullptr},
    };
    EngineConfig start;
    start.agwPort = 8001;
    for (const Row& row : rows) {
        EngineDialog dialog(start);
        dialog.findChild<QComboBox*>("engineType")->setCurrentIndex(row.type);
        dialog.findChild<QLineEdit*>("engineAddress")->setText(QString::fromLatin1(row.address));
        dialog.findChild<QComboBox*>("engineDevice")->setEditText(QString::fromLatin1(row.device));
        dialog.findChild<QComboBox*>("engineSpeed")->setEditText(QString::fromLatin1(row.speed));
        EXPECT_EQ(dialog.acceptable(), row.acceptable) << row.type << " " << row.address << row.device;
        if (row.option)
            EXPECT_EQ(EngineOptionText(dialog.config()), QLatin1String(row.option));
    }
}
