#include "paging_classes.h"

#include "class_registry.h"
#include "log_object.h"
#include "page.h"
#include "pager_message.h"

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
