// Page 5: the modem type, one row per entry of the modem list file.
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "settings/service_lists.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_property_sheet.h"

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
    noModemList_ =
        new QLabel(QStringLiteral("No modem list (MODEM.INI) was found in the program folder. The modem "
                                  "will be used with its own settings; a modem type can be chosen later "
                                  "under Setup, Services."),
                   this);
    noModemList_->setObjectName(QStringLiteral("NoModemList"));
    noModemList_->setWordWrap(true);
    noModemList_->hide();
    layout->addWidget(noModemList_);
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
    noModemList_->setVisible(list_->topLevelItemCount() == 0);
}

bool CExpressPropertyPage5::isComplete() const {
    // Without a modem list there is nothing to choose; a first start must still finish.
    return sheet_.LineDeviceChosen() || list_->topLevelItemCount() == 0 || !list_->selectedItems().isEmpty();
}

bool CExpressPropertyPage5::validatePage() {
    if (sheet_.LineDeviceChosen()) return true;
    const QList<QTreeWidgetItem*> chosen = list_->selectedItems();
    if (chosen.isEmpty() && list_->topLevelItemCount() > 0) return false;
    ServiceFields& setup = sheet_.Data().setup;
    setup.modemName.clear();
    setup.modemInit.clear();  // the scripts then only reset the modem
    if (!chosen.isEmpty()) {
        const QTreeWidgetItem* row = chosen.first();
        setup.modemName = vorla::ToWindows1252(row->text(0) + QStringLiteral(" - ") + row->text(1));
        setup.modemInit = vorla::ToWindows1252(row->data(0, kInitRole).toString());
    }
    vorla::ISettingsStore& settings = *sheet_.Context().settings;
    WriteSetting(settings, vorla::setting::kModem, setup.modemName);
    WriteSetting(settings, vorla::setting::kModemInit, setup.modemInit);
    return true;
}
