// The translator's C exports and its plug-in metadata (read by the program without loading
// the library, to list it by its file description).

#include <cstdio>
#include <exception>

#include <QApplication>
#include <QObject>
#include <QWidget>
#include <QtPlugin>

#include "translator/brisko_import_dialog.h"
#include "translator/lomix_records.h"

#define LOMIX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The program calls the exports through C function pointers and cannot catch a C++ exception,
// so a fault in the dialog or the reader (memory, a file system error) ends here and the export
// answers as if there were nothing to import.
template <typename Result, typename Body>
Result Guarded(Result onFault, Body body) noexcept {
    try {
        return body();
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "Lomix: %s\n", fault.what());  // allocates nothing
    } catch (...) {
        std::fputs("Lomix: unknown fault\n", stderr);
    }
    return onFault;
}

}  // namespace

class LomixPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "VorlaPro.ImportTranslator" FILE "lomix.json")
};

LOMIX_EXPORT int RunTranslator(void* parentWindow) {
    return Guarded(0, [&] {
        // The dialog needs a widget application; a host without one gets "cancelled".
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
        lomix::BriskoImportDialog dialog(lomix::TheTranslation(), static_cast<QWidget*>(parentWindow));
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    });
}

LOMIX_EXPORT int RunTranslatorUnattended(const char* dataFile) {
    return Guarded(0, [&] {
        if (!dataFile) return 0;
        lomix::Translation& translation = lomix::TheTranslation();
        size_t services = translation.ReadCompaniesFrom(dataFile, lomix::ModemSettingsOfThisUser());
        size_t subscribers = translation.ReadPeopleFrom(dataFile);
        return services + subscribers > 0 ? 1 : 0;
    });
}

LOMIX_EXPORT const void* GetService() {
    return Guarded<const void*>(nullptr, [] { return lomix::TheTranslation().NextService(); });
}
LOMIX_EXPORT const void* GetSubscriber() {
    return Guarded<const void*>(nullptr, [] { return lomix::TheTranslation().NextSubscriber(); });
}
// Brisko files hold no groups and no preset messages.
LOMIX_EXPORT const void* GetGroup() {
    return nullptr;
}
LOMIX_EXPORT const void* GetPresetMessage() {
    return nullptr;
}

#include "lomix_exports.moc"
