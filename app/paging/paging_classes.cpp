#include "paging/paging_classes.h"

#include "archive/class_registry.h"
#include "directory/directory_classes.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"

void RegisterPagingClasses(ClassRegistry& registry) {
    registry.Register(CPagerMessage::kClass);
    registry.Register(CPage::kClass);
    registry.Register(CLogObject::kClass);
}

ClassRegistry MakeProgramClassRegistry() {
    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    RegisterPagingClasses(registry);
    return registry;
}
