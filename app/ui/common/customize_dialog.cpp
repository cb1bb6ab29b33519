#include "ui/common/customize_dialog.h"

#include <QAction>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/common/cust_toolbar.h"

namespace {
constexpr int kIdRole = Qt::UserRole + 1;
}

CustomizeToolbarDialog::CustomizeToolbarDialog(CCustToolBar& toolBar, std::vector<int> layoutAtOpen,
                                               QWidget* parent)
    : QDialog(parent), toolBar_(toolBar), layoutAtOpen_(std::move(layoutAtOpen)) {
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    available_ = new QListWidget(this);
    current_ = new QListWidget(this);
    auto* buttons = new QVBoxLayout;
    auto add = [&](const QString& text, auto slot) {
        auto* button = new QPushButton(text, this);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
        return button;
    };
    add(QStringLiteral("&Add ->"), [this] { AddSelected(); });
    add(QStringLiteral("<- &Remove"), [this] { RemoveSelected(); });
    add(QStringLiteral("Move &Up"), [this] { MoveSelected(-1); });
    add(QStringLiteral("Move &Down"), [this] { MoveSelected(1); });
    add(QStringLiteral("R&eset"), [this] { Reset(); });
    add(QStringLiteral("&Help"),
        [this] { QMessageBox::information(this, windowTitle(), QStringLiteral("Help not implemented!")); });
    add(QStringLiteral("&Close"), [this] { accept(); });
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(available_);
    layout->addLayout(buttons);
    layout->addWidget(current_);
    Fill();
}

QString CustomizeToolbarDialog::ButtonText(const QString& statusText) {
    const QStringList lines = statusText.split(QLatin1Char('\n'));
    if (lines.size() > 1 && !lines[1].isEmpty()) return lines[1];
    return lines.value(0);
}

void CustomizeToolbarDialog::Fill() {
    available_->clear();
    current_->clear();
    const std::vector<int> layout = toolBar_.Layout();
    auto makeItem = [](QListWidget* list, int id, QAction* action) {
        auto* item = new QListWidgetItem(
            action ? action->icon() : QIcon(),
            action ? ButtonText(action->property("commandText").toString()) : QStringLiteral("Separator"),
            list);
        item->setData(kIdRole, id);
    };
    makeItem(available_, 0, nullptr);  // a separator can always be added
    for (const auto& [id, action] : toolBar_.Catalogue()) {
        if (std::find(layout.begin(), layout.end(), id) == layout.end()) makeItem(available_, id, action);
    }
    for (int id : layout)
        makeItem(current_, id, toolBar_.ActionFor(id));
}

std::vector<int> CustomizeToolbarDialog::CurrentLayout() const {
    std::vector<int> ids;
    for (int i = 0; i < current_->count(); ++i)
        ids.push_back(current_->item(i)->data(kIdRole).toInt());
    return ids;
}

void CustomizeToolbarDialog::AddSelected() {
    QListWidgetItem* item = available_->currentItem();
    if (!item) return;
    std::vector<int> ids = CurrentLayout();
    const int row = current_->currentRow();
    const auto at = row < 0 ? ids.end() : ids.begin() + row;
    ids.insert(at, item->data(kIdRole).toInt());
    toolBar_.SetLayout(ids);
    Fill();
}

void CustomizeToolbarDialog::RemoveSelected() {
    const int row = current_->currentRow();
    if (row < 0) return;
    std::vector<int> ids = CurrentLayout();
    ids.erase(ids.begin() + row);
    toolBar_.SetLayout(ids);
    Fill();
    current_->setCurrentRow(std::min(row, current_->count() - 1));
}

void CustomizeToolbarDialog::MoveSelected(int by) {
    const int row = current_->currentRow();
    std::vector<int> ids = CurrentLayout();
    const int target = row + by;
    if (row < 0 || target < 0 || target >= static_cast<int>(ids.size())) return;
    std::swap(ids[row], ids[target]);
    toolBar_.SetLayout(ids);
    Fill();
    current_->setCurrentRow(target);
}

void CustomizeToolbarDialog::Reset() {
    toolBar_.SetLayout(layoutAtOpen_);
    Fill();
}
