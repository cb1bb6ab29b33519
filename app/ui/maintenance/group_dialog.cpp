#include "ui/maintenance/group_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <algorithm>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_rules.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/progress_window.h"
#include "ui/maintenance/record_list_model.h"

namespace {

QListView* MakeList(QAbstractItemModel* model, QWidget* parent) {
    auto* view = new QListView(parent);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setUniformItemSizes(true);
    view->setLayoutMode(QListView::Batched);
    return view;
}

std::vector<Serializable*> MembersOf(const CGroup& group) {
    std::vector<Serializable*> members;
    if (group.GetMembers()) members.assign(group.GetMembers()->begin(), group.GetMembers()->end());
    return members;
}

}  // namespace

GroupDialog::GroupDialog(CVorlaPro5App& app, QWidget* parent)
    : MaintenanceDialog(app, QStringLiteral("Group Maintenance"), parent) {
    name_ = new QLineEdit(this);
    name_->setMaxLength(255);
    memberFind_ = new QLineEdit(this);
    memberModel_ = new RecordListModel(
        [](const Serializable& r) -> const std::string& {
            return static_cast<const CSubscriber&>(r).GetName();
        },
        this);
    groupModel_ = new RecordListModel(
        [](const Serializable& r) -> const std::string& { return static_cast<const CGroup&>(r).GetName(); },
        this);
    memberProxy_ = new FindProxy(memberModel_, *memberModel_, this);
    groupProxy_ = new FindProxy(groupModel_, *groupModel_, this);
    members_ = MakeList(memberProxy_, this);
    members_->setSelectionMode(QAbstractItemView::MultiSelection);
    groups_ = MakeList(groupProxy_, this);
    memberFilter_ = new FindFilter(memberFind_, memberProxy_, *memberModel_, members_->selectionModel(), this,
                                   FindFilter::Hidden::Chosen);
    groupFilter_ = new FindFilter(find_, groupProxy_, *groupModel_, groups_->selectionModel(), this);
    memberCounter_ = new QLabel(this);
    groupCounter_ = new QLabel(this);

    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setFont(BoldFont());
        l->setBuddy(buddy);
        return l;
    };
    auto* layout = new QGridLayout(this);
    layout->addWidget(label(QStringLiteral("&Group Name:"), name_), 0, 0);
    layout->addWidget(name_, 1, 0);
    layout->addWidget(label(QStringLiteral("S&ubscribers:"), members_), 2, 0);
    layout->addWidget(memberFind_, 3, 0);
    layout->addWidget(members_, 4, 0);
    layout->addWidget(memberCounter_, 5, 0);
    layout->addWidget(label(QStringLiteral("G&roups:"), groups_), 0, 1, 3, 1, Qt::AlignBottom);
    layout->addWidget(find_, 3, 1);
    layout->addWidget(groups_, 4, 1);
    layout->addWidget(groupCounter_, 5, 1);
    layout->addWidget(MakeButtons(), 6, 0, 1, 2);
    layout->setRowStretch(4, 1);
    resize(620, 460);
    // The entry first (the name, the members and their find field), then the groups' find.
    setTabOrder(members_, find_);

    SetTip(name_, QStringLiteral("The group's name, unique in the directory"));
    SetTip(members_, QStringLiteral("Click the subscribers who belong to the group"));
    SetTip(groups_, QStringLiteral("Every group in the directory"));

    {
        CObList* subscribers = app_.GetSubscriberList();
        WorkProgress progress(QStringLiteral("Reading Subscribers..."),
                              subscribers ? subscribers->GetCount() : 0, this);
        memberModel_->SetList(subscribers, [&progress](size_t done) { progress.Step(done); });
    }
    {
        CObList* groups = app_.GetGroupList();
        WorkProgress progress(QStringLiteral("Reading Groups..."), groups ? groups->GetCount() : 0, this);
        groupModel_->SetList(groups, [&progress](size_t done) { progress.Step(done); });
    }

    connect(name_, &QLineEdit::textChanged, this, &GroupDialog::UpdateButtons);
    connect(memberFilter_, &FindFilter::SelectionCountChanged, this, [this] {
        memberCounter_->setText(
            QStringLiteral("Total Selected Subscribers: %1").arg(memberFilter_->SelectedCount()));
        UpdateButtons();
    });
    connect(groupFilter_, &FindFilter::SelectionCountChanged, this, &GroupDialog::UpdateButtons);
    connect(groupFilter_, &FindFilter::SelectionChanged, this, &GroupDialog::LoadSelection);
    connect(groups_, &QAbstractItemView::pressed, this, &GroupDialog::LoadSelection);
    StartCounter(groupCounter_, QStringLiteral("Total Groups: %1"), groupModel_);
    memberCounter_->setText(QStringLiteral("Total Selected Subscribers: 0"));
    UpdateButtons();
    name_->setFocus();
}

void GroupDialog::LoadSelection() {
    if (CGroup* one = As<CGroup>(groupFilter_->Single())) {
        name_->setText(vorla::FromWindows1252(one->GetName()));
        memberFilter_->Select(MembersOf(*one));
    } else {
        name_->clear();
        memberFilter_->Select({});
    }
    UpdateButtons();
}

void GroupDialog::UpdateButtons() {
    bool unchanged = false;
    if (CGroup* one = As<CGroup>(groupFilter_->Single())) {
        std::vector<Serializable*> chosen = memberFilter_->Selected();
        std::vector<Serializable*> members = MembersOf(*one);
        std::sort(chosen.begin(), chosen.end());
        std::sort(members.begin(), members.end());
        unchanged = name_->text() == vorla::FromWindows1252(one->GetName()) && chosen == members;
    }
    save_->setEnabled(!NameRefusal(vorla::ToWindows1252(name_->text())) &&
                      memberFilter_->SelectedCount() > 0 && !unchanged);
    delete_->setEnabled(groupFilter_->SelectedCount() > 0);
}

void GroupDialog::Save() {
    if (!Storable({{QStringLiteral("group name"), name_->text()}})) return;
    CGroup* existing = RecordToModify<CGroup>(*groupFilter_);
    const std::vector<CSubscriber*> members = memberFilter_->SelectedAs<CSubscriber>();
    CGroup* saved = SaveGroup(app_.Store(), existing, vorla::ToWindows1252(name_->text()), members);
    if (!AfterSave(saved, existing, *groupModel_, DuplicateGroupText())) return;
    groupFilter_->Select({saved});
}

void GroupDialog::Delete() {
    const std::vector<CGroup*> doomed = groupFilter_->SelectedAs<CGroup>();
    if (!ConfirmDelete(static_cast<int>(doomed.size()))) return;
    SetModified();
    WorkProgress progress(QStringLiteral("Deleting Groups..."), doomed.size(), this);
    DeleteGroups(app_.Store(), doomed, [&progress](size_t done) { progress.Step(done); });
    groupModel_->Reload();
    app_.NotifyDirectoryChanged();
    LoadSelection();
}
