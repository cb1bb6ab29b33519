#include "serializable.h"

bool ClassInfo::IsDerivedFrom(const ClassInfo& other) const {
  for (const ClassInfo* info = this; info; info = info->base) {
    if (info == &other) return true;
  }
  return false;
}

void DiscardRecord(Serializable* record) {
  if (!record) return;
  record->OnDiscard();
  delete record;
}
