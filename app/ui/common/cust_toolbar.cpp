#include "ui/common/cust_toolbar.h"

#include <QAction>
#include <QMouseEvent>

#include <algorithm>

#include "settings/settings_store.h"
#include "ui/common/customize_dialog.h"
#include "ui/common/toolbar_layout.h"

CCustToolBar::CCustToolBar(const QString& title, std::string settingsEntry, QWidget* parent)
    : QToolBar(title, parent), entry_(std::move(settingsEntry)) {
    setObjectName(title);
}

void CCustToolBar::AddToCatalogue(QAction* action, int commandId) {
    catalogue_.emplace_back(commandId, action);
}

void CCustToolBar::SetDefaultLayout(std::vector<int> commandIds) {
    defaultLayout_ = std::move(commandIds);
    SetLayout(defaultLayout_);
}

QAction* CCustToolBar::ActionFor(int commandId) const {
    for (const auto& [id, action] : catalogue_)
        if (id == commandId) return action;
    return nullptr;
}

void CCustToolBar::SetLayout(const std::vector<int>& commandIds) {
    layout_.clear();
    for (int id : commandIds) {
        // A button appears once at most: a hand-edited layout must not duplicate one.
        if (id != 0 && (!ActionFor(id) || std::find(layout_.begin(), layout_.end(), id) != layout_.end()))
            continue;
        layout_.push_back(id);
    }
    Rebuild();
}

void CCustToolBar::Rebuild() {
    clear();
    for (int id : layout_) {
        if (id == 0) {
            addSeparator();
        } else {
            addAction(ActionFor(id));
        }
    }
    SetToolTipsShown(toolTipsShown_);
}

void CCustToolBar::SaveLayout(vorla::ISettingsStore& store) const {
    std::vector<vorla::ToolButtonRecord> records;
    int image = 0;
    for (int id : layout_) {
        vorla::ToolButtonRecord record;
        if (id == 0) {
            record.style = vorla::kToolButtonStyleSeparator;
            record.image = 0;
        } else {
            record.command = id;
            record.image = image++;
        }
        records.push_back(record);
    }
    store.WriteProfileString(vorla::kPreferencesSection, entry_,
                             vorla::ToHexText(vorla::EncodeToolbarLayout(records)));
}

bool CCustToolBar::RestoreLayout(const vorla::ISettingsStore& store) {
    const std::string text = store.GetProfileString(vorla::kPreferencesSection, entry_, "");
    if (text.empty()) return false;
    auto bytes = vorla::FromHexText(text);
    if (!bytes) return false;
    auto records = vorla::DecodeToolbarLayout(*bytes);
    if (!records) return false;
    std::vector<int> ids;
    for (const auto& record : *records)
        ids.push_back(record.IsSeparator() ? 0 : record.command);
    SetLayout(ids);
    return true;
}

void CCustToolBar::SetToolTipsShown(bool shown) {
    toolTipsShown_ = shown;
    // QToolButton shows the action's tool tip unless the button's own is set to something else;
    // a single blank is the way to show none.
    for (QAction* action : actions()) {
        if (QWidget* button = widgetForAction(action))
            button->setToolTip(shown ? action->toolTip() : QStringLiteral(" "));
    }
}

void CCustToolBar::Customize() {
    CustomizeToolbarDialog dialog(*this, layout_, this);
    dialog.exec();
}

void CCustToolBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Customize();
        return;
    }
    QToolBar::mouseReleaseEvent(event);
}
