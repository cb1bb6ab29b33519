#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "translator/brisko_import_dialog.h"
#include "translator/lomix_records.h"

namespace {

TEST(BriskoImportDialog, TranslatesTheTypedFileOnceAndCounts) {
    setenv("VORLA_WINDOWS_DIR", "/nonexistent-windows-folder", 1);
    int argc = 1;
    char name[] = "brisko_dialog_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    lomix::Translation translation;
    lomix::BriskoImportDialog dialog(translation, nullptr);
    auto* field = dialog.findChild<QLineEdit*>("3001");
    auto* start = dialog.findChild<QPushButton*>("3002");
    ASSERT_TRUE(field && start);
    EXPECT_FALSE(start->isEnabled());
    field->setText(QString::fromUtf8(VORLA_SAMPLE_PDB));
    ASSERT_TRUE(start->isEnabled());
    start->click();
    EXPECT_EQ(dialog.findChild<QLabel*>("1003")->text(), "2");
    EXPECT_EQ(dialog.findChild<QLabel*>("1005")->text(), "3");
    EXPECT_EQ(dialog.findChild<QLabel*>("1004")->text(), "0");
    EXPECT_FALSE(start->isEnabled());
    EXPECT_EQ(translation.ServiceCount(), 2u);
    field->clear();
    EXPECT_FALSE(start->isEnabled());
}

}  // namespace
