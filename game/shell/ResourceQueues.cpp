#include "game/shell/ResourceQueues.h"

#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/sound/SFXManager.h"
#include "engine/scene/model/ModelManager.h"

namespace {

class EngineQueues final : public ResourceQueues {
 public:
  int32_t Registered() const override {
    const CSFXManager* sound = GetSFXManager();
    return static_cast<int32_t>(C3MEManager::Instance().GetModelCount() +
                                CMATManager::GetInstance()->GetMaterialCount() +
                                CTEXManager::GetInstance()->TextureCount()) +
           sound->GetBufferCount() + sound->GetStreamCount();
  }

  int32_t Pending() const override {
    return C3MEManager::Instance().pending + CMATManager::GetInstance()->PendingCount() +
           CTEXManager::GetInstance()->PendingCount() + GetSFXManager()->GetPending();
  }

  int32_t LoadedLastCall() const override {
    return C3MEManager::Instance().loadedThisCall + CMATManager::GetInstance()->ResolvedThisCall() +
           CTEXManager::GetInstance()->LoadedThisCall() + GetSFXManager()->GetLoadedThisPass();
  }

  void SetBudgets(const LoadBudgets& budgets) override {
    C3MEManager::Instance().loadLimit = budgets.models;
    CMATManager::GetInstance()->SetResolveBudget(budgets.materials);
    CTEXManager::GetInstance()->SetLoadBudget(budgets.textures);
    GetSFXManager()->SetLoadLimit(budgets.sounds);
  }

  void LoadQueuedNow() override {
    CTEXManager::GetInstance()->LoadQueued(false);
    C3MEManager::Instance().LoadResources();
  }
};

}  // namespace

ResourceQueues& EngineResourceQueues() {
  static EngineQueues queues;
  return queues;
}
