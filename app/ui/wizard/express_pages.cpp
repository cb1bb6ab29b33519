// The pages that only show text: the shared page base, welcome and complete.
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_property_sheet.h"

CExpressPropertyPage::CExpressPropertyPage(CExpressPropertySheet& sheet) : sheet_(sheet) {
    setTitle(CExpressPropertySheet::kCaption);
}

QLabel* CExpressPropertyPage::Heading(const QString& text) {
    auto* label = new QLabel(text, this);
    label->setFont(ExpressHeadingFont(font()));
    label->setWordWrap(true);
    return label;
}

namespace {
QPixmap WelcomePicture(const QImage& picture) {
    if (!picture.isNull()) return QPixmap::fromImage(picture.scaled(200, 120, Qt::KeepAspectRatio));
    // A pager: the program has no picture of its own to ship, so it draws one.
    QPixmap pixmap(120, 72);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(40, 40, 48));
    painter.drawRoundedRect(QRectF(4, 8, 112, 60), 10, 10);
    painter.setBrush(QColor(150, 200, 140));
    painter.drawRect(QRectF(16, 20, 88, 24));
    painter.setPen(QColor(20, 40, 20));
    painter.drawText(QRectF(16, 20, 88, 24), Qt::AlignCenter, QStringLiteral("555-0100"));
    return pixmap;
}

QVBoxLayout* TextPage(QWizardPage* page, const QString& first, const QString& second) {
    auto* layout = new QVBoxLayout(page);
    for (const QString& text : {first, second}) {
        auto* label = new QLabel(text, page);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    return layout;
}
}  // namespace

CExpressPropertyPage1::CExpressPropertyPage1(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    QVBoxLayout* layout = TextPage(
        this,
        QStringLiteral(
            "Welcome to Vorla Pro.  This Express Setup Wizard will guide you through the setup of the "
            "software.  Once this Wizard is completed you will be ready to begin sending messages."),
        QStringLiteral("Click the 'Next' button to continue the Vorla Pro setup."));
    layout->addStretch(1);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("WelcomePicture"));
    picture->setPixmap(WelcomePicture(sheet.Context().picture));
    layout->addWidget(picture, 0, Qt::AlignHCenter | Qt::AlignBottom);
}

CExpressPropertyPage7::CExpressPropertyPage7(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    TextPage(this,
             QStringLiteral("Vorla Pro Setup is complete!  You are now ready to begin using the software."),
             QStringLiteral("Click the 'Finish' button to leave the Setup Wizard and begin using Vorla Pro!"))
        ->addStretch(1);
    setFinalPage(true);
}
