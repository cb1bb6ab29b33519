#include "tests/ui/app_fixture.h"

#include <QCoreApplication>

#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "ui/main_window/main_frame.h"
#include "ui/program/program_parts.h"

void WriteTestDirectory(const std::string& folder, const DirectoryPlan& plan) {
    DirectoryStore store;
    store.CreateEmpty();
    if (plan.withService) {
        ServiceFields fields;
        fields.name = "Acme";
        fields.accessNumber = "5551234";
        fields.modemName = "Factory Default";
        fields.modemInit = "AT&F";
        fields.port = plan.port;
        fields.baudRate = 2400;
        fields.parity = 1;
        fields.scriptFile = "VORLAPRO.RKL";
        auto* service = new CService(fields);
        store.GetServiceList()->AddTail(service);
        auto add = [&](const char* name, const char* pin) {
            auto* s = new CSubscriber(name, pin, "80", service);
            service->AddSubscriber(s);
            store.GetSubscriberList()->AddTail(s);
            return s;
        };
        CSubscriber* ann = add("Ann", "1001");
        CSubscriber* bob = add("Bob", "1002");
        add("Carol", "1003");
        auto* team = new CGroup("Team");
        AddGroupMember(*team, *bob);
        AddGroupMember(*team, *ann);
        store.GetGroupList()->AddTail(team);
        store.GetGroupList()->AddTail(new CGroup("Empty"));
    }
    ASSERT_EQ(SaveDirectoryFile(folder + "/" + std::string(kDirectoryFileName), store), ArchiveError::None);
}

void AppTest::SetUp() {
    ASSERT_TRUE(home_.isValid());
}

void AppTest::TearDown() {
    app_.reset();
}

bool AppTest::Start(const CommandLineInfo& commandLine, const std::function<void(UiExtensions&)>& replace) {
    auto settings = std::make_unique<vorla::MemorySettingsStore>();
    settings_ = settings.get();
    auto directory = vorla::ProgramDirectory::Resolve({Folder(), std::nullopt, {}, {}});
    EXPECT_TRUE(directory.has_value());
    app_ = std::make_unique<CVorlaPro5App>(std::move(settings), *directory);
    RegisterProgramParts(app_->Extensions());
    if (replace) replace(app_->Extensions());
    return app_->InitApplicationObjects(commandLine, false);
}

CVorlaPro5View* AppTest::View() const {
    return app_ && app_->MainFrame() ? MainFrameOf(*app_)->MessageView() : nullptr;
}
