// Setup > Preferences in the running program: OK applies the sheet at once.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include "tests/ui/app_fixture.h"
#include "ui/app/command_ids.h"
#include "ui/common/cust_toolbar.h"
#include "ui/main_window/main_frame.h"
#include "ui/message_entry/vorla_pro_view.h"
#include "ui/preferences/prefs_property_sheet.h"
#include "ui/preferences/run_preferences.h"

namespace {
class PrefsInProgram : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteTestDirectory(Folder());
    }
};
}  // namespace

TEST_F(PrefsInProgram, OkTurnsOnTheSpotPagerAndTheSignOptionAndTurnsOffToolbarTips) {
    ASSERT_TRUE(Start());
    CMainFrame* frame = MainFrameOf(*app_);
    ASSERT_TRUE(frame->MainToolBar()->ToolTipsShown());
    EXPECT_FALSE(View()->SpotBox()->isVisibleTo(View()));
    EXPECT_TRUE(View()->SignatureButton()->isEnabled());

    QTimer::singleShot(0, [] {
        auto* sheet = qobject_cast<CPrefsPropertySheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        sheet->ShowPage(CPrefsPropertySheet::kSendingPage);
        sheet->SendingPage()->SpotPageBox()->click();
        sheet->ShowPage(CPrefsPropertySheet::kSignaturePage);
        sheet->SignaturePage()->AutoSignBox()->click();
        sheet->ShowPage(CPrefsPropertySheet::kToolBarPage);
        sheet->ToolBarPage()->TipsBox()->click();
        sheet->accept();
    });
    EXPECT_TRUE(RunPreferences(*app_, frame));
    EXPECT_TRUE(View()->SpotBox()->isVisibleTo(View()));
    EXPECT_FALSE(View()->SignatureButton()->isEnabled());
    EXPECT_FALSE(frame->MainToolBar()->ToolTipsShown());
    EXPECT_FALSE(app_->ShowToolTips());
}
