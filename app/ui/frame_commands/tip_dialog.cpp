#include "ui/frame_commands/tip_dialog.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "settings/program_directory.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/frame_commands/tips_file.h"

namespace {
const char* const kBuiltInStamp = "built-in";
}  // namespace

bool CTipDialog::ShownAtStartup(const vorla::ISettingsStore& settings) {
    return ReadSetting(settings, vorla::setting::kTipStartUp) == 0;
}

CTipDialog::CTipDialog(vorla::ISettingsStore& settings, const vorla::ProgramDirectory& directory,
                       QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setObjectName(QStringLiteral("TipOfTheDay"));
    if (auto path = directory.FindDataFile("tips.txt")) {
        QFile file(QString::fromStdString(path->string()));
        if (file.open(QIODevice::ReadOnly)) {
            text_ = file.readAll();
            stamp_ = QFileInfo(file).lastModified().toUTC().toString(Qt::ISODate);
        }
    }
    if (!TipAt(std::string_view(text_.constData(), static_cast<size_t>(text_.size())), 0)) {
        QFile builtIn(QStringLiteral(":/vorlapro/tips.txt"));
        text_ = builtIn.open(QIODevice::ReadOnly) ? builtIn.readAll() : QByteArray();
        stamp_ = QString::fromLatin1(kBuiltInStamp);
    }
    if (QString::fromStdString(ReadSetting(settings_, vorla::setting::kTipTimeStamp)) == stamp_)
        position_ = ReadSetting(settings_, vorla::setting::kTipFilePos);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* heading = new QLabel(QStringLiteral("Did you know..."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    tip_ = new QLabel(this);
    tip_->setWordWrap(true);
    tip_->setMinimumSize(360, 90);
    tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    startup_ = new QCheckBox(QStringLiteral("&Show tips at startup"), this);
    startup_->setChecked(ShownAtStartup(settings_));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = buttons->addButton(QStringLiteral("&Next Tip"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setDefault(true);
    connect(next, &QPushButton::clicked, this, &CTipDialog::ShowNextTip);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* body = new QVBoxLayout;
    body->addWidget(heading);
    body->addWidget(tip_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(body, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(startup_);
    bottom->addWidget(buttons, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    ShowNextTip();
}

void CTipDialog::ShowNextTip() {
    const auto pick =
        TipAt(std::string_view(text_.constData(), static_cast<size_t>(text_.size())), position_);
    if (!pick) {
        tip_->setText(QStringLiteral("There are no tips in tips.txt."));
        return;
    }
    tip_->setText(vorla::FromWindows1252(pick->tip));
    position_ = pick->nextPosition;
}

QString CTipDialog::CurrentTip() const {
    return tip_->text();
}

void CTipDialog::done(int result) {
    WriteSetting(settings_, vorla::setting::kTipStartUp, startup_->isChecked() ? 0 : 1);
    WriteSetting(settings_, vorla::setting::kTipFilePos, static_cast<int>(position_));
    WriteSetting(settings_, vorla::setting::kTipTimeStamp, stamp_.toStdString());
    QDialog::done(result);
}
