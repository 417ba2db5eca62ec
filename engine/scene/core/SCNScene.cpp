#include "engine/scene/core/SCNScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/foundation/Log.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/core/SceneTextLines.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"
#include "engine/scene/model/ModelManager.h"

namespace {

// The fewest bytes one library entry or one layout instance can take
// ("[REF]a" and "[RES]b"; "[INSTANCE][0]a"): a count that needs more than the
// file holds is refused before anything is built for it.
constexpr int64_t kMinLibraryEntryBytes = 12;
constexpr int64_t kMinInstanceBytes = 14;
// Longest instance name, ref or res kept (the scratch buffers hold one more).
constexpr int kMaxWord = 511;

// True when the line, after leading blanks, begins with the tag.
bool HasTag(const char* line, const char* tag) {
  line += std::strspn(line, " \t");
  return std::strncmp(line, tag, std::strlen(tag)) == 0;
}

// Whether a count read from a file fits in the bytes the file holds.
bool CountFits(int32_t count, int64_t fileBytes, int64_t minBytesEach) {
  return count >= 0 && int64_t(count) <= fileBytes / minBytesEach;
}

}  // namespace

CSCNScene::CSCNScene() = default;

CSCNScene::~CSCNScene() { Release(); }

bool CSCNScene::Load(const char* fileName) {
  Release();
  if (fileName == nullptr || fileName[0] == '\0') {
    Log3ME("CSCNScene::Load - ERROR : no scenery library named");
    return false;
  }
  const bool libraryRead = ReadLibrary(fileName);
  // The layout is read even without a library: its instances then have no models.
  const String layoutName = LayoutNameFor(fileName);
  const bool layoutRead = ReadLayout(layoutName.Chars());
  return libraryRead && layoutRead;
}

void CSCNScene::Release() {
  searchResults_.Clear();
  ClearLibrary();
  if (root_ != nullptr) SetEnabled(false);
  ReleaseInstances();
  nodePool_.Clear();
  root_ = nullptr;
}

String CSCNScene::LayoutNameFor(const char* libraryName) {
  const String name(libraryName);
  const char* text = name.Chars();
  const char* slash = std::strrchr(text, '/');
  const char* backslash = std::strrchr(text, '\\');
  const char* fileStart = std::max(slash, backslash);
  fileStart = fileStart != nullptr ? fileStart + 1 : text;
  // Only the file's own name counts: a "." in a folder ("./", "Scenes.v2/")
  // must not cut the path.
  const char* dot = std::strchr(fileStart, '.');
  const char* keepEnd = dot != nullptr ? dot + 1 : fileStart;
  String layout = name.Left(int(keepEnd - text));
  layout.AppendChars("layout");
  return layout;
}

bool CSCNScene::ReadLibrary(const char* fileName) {
  SceneTextLines lines;
  if (fileName == nullptr || !lines.Open(fileName)) {
    Log3ME("CSCNScene::ReadLibrary - ERROR : %s : unable to open", fileName != nullptr ? fileName : "");
    return false;
  }
  const char* line = lines.Next();
  int32_t count = 0;
  if (line == nullptr || std::sscanf(line, " [SCENERY LIBRARY] %d", &count) != 1) {
    Log3ME("CSCNScene::ReadLibrary - ERROR : %s : not a scenery library", fileName);
    return false;
  }
  if (!CountFits(count, lines.Size(), kMinLibraryEntryBytes)) {
    Log3ME("CSCNScene::ReadLibrary - ERROR : %s : entry count %d does not fit the file", fileName, count);
    return false;
  }
  char ref[kMaxWord + 1];
  char res[kMaxWord + 1];
  for (int32_t i = 0; i < count; ++i) {
    line = lines.Next();
    const bool refRead = line != nullptr && std::sscanf(line, " [REF] %511s", ref) == 1;
    line = refRead ? lines.Next() : nullptr;
    if (line == nullptr || std::sscanf(line, " [RES] %511s", res) != 1) {
      Log3ME("CSCNScene::ReadLibrary - ERROR : %s : entry %d of %d unreadable (line %u)", fileName, i, count,
             lines.LineNumber());
      return false;
    }
    AddLibraryEntry(String(ref), String(res));
  }
  return true;
}

