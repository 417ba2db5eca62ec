#include "engine/scene/model/ModelManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/foundation/PlaceholderWarning.h"
#include "engine/foundation/ResourceManager.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/MaterialLink.h"
#include "engine/scene/model/Model.h"

namespace {

std::unique_ptr<C3MEManager>& ManagerSlot() {
  static std::unique_ptr<C3MEManager> manager;
  return manager;
}

std::string StemOf(const char* name) {
  std::string stem(name);
  if (stem.find('.') != std::string::npos) stem.resize(stem.size() >= 4 ? stem.size() - 4 : 0);
  return stem;
}

std::string WithForwardSlashes(const char* name) {
  std::string text(name);
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

const char* const kRule = "----------------------------------------------------------------";

}  // namespace

bool C3MEManager::Exists() { return ManagerSlot() != nullptr; }

C3MEManager& C3MEManager::Instance() {
  auto& slot = ManagerSlot();
  if (!slot) slot = std::make_unique<C3MEManager>();
  return *slot;
}

void C3MEManager::Shutdown() { ManagerSlot().reset(); }

C3MEManager::C3MEManager() { AddSearchPath("Resources/Models/"); }

C3MEManager::~C3MEManager() {
  for (auto it = models_.rbegin(); it != models_.rend(); ++it) delete *it;
}

void C3MEManager::AddSearchPath(const char* path) {
  if (path == nullptr || path[0] == '\0') return;
  searchPaths_.emplace_back(path);
  Log3ME("New search path = [%s]", path);
}

bool C3MEManager::SameModelName(const char* a, const char* b) { return StemOf(a) == StemOf(b); }

C3MEModel* C3MEManager::GetModel(String fileName) {
  if (fileName.IsEmpty()) return nullptr;
  const String name(WithForwardSlashes(fileName.Chars()).c_str());
  C3MEModel* model = FindModel(name);
  return model != nullptr ? model : CreateModel(name);
}

C3MEModel* C3MEManager::FindModel(const String& fileName) const {
  const std::string wanted = StemOf(fileName.Chars());
  for (auto it = models_.rbegin(); it != models_.rend(); ++it)
    if (StemOf((*it)->registeredName.Chars()) == wanted) return *it;
  return nullptr;
}

C3MEModel* C3MEManager::CreateModel(const String& fileName) {
  C3MEModel* model = new (std::nothrow) C3MEModel;
  if (model == nullptr) return nullptr;
  model->name = fileName;
  model->registeredName = fileName;
  models_.push_back(model);
  ++pending;
  return model;
}

void C3MEManager::ReleaseModel(C3MEModel* model) {
  auto it = std::find(models_.begin(), models_.end(), model);
  if (model == nullptr || it == models_.end()) return;
  Log3ME("Releasing... %s", model->name.Chars());
  // A model released before it was tried no longer waits to be read.
  if (model->loadState == C3MEModel::kNotRead && pending > 0) --pending;
  models_.erase(it);
  delete model;
}

void C3MEManager::LoadResources() {
  // Counted afresh on every call, so an idle call reports nothing loaded.
  loadedThisCall = 0;
  if (pending <= 0) return;
  Log3ME("%s", kRule);
  Log3ME("%d / %d resources to load", pending, int(models_.size()));
  Log3ME("%s", kRule);
  for (size_t i = 0; i < models_.size() && (loadLimit < 0 || loadedThisCall < loadLimit); ++i) {
    C3MEModel& model = *models_[i];
    if (model.loadState != C3MEModel::kNotRead) continue;
    // The binary form is preferred over the text form, whatever was asked for.
    std::string base(model.registeredName.Chars());
    // "name.ext" loses its three-letter extension; a name without one
    // (asked for by its stem) gets the point the extensions follow.
    if (base.size() >= 4 && base[base.size() - 4] == '.')
      base.resize(base.size() - 3);
    else
      base += ".";
    const bool loaded = model.Read(String((base + "3ME").c_str())) || model.Read(String((base + "3MX").c_str()));
    if (loaded) {
      model.PrepareMatrices();
    } else {
      WarnPlaceholder(model.registeredName.Chars(), "no model read from its .3ME or .3MX file");
    }
    Log3ME("C3MEManager - Loading [%d] - %s ... %s", int(i), model.registeredName.Chars(), loaded ? "OK" : "ERROR!");
    ++loadedThisCall;
    if (pending > 0) --pending;
  }
  auto resolveTextures = ModelServices().resolveTextures;
  if (resolveTextures != nullptr) resolveTextures();
}

void C3MEManager::Update() {
  if (pending > 0) LoadResources();
}

void C3MEManager::ReloadModels() {
  for (C3MEModel* model : models_) {
    if (model->loadRecord == nullptr || model->loadRecord->fileName.IsEmpty()) continue;
    // The record names the file that last loaded and when it was changed
    // then; only a file that still opens and changed since is read again.
    const String file = model->loadRecord->fileName;
    ResourceManager& resources = ResourceManager::Instance();
    File* opened = resources.Open(file.Chars());
    if (opened == nullptr) continue;
    resources.Close(opened);
    if (FileTimeOf(file.Chars(), true) == model->loadRecord->fileTime) continue;
    if (model->Read(file)) model->PrepareMatrices();
  }
}

bool C3MEManager::WriteList(const char* fileName) const {
  std::string text = "[3ME]\n" + std::to_string(models_.size()) + "\n";
  for (const C3MEModel* model : models_) text += std::string(model->registeredName.Chars()) + "\n";
  return WriteResourceBytes(fileName, std::vector<uint8_t>(text.begin(), text.end()));
}

bool C3MEManager::ReadList(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName, bytes)) return false;
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(char(byte));
    }
  }
  if (!line.empty()) lines.push_back(line);
  if (lines.size() < 2 || lines[0] != "[3ME]") return false;
  const long count = std::strtol(lines[1].c_str(), nullptr, 10);
  if (count < 0 || size_t(count) > lines.size() - 2) {
    Log3ME("C3MEManager::ReadList - ERROR : %s : bad model count", fileName);
    return false;
  }
  for (long i = 0; i < count; ++i) GetModel(String(lines[size_t(i) + 2].c_str()));
  return true;
}

void C3MEManager::ClearMarks() {
  for (C3MEModel* model : models_) model->Marked = false;
}
