// Page 5: the modem type, one row per entry of the modem list file.
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "express_pages.h"
#include "express_property_sheet.h"
#include "service_lists.h"
#include "settings_store.h"
#include "windows1252.h"

namespace {
constexpr int kInitRole = Qt::UserRole;
// The modem list is data from outside; a file with absurdly many entries is cut short.
constexpr int kMaxModemEntries = 10000;

// Rows sort by the clicked column without regard to case.
class ModemRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};
}  // namespace

CExpressPropertyPage5::CExpressPropertyPage5(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    auto* layout = new QVBoxLayout(this);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("Modems"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Manufacturer"), QStringLiteral("Modem Type")});
    list_->setColumnWidth(0, 175);
    list_->setColumnWidth(1, 300);
    list_->setSortingEnabled(true);
    list_->sortByColumn(0, Qt::AscendingOrder);
    list_->header()->setSortIndicatorShown(false);
    layout->addWidget(list_);
    connect(list_, &QTreeWidget::currentItemChanged, this, &QWizardPage::completeChanged);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &QWizardPage::completeChanged);
}

void CExpressPropertyPage5::initializePage() {
    if (filled_) return;
    filled_ = true;
    const vorla::ProfileFile& file = sheet_.Context().modemFile;
    for (int n = 1; n <= kMaxModemEntries; ++n) {
        std::string manufacturer, model, init;
        if (!vorla::ReadModemIniEntry(file, n, {&manufacturer, &model, &init})) break;
        auto* row = new ModemRow({vorla::FromWindows1252(manufacturer), vorla::FromWindows1252(model)});
        row->setData(0, kInitRole, vorla::FromWindows1252(init));
        list_->addTopLevelItem(row);
    }
    list_->sortByColumn(0, Qt::AscendingOrder);
}

bool CExpressPropertyPage5::isComplete() const {
    return sheet_.LineDeviceChosen() || !list_->selectedItems().isEmpty();
}

bool CExpressPropertyPage5::validatePage() {
    if (sheet_.LineDeviceChosen()) return true;
    const QList<QTreeWidgetItem*> chosen = list_->selectedItems();
    if (chosen.isEmpty()) return false;
    const QTreeWidgetItem* row = chosen.first();
    ServiceFields& setup = sheet_.Data().setup;
    setup.modemName = vorla::ToWindows1252(row->text(0) + QStringLiteral(" - ") + row->text(1));
    setup.modemInit = vorla::ToWindows1252(row->data(0, kInitRole).toString());
    vorla::ISettingsStore& settings = *sheet_.Context().settings;
    settings.WriteProfileString("Defaults", "Modem", setup.modemName);
    settings.WriteProfileString("Defaults", "ModemInit", setup.modemInit);
    return true;
}