bool CSCNScene::ReadLayout(const char* fileName) {
  // A new layout replaces the nodes and instances of an earlier one.
  if (root_ != nullptr) {
    SetEnabled(false);
    ReleaseInstances();
    searchResults_.Clear();
    nodePool_.Clear();
    root_ = nullptr;
  }
  SceneTextLines lines;
  if (fileName == nullptr || !lines.Open(fileName)) {
    Log3ME("CSCNScene::ReadLayout - %s : no layout, no instances", fileName != nullptr ? fileName : "");
    return true;
  }
  const char* line = lines.Next();
  if (line == nullptr || !HasTag(line, "[V0.1]")) {
    Log3ME("CSCNScene::ReadLayout - ERROR : %s : not a layout (no [V0.1] tag)", fileName);
    return false;
  }
  line = lines.Next();
  int32_t count = 0;
  if (line == nullptr || std::sscanf(line, " [NINSTANCES] %d", &count) != 1) {
    Log3ME("CSCNScene::ReadLayout - ERROR : %s : instance count unreadable", fileName);
    return false;
  }
  if (!CountFits(count, lines.Size(), kMinInstanceBytes)) {
    Log3ME("CSCNScene::ReadLayout - ERROR : %s : instance count %d does not fit the file", fileName, count);
    return false;
  }
  nodePool_.Rename(kPoolName, uint32_t(count) + 1);
  root_ = nodePool_.Acquire();
  if (root_ == nullptr) {
    Log3ME("CSCNScene::ReadLayout - ERROR : %s : out of memory", fileName);
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    std::unique_ptr<CSCNInstance> instance(new (std::nothrow) CSCNInstance);
    if (instance == nullptr) {
      Log3ME("CSCNScene::ReadLayout - ERROR : %s : out of memory", fileName);
      return false;
    }
    // A broken instance ends the read: what follows it cannot be trusted.
    if (!ReadInstance(lines, *instance, uint32_t(i), uint32_t(count), fileName)) return false;
    instances_.push_back(std::move(instance));
  }
  return true;
}

bool CSCNScene::ReadInstance(SceneTextLines& lines, CSCNInstance& instance, uint32_t index, uint32_t count,
                             const char* fileName) {
  const char* line = lines.Next();
  int32_t fileIndex = 0;
  char nameText[kMaxWord + 1];
  if (line == nullptr || std::sscanf(line, " [INSTANCE] [%d] %511[^\n]", &fileIndex, nameText) != 2) {
    Log3ME("CSCNScene::ReadLayout - ERROR : %s : instance %u of %u unreadable (line %u)", fileName, index, count,
           lines.LineNumber());
    return false;
  }
  String name(nameText);
  const String* res = FindResource(name);
  if (res != nullptr) {
    C3MEManager& models = C3MEManager::Instance();
    const uint32_t modelsBefore = models.GetModelCount();
    instance.model = models.GetModel(*res);
    if (models.GetModelCount() > modelsBefore) registeredModels_.push_back(instance.model);
  } else {
    Log3ME("CSCNScene::ReadLayout - %s : no library entry for instance %s", fileName, name.Chars());
  }

  CSCNNode* node = nodePool_.Acquire();
  if (node == nullptr || !root_->AddChild(node) || !node->Attach(&instance, 0)) {
    Log3ME("CSCNScene::ReadLayout - ERROR : %s : out of memory", fileName);
    return false;
  }
  instance.node = node;
  node->radius = kInstanceRadius;

  // The placement line: from the first value that does not match on, the
  // node keeps its own (position 0, identity rotation, scale 1).
  line = lines.Next();
  if (line != nullptr && HasTag(line, "[NODE]")) {
    float v[10];
    const int matched = std::sscanf(line, " [NODE] [P] [%g,%g,%g] [R] (quat %g %g %g %g) [S] [%g,%g,%g]", &v[0], &v[1],
                                    &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9]);
    float* const targets[10] = {&node->centre.x,   &node->centre.y,   &node->centre.z,   &node->rotation.x,
                                &node->rotation.y, &node->rotation.z, &node->rotation.w, &node->scale.x,
                                &node->scale.y,    &node->scale.z};
    // A value that is not a finite number counts as not matching: a NaN
    // placement would poison every matrix built from it.
    for (int i = 0; i < matched && std::isfinite(v[i]); ++i) *targets[i] = v[i];
    node->RebuildMatrix();
    line = lines.Next();
  }
  // The properties line is read and not used; a missing one is no fault.
  if (line != nullptr && !HasTag(line, "[PROPERTIES]")) lines.PutBack();
  return true;
}

