#pragma once
// Fills a stored message record that a widget posts later (delay 0).

#include <cstdint>

#include "engine/runtime/messages/MSGMessage.h"

inline void FillRecord(CMSGMessage& record, uint32_t id, int32_t source, int32_t target, intptr_t parameter = 0) {
  record.id = id;
  record.source = source;
  record.target = target;
  record.parameter = parameter;
  record.dueTime = 0.0;
}
