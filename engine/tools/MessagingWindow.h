#pragma once
// "Vyre Messaging": the header of a table of queued messages. The engine
// offers no walk of its queues, so no rows follow.

#include "engine/tools/DebugWindow.h"

class MessagingWindow : public DebugWindow {
 public:
  MessagingWindow();
  ~MessagingWindow() override;
  // Children, then the header on the first line.
  void DrawContents() override;
  // The developer frame at (32, 0), 300 x 568; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;
};