void CSCNScene::AddLibraryEntry(const String& ref, const String& res) {
  std::unique_ptr<CSCNLibraryEntry> entry(new (std::nothrow) CSCNLibraryEntry);
  if (entry == nullptr) return;
  entry->ref = ref;
  entry->ref.ToLower();
  entry->res = res;
  entry->res.ToLower();
  library_.push_back(std::move(entry));
}

const String* CSCNScene::FindResource(String& name) const {
  name.ToLower();
  for (const auto& entry : library_)
    if (name.Find(entry->ref) >= 0) return &entry->res;
  return nullptr;
}

void CSCNScene::ClearLibrary() { library_.clear(); }

void CSCNScene::ReleaseInstances() {
  C3MEManager& models = C3MEManager::Instance();
  while (!instances_.empty()) {
    std::unique_ptr<CSCNInstance> instance = std::move(instances_.front());
    instances_.erase(instances_.begin());
    // Instances sharing a model release it once; models registered by
    // someone else are theirs to release.
    auto owned = std::find(registeredModels_.begin(), registeredModels_.end(), instance->model);
    if (instance->model != nullptr && owned != registeredModels_.end()) {
      models.ReleaseModel(instance->model);
      registeredModels_.erase(owned);
    }
    instance->model = nullptr;
    if (CSCNNode* node = instance->node) {
      if (node->parent != nullptr) node->parent->RemoveChild(node);
      node->Detach(instance.get());
      // The node stays with the pool, which deletes it.
      node->Reset();
      instance->node = nullptr;
    }
  }
  // A model registered for an instance that then failed to read.
  for (C3MEModel* model : registeredModels_) models.ReleaseModel(model);
  registeredModels_.clear();
}

void CSCNScene::SetEnabled(bool enabled) {
  if (root_ != nullptr) root_->enabled = enabled;
  for (const auto& instance : instances_)
    if (instance->node != nullptr) instance->node->enabled = enabled;
}

void CSCNScene::Update() {
  if (root_ != nullptr) root_->Update();
}

void CSCNScene::Render() {
  if (root_ != nullptr) root_->Render();
}

uint32_t CSCNScene::FindNodes(const char* text) {
  searchResults_.Clear();
  for (PooledListNode* entry = nodePool_.nodes.Head(); entry != nullptr; entry = entry->next) {
    CSCNNode* node = static_cast<CSCNNode*>(entry->data);
    if (node != nullptr && node->GetName().Find(text != nullptr ? text : "") >= 0) searchResults_.AddTail(node);
  }
  return searchResults_.Count();
}

CSCNInstance::DrawModelHook& CSCNInstance::DrawHook() {
  static DrawModelHook hook = nullptr;
  return hook;
}

bool CSCNInstance::Render() {
  if (model == nullptr) return false;
  if (DrawHook() != nullptr) DrawHook()(model);
  return true;
}

bool CSCNInstance::Update() {
  if (model == nullptr || model->loadState != C3MEModel::kLoaded || model->prepared) return false;
  GFXDisplay::PrepareModelMatrices(model);
  LogGEM("Scene model loaded and initialised - %s", model->name.Chars());
  return true;
}
