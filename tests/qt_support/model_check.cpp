#include "tests/qt_support/model_check.h"

#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>

#include <cstring>

#include <gtest/gtest.h>

namespace {

QtMessageHandler passOn = nullptr;

// The checker says what broke as a warning of its own category; the warning still reaches
// the log, and the test that caused it fails.
void FailOnBrokenRule(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg && context.category &&
        std::strcmp(context.category, "qt.modeltest") == 0)
        ADD_FAILURE() << "item model rule broken: " << message.toStdString();
    if (passOn) passOn(type, context, message);
}

}  // namespace

void CheckModel(QAbstractItemModel* model) {
    static const bool installed = [] {
        passOn = qInstallMessageHandler(FailOnBrokenRule);
        return true;
    }();
    (void)installed;
    while (model) {
        // A child of the model, so it goes with the model and never sees a deleted one.
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Warning, model);
        auto* proxy = qobject_cast<QAbstractProxyModel*>(model);
        model = proxy ? proxy->sourceModel() : nullptr;
    }
}
