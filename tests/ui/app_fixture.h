#pragma once
// A program directory in a temporary folder and an application object started on it, with
// settings kept in memory so no test reaches the user's settings.

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "settings/memory_settings_store.h"
#include "tests/qt_support/qt_wait.h"
#include "ui/app/vorla_pro_app.h"

class CVorlaPro5View;

struct DirectoryPlan {
    bool withService = true;
    std::string port = "COM1";
};

// Writes "Vorla Pro.vlg": service Acme (script VORLAPRO.RKL), subscribers Ann (PIN 1001),
// Bob (1002) and Carol (1003) of Acme, group Team (Bob, Ann), group Empty (no members).
void WriteTestDirectory(const std::string& folder, const DirectoryPlan& plan = {});

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the application with every part of the program (RegisterProgramParts), then
    // `replace` for a test that stands in for a part; false when start-up refused.
    bool Start(const CommandLineInfo& commandLine = {},
               const std::function<void(UiExtensions&)>& replace = {});
    std::string Folder() const { return home_.path().toStdString(); }
    std::string FilePath(const std::string& name) const { return Folder() + "/" + name; }
    CVorlaPro5View* View() const;

    QTemporaryDir home_;
    vorla::MemorySettingsStore* settings_ = nullptr;  // owned by app_
    std::unique_ptr<CVorlaPro5App> app_;
};
