#include "ui/main_window/message_window.h"

#include <QCloseEvent>

#include <algorithm>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/main_window/widget_placement.h"
#include "ui/message_entry/vorla_pro_view.h"

CMainView::CMainView(CVorlaPro5App& app, QWidget* parent) : QTabWidget(parent) {
    setTabPosition(QTabWidget::North);
    entry_ = new CVorlaPro5View(app, this);
    // The tabs carry no mnemonic: "&Message:" and "&Outgoing:" on the form own Alt+M and Alt+O.
    addTab(entry_, QStringLiteral("Main"));
    addTab(app.Extensions().makeOutgoingView(app, this), QStringLiteral("Outgoing"));
}

void CMainView::SetOutgoingPage(QWidget* page) {
    QWidget* old = widget(1);
    removeTab(1);
    insertTab(1, page, QStringLiteral("Outgoing"));
    delete old;
}

CVorlaMDIChild::CVorlaMDIChild(CVorlaPro5App& app, QWidget* parent) : QMdiSubWindow(parent), app_(app) {
    setWindowTitle(QStringLiteral("Message Window"));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setObjectName(QStringLiteral("MessageWindow"));
}

void CVorlaMDIChild::ApplyMinimumSize() {
    // The form needs its controls visible: the stored minimum, else what the form asks for.
    const QSize fits = widget() ? widget()->minimumSizeHint() + QSize(8, 30) : QSize(320, 240);
    const int width = ReadSetting(app_.Settings(), vorla::setting::kMainMinX.WithDefault(fits.width()));
    const int height =
        ReadSetting(app_.Settings(), vorla::setting::kMainMinY.WithDefault(fits.height() - 5)) + 5;
    setMinimumSize(std::clamp(width, 100, 4000), std::clamp(height, 100, 4000));
}

bool CVorlaMDIChild::RestorePlacement() {
    vorla::WindowPlacement placement;
    if (!vorla::ReadWindowPlacement(app_.Settings(), vorla::setting::kEntryWindowPos.name, placement))
        return false;
    vorla::ApplyPlacement(*this, placement);
    return true;
}

void CVorlaMDIChild::SavePlacement() {
    vorla::WriteWindowPlacement(app_.Settings(), vorla::setting::kEntryWindowPos.name,
                                vorla::PlacementOf(*this));
}

void CVorlaMDIChild::closeEvent(QCloseEvent* event) {
    event->ignore();
}
