#include "engine/graphics/TextureManager.h"

#include <cstdlib>
#include <string>

#include "engine/foundation/PlaceholderWarning.h"
#include "engine/graphics/GraphicsFiles.h"
#include "engine/graphics/GraphicsLog.h"
#include "engine/graphics/TextLines.h"

namespace {

constexpr const char* kDefaultTextureName = "TEXDefault.TGA";
constexpr const char* kStandardSearchPaths[] = {"../Common/",     "Fonts/",           "Textures/",
                                                "Textures/Misc/", "Textures/Frames/", "Textures/Icons/"};
constexpr const char* kDashes = "----------------------------------------------------------------";

CTEXManager*& InstanceSlot() {
  static CTEXManager* instance = nullptr;
  return instance;
}

// Destroys a manager nobody shut down explicitly when the process ends.
struct InstanceReaper {
  ~InstanceReaper() { CTEXManager::DestroyInstance(); }
};

// Lower case, "\" turned into "/".
String NormalisedName(const String& name) {
  String normalised = name;
  normalised.ToLower();
  normalised.ReplaceChar('\\', '/');
  return normalised;
}

// Length of the name without the extension of its last component.
uint32_t LengthWithoutExtension(const String& name) {
  const char* text = name.Chars();
  int slash = -1;
  int dot = -1;
  for (int i = 0; text[i] != '\0'; ++i) {
    if (text[i] == '/') slash = i;
    if (text[i] == '.') dot = i;
  }
  return dot > slash ? uint32_t(dot) : name.Length();
}

bool SameStem(const String& a, uint32_t aLength, const String& b, uint32_t bLength) {
  if (aLength != bLength) return false;
  for (uint32_t i = 0; i < aLength; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

bool CTEXManager::Exists() { return InstanceSlot() != nullptr; }

CTEXManager* CTEXManager::GetInstance() {
  static InstanceReaper reaper;
  CTEXManager*& instance = InstanceSlot();
  if (instance == nullptr) instance = new CTEXManager();
  return instance;
}

void CTEXManager::DestroyInstance() {
  CTEXManager*& instance = InstanceSlot();
  delete instance;
  instance = nullptr;
}

CTEXManager::CTEXManager() : textures_(10), searchPaths_(10) {
  for (const char* path : kStandardSearchPaths) AddSearchPath(String(path));
  defaultTexture_ = GetTextureByFileName(kDefaultTextureName);
  pendingCount_ = 0;
  loadBudget_ = -1;
}

CTEXManager::~CTEXManager() {
  while (textures_.Count() > 0) delete static_cast<CTEXTexture*>(textures_.RemoveAt(0));
  while (searchPaths_.Count() > 0) delete static_cast<String*>(searchPaths_.RemoveAt(0));
}

CTEXTexture* CTEXManager::GetTexture(const String& name) {
  if (name.IsEmpty()) return defaultTexture_;
  const String normalised = NormalisedName(name);
  CTEXTexture* texture = FindTexture(normalised);
  return texture != nullptr ? texture : CreateTexture(normalised);
}

CTEXTexture* CTEXManager::GetTextureByFileName(const char* name) {
  if (name == nullptr || name[0] == '\0') return defaultTexture_;
  return GetTexture(String(name));
}

CTEXTexture* CTEXManager::FindTexture(const String& name) const {
  const uint32_t askedLength = LengthWithoutExtension(name);
  for (PooledListNode* node = textures_.Tail(); node != nullptr; node = node->prev) {
    auto* texture = static_cast<CTEXTexture*>(node->data);
    const String fullName = texture->GetFullName();
    if (SameStem(fullName, LengthWithoutExtension(fullName), name, askedLength)) return texture;
  }
  return nullptr;
}

CTEXTexture* CTEXManager::CreateTexture(const String& name) {
  LogTEX("Created new texture - %s", name.Chars());
  auto* texture = new CTEXTexture();
  if (texture == nullptr) return nullptr;
  if (!textures_.AddTail(texture)) {
    delete texture;
    return nullptr;
  }
  texture->Reset();
  texture->SetName(name);
  ++pendingCount_;
  return texture;
}

void CTEXManager::Release(CTEXTexture* texture) {
  if (texture == nullptr || !textures_.Remove(texture)) return;
  LogTEX("Releasing... %s", texture->GetNameString().Chars());
  if (texture == defaultTexture_) defaultTexture_ = nullptr;
  delete texture;
}

void CTEXManager::AddSearchPath(const String& path) {
  if (path.IsEmpty()) return;
  for (PooledListNode* node = searchPaths_.Head(); node != nullptr; node = node->next) {
    if (*static_cast<String*>(node->data) == path) {
      LogTEX("Search path ignored = [%s]", path.Chars());
      return;
    }
  }
  auto* copy = new String(path);
  if (copy == nullptr) return;
  if (!searchPaths_.AddTail(copy)) {
    delete copy;
    return;
  }
  LogTEX("New search path = [%s]", path.Chars());
}

void CTEXManager::LoadQueued(bool force) {
  // Counted afresh on every call, so an idle call reports nothing loaded.
  loadedThisCall_ = 0;
  if (!force && pendingCount_ == 0) return;
  const uint32_t total = textures_.Count();
  LogTEX("%s", kDashes);
  LogTEX("%d / %d resources to load", pendingCount_, int(total));
  LogTEX("%s", kDashes);
  loadProgress_ = 0.0f;
  const float progressStep = total > 0 ? 100.0f / float(total) : 100.0f;

  uint32_t position = 0;
  for (PooledListNode* node = textures_.Head(); node != nullptr; node = node->next, ++position) {
    if (loadBudget_ >= 0 && loadedThisCall_ >= loadBudget_) break;
    auto* texture = static_cast<CTEXTexture*>(node->data);
    const TextureStatus status = texture->Status();
    if (status == kTextureQueued || (force && status == kTextureDefaulted)) {
      LoadOne(texture, position);
      ++loadedThisCall_;
    }
    loadProgress_ = loadProgress_ + progressStep > 100.0f ? 100.0f : loadProgress_ + progressStep;
  }
  // Whatever a budget left queued stays pending for the next call.
  pendingCount_ = 0;
  for (PooledListNode* node = textures_.Head(); node != nullptr; node = node->next) {
    if (static_cast<CTEXTexture*>(node->data)->Status() == kTextureQueued) ++pendingCount_;
  }
}

void CTEXManager::LoadOne(CTEXTexture* texture, uint32_t position) {
  String line;
  line.noNewline = 1;
  line.Format("Loading [%d] - %s", int(position), texture->GetNameString().Chars());
  texture->ClearFailureReason();
  bool loaded = texture->Load(String());
  for (PooledListNode* node = searchPaths_.Head(); node != nullptr && !loaded; node = node->next) {
    loaded = texture->Load(*static_cast<String*>(node->data));
  }
  if (texture->Status() != kTextureLoaded) {
    const uint32_t defaultName = defaultTexture_ != nullptr ? defaultTexture_->GLName() : 0;
    texture->ShowPictureOf(defaultName, kTextureDefaulted);
    // A name without an extension is a material's own name standing in for
    // a definition its library lacked: that library was named already.
    if (texture->GetNameString().Find(".") >= 0) {
      WarnPlaceholder(texture->GetFullName().Chars(), texture->FailureReason().Chars());
    }
  }
  LogTEX("%s ... %s", line.Chars(), texture->Message().Chars());
}

void CTEXManager::UnloadAll() {
  LogTEX("Unloading Resources...");
  for (PooledListNode* node = textures_.Tail(); node != nullptr; node = node->prev) {
    auto* texture = static_cast<CTEXTexture*>(node->data);
    // Defaulted textures showed the default's GL name, which goes with it:
    // they are queued again as well, so the next load step retries them.
    if (texture->Status() == kTextureLoaded || texture->Status() == kTextureDefaulted) {
      texture->Unload();
      ++pendingCount_;
    }
  }
}

bool CTEXManager::ReadTextureList(const char* path) {
  std::string text;
  if (!ReadDiskText(path, text)) return false;
  TextLines file(std::move(text));
  String line;
  file.ReadLine(line);
  line.Trim();
  if (line != "[TEX]") return false;
  file.ReadLine(line);
  const long count = std::strtol(line.Chars(), nullptr, 10);
  // The count is only a hint: the list ends where the file does.
  for (long i = 0; i < count && file.ReadLine(line); ++i) {
    line.Trim();
    if (line.Length() > 1 || (line.Length() == 1 && line[0] != '\n')) GetTexture(line);
  }
  return true;
}

bool CTEXManager::WriteTextureList(const char* path) const {
  std::string text = "[TEX]\n" + std::to_string(textures_.Count()) + "\n";
  for (PooledListNode* node = textures_.Head(); node != nullptr; node = node->next) {
    text += static_cast<CTEXTexture*>(node->data)->GetFullName().Chars();
    text += '\n';
  }
  return WriteTextFile(path, text);
}
