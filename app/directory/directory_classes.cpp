#include "directory/directory_classes.h"

#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

void RegisterDirectoryClasses(ClassRegistry& registry) {
    registry.Register(CObList::kClass);
    registry.Register(CService::kClass);
    registry.Register(CSubscriber::kClass);
    registry.Register(CGroup::kClass);
    registry.Register(CMessage::kClass);
    registry.Register(CDisplayObject::kClass);
}
