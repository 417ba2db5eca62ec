#pragma once

// "Game.Loading": queues what the next screen needs when the load message
// arrives, lets the managers load it a few items a frame, shows a ring of
// gems that grows with the progress, and fades to the state chosen before
// (the game's stateAfterLoading) once everything is in.

#include "game/shell/LoadingProgress.h"
#include "game/shell/ResourceQueues.h"
#include "game/shell/ShellScreen.h"

class C3MEModel;
class CMATMaterial;

class LoadingScreen : public ShellScreen {
 public:
  static constexpr int kCrystalCount = 7;
  static constexpr float kFadeSeconds = 1.0f;
  static constexpr LoadBudgets kFrontEndBudgets{5, 5, 5, 1};
  static constexpr LoadBudgets kChallengeBudgets{5, 5, 5, 1};
  static constexpr LoadBudgets kPanicBudgets{1, 1, 1, 1};
  static constexpr LoadBudgets kNoBudgets{-1, -1, -1, -1};

  explicit LoadingScreen(ShellContext& context);
  void Enter() override;
  void Update() override;
  void Exit() override;

  // The count so far (for the ring and the tests).
  const LoadingProgress& Progress() const { return progress_; }
  bool IsLoading() const { return loading_; }

 protected:
  bool OnMessage(CMSGMessage& message) override;

 private:
  // The ring's gems, the background and the banner; the HUD hook.
  void Draw();
  void DrawRing();
  // The background, the ring's crystals and model and the banner's font,
  // asked for again after the front end gave the background back.
  void PrepareArt();
  void QueueFrontEnd();
  void QueueGame(bool withBoardMaterials);
  // Reads the managers' counts after a load was queued.
  void StartCounting(const LoadBudgets& budgets);

  LoadingProgress progress_;
  // Items still waiting when the load was queued.
  int32_t toLoad_ = 0;
  bool loading_ = false;
  CMATMaterial* crystals_[kCrystalCount] = {};
  C3MEModel* ringModel_ = nullptr;
};
