#include "engine/graphics/MaterialManager.h"

#include "engine/foundation/Clock.h"
#include "engine/graphics/GraphicsLog.h"
#include "engine/graphics/TextureManager.h"

namespace {

constexpr uint32_t kListGrowth = 10;

CMATManager*& InstanceSlot() {
  static CMATManager* instance = nullptr;
  return instance;
}

struct InstanceReaper {
  ~InstanceReaper() { CMATManager::DestroyInstance(); }
};

// Resource names are compared lower-cased with "/" separators.
String NormalisedName(const String& name) {
  String normalised = name;
  normalised.ToLower();
  normalised.ReplaceChar('\\', '/');
  return normalised;
}

}  // namespace

void CMATInstance::Set(int32_t newIndex, CMATMaterial* newMaterial, float newTime) {
  index = newIndex;
  material = newMaterial;
  time = newTime;
}

void CMATInstance::Update(float dt) {
  if (material == nullptr || !material->InUse()) return;
  material->SetTrackValues(time);
  time += dt;
  material->Update(dt);
}

bool CMATManager::Exists() { return InstanceSlot() != nullptr; }

CMATManager* CMATManager::GetInstance() {
  static InstanceReaper reaper;
  CMATManager*& instance = InstanceSlot();
  if (instance == nullptr) instance = new CMATManager();
  return instance;
}

void CMATManager::DestroyInstance() {
  CMATManager*& instance = InstanceSlot();
  delete instance;
  instance = nullptr;
}

CMATManager::CMATManager(CTEXManager* textures)
    : textures_(textures != nullptr ? textures : CTEXManager::GetInstance()),
      materials_(kListGrowth),
      instances_(kListGrowth),
      libraries_(kListGrowth) {}

CMATManager::~CMATManager() {
  while (libraries_.Count() > 0) delete static_cast<CMATLibrary*>(libraries_.RemoveAt(0));
  ClearInstances();
  ClearMaterials();
}

CMATMaterial* CMATManager::GetMaterial(const char* name) {
  if (name == nullptr || name[0] == '\0') return nullptr;
  return GetMaterial(String(name));
}

CMATMaterial* CMATManager::GetMaterial(const String& name) {
  CMATMaterial* material = FindOrCreate(name);
  if (material == nullptr) return nullptr;
  if (material->StageCount() == 0 && material->AllocateStages(1)) {
    // A plain texture file name becomes a usable material: one stage
    // showing that texture, named as the caller wrote it.
    CMATStage* stage = material->GetStage(0);
    stage->mapName = name;
    stage->flags |= StageFlag::MAP;
  }
  return material;
}

CMATMaterial* CMATManager::FindOrCreate(const String& name) {
  const String lowered = NormalisedName(name);
  if (lowered.IsEmpty()) return nullptr;
  CMATMaterial* material = FindMaterial(lowered);
  if (material != nullptr) return material;
  LogMAT("Created new material - %s", lowered.Chars());
  return CreateMaterial(lowered);
}

CMATMaterial* CMATManager::CreateMaterial(const String& name) {
  auto* material = new CMATMaterial();
  if (material == nullptr) return nullptr;
  if (!materials_.AddTail(material)) {
    delete material;
    return nullptr;
  }
  material->SetName(NormalisedName(name));
  ++pendingCount_;
  return material;
}

CMATMaterial* CMATManager::FindMaterial(const String& name) {
  const String lowered = NormalisedName(name);
  for (PooledListNode* node = materials_.Head(); node != nullptr; node = node->next) {
    auto* material = static_cast<CMATMaterial*>(node->data);
    // Names read from a library keep the file's spelling until first compared.
    material->Name() = NormalisedName(material->Name());
    if (material->Name() == lowered) return material;
  }
  return nullptr;
}

int32_t CMATManager::IndexOf(const String& name) const {
  int32_t index = 0;
  for (PooledListNode* node = materials_.Head(); node != nullptr; node = node->next, ++index) {
    if (static_cast<CMATMaterial*>(node->data)->Name() == name) return index;
  }
  return -1;
}

