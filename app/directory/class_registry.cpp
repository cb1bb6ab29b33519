#include "directory/class_registry.h"

#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/ob_list.h"
#include "directory/service.h"
#include "directory/subscriber.h"

void ClassRegistry::Register(const ClassInfo& info) { classes_[info.name] = &info; }

const ClassInfo* ClassRegistry::Find(std::string_view name) const {
  auto it = classes_.find(name);
  return it == classes_.end() ? nullptr : it->second;
}

void RegisterDirectoryClasses(ClassRegistry& registry) {
  registry.Register(CObList::kClass);
  registry.Register(CService::kClass);
  registry.Register(CSubscriber::kClass);
  registry.Register(CGroup::kClass);
  registry.Register(CMessage::kClass);
  registry.Register(CDisplayObject::kClass);
}