CMATInstance* CMATManager::CreateInstance(const String& name) {
  CMATMaterial* material = GetMaterial(name);
  if (material == nullptr) return nullptr;
  auto* instance = new CMATInstance();
  if (instance == nullptr) return nullptr;
  if (!instances_.AddTail(instance)) {
    delete instance;
    return nullptr;
  }
  ++material->instanceCount;
  instance->Set(int32_t(instances_.Count()) - 1, material, 0.0f);
  LogMAT("New material instance created... [%d] %s", instance->index, material->Name().Chars());
  return instance;
}

void CMATManager::RemoveInstance(CMATInstance* instance) {
  if (instance == nullptr || !instances_.Remove(instance)) return;
  if (instance->material != nullptr && instance->material->instanceCount > 0) --instance->material->instanceCount;
  delete instance;
}

bool CMATManager::TextureStillUsed(const CTEXTexture* texture, const CMATMaterial* except) const {
  for (PooledListNode* node = materials_.Head(); node != nullptr; node = node->next) {
    auto* material = static_cast<const CMATMaterial*>(node->data);
    if (material == except) continue;
    for (int32_t i = 0; i < material->StageCount(); ++i) {
      if (material->GetStage(uint32_t(i))->texture == texture) return true;
    }
  }
  return false;
}

void CMATManager::RemoveMaterial(CMATMaterial* material) {
  if (material == nullptr || !materials_.Remove(material)) return;
  // Instance records of the material would point at freed memory.
  for (PooledListNode* node = instances_.Head(); node != nullptr;) {
    auto* instance = static_cast<CMATInstance*>(node->data);
    node = node->next;
    if (instance->material == material) {
      instances_.Remove(instance);
      delete instance;
    }
  }
  // Textures are shared by name: only those no other material shows go.
  for (int32_t i = 0; i < material->StageCount(); ++i) {
    CTEXTexture* texture = material->GetStage(uint32_t(i))->texture;
    if (texture == nullptr || texture == textures_->DefaultTexture() || TextureStillUsed(texture, material)) continue;
    bool earlierStage = false;
    for (int32_t j = 0; j < i; ++j) earlierStage |= material->GetStage(uint32_t(j))->texture == texture;
    if (!earlierStage) textures_->Release(texture);
  }
  delete material;
}

void CMATManager::ResolveTextures() {
  resolvedThisCall_ = 0;
  for (PooledListNode* node = materials_.Tail(); node != nullptr; node = node->prev) {
    auto* material = static_cast<CMATMaterial*>(node->data);
    for (int32_t i = 0; i < material->StageCount(); ++i) {
      if (resolveBudget_ >= 0 && resolvedThisCall_ >= resolveBudget_) return;
      CMATStage* stage = material->GetStage(uint32_t(i));
      if (stage->texture != nullptr) continue;
      stage->texture = textures_->GetTexture(stage->mapName);
      if (stage->texture != nullptr) stage->texture->SetMipmap(stage->mipmap != 0);
      ++resolvedThisCall_;
      if (pendingCount_ > 0) --pendingCount_;
    }
  }
}

void CMATManager::Update() {
  // The game step: 0 while paused (the faders then creep at their minimum
  // step), the fixed step when one is in use, else the scaled frame time.
  UpdateBy(Clock::Instance().GetGameDelta());
}

void CMATManager::UpdateBy(float step) {
  for (PooledListNode* node = materials_.Head(); node != nullptr; node = node->next) {
    auto* material = static_cast<CMATMaterial*>(node->data);
    if (material->instanceCount == 0 && material->InUse()) material->Update(step);
  }
  for (PooledListNode* node = instances_.Head(); node != nullptr; node = node->next) {
    auto* instance = static_cast<CMATInstance*>(node->data);
    if (instance->material != nullptr && instance->material->instanceCount > 0) instance->Update(step);
  }
}

void CMATManager::ClearMaterials() {
  // Instance records would be left pointing at freed materials.
  ClearInstances();
  while (materials_.Count() > 0) delete static_cast<CMATMaterial*>(materials_.RemoveAt(0));
}

void CMATManager::ClearInstances() {
  while (instances_.Count() > 0) delete static_cast<CMATInstance*>(instances_.RemoveAt(0));
}
