#include "engine/scene/anim/AnimationManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/scene/anim/KeyFrames.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/SceneLog.h"

namespace {

// A name without its extension: a name holding a "." loses its last four characters.
std::string Stem(const char* name) {
  std::string stem(name);
  if (stem.find('.') != std::string::npos) stem.resize(stem.size() >= 4 ? stem.size() - 4 : 0);
  return stem;
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

CANMManager& CANMManager::Instance() {
  static CANMManager manager;
  return manager;
}

CANMManager::CANMManager() : animations_(10), searchPaths_(10) { AddSearchPath(String("Resources/Animations/")); }

CANMManager::~CANMManager() {
  while (animations_.Count() > 0) delete static_cast<C3MEKeyFrames*>(animations_.RemoveNode(animations_.Tail()));
  while (searchPaths_.Count() > 0) delete static_cast<String*>(searchPaths_.RemoveNode(searchPaths_.Tail()));
}

void CANMManager::AddSearchPath(const String& path) {
  String* copy = new (std::nothrow) String(path);
  if (copy == nullptr || !searchPaths_.AddTail(copy)) {
    delete copy;
    return;
  }
  LogANM("[ANM] New search path = [%s]", path.Chars());
}

C3MEKeyFrames* CANMManager::Request(String animationName) {
  if (animationName.IsEmpty()) return nullptr;
  animationName.ReplaceChar('\\', '/');
  LogANM("[ANM] Animation requested : %s", animationName.Chars());
  C3MEKeyFrames* found = Find(animationName);
  if (found != nullptr) {
    LogANM("[ANM] Acquired existing animation.");
    return found;
  }
  return Create(animationName);
}

C3MEKeyFrames* CANMManager::Find(const String& animationName) const {
  const std::string wanted = Stem(animationName.Chars());
  for (PooledListNode* node = animations_.Tail(); node != nullptr; node = node->prev) {
    C3MEKeyFrames* set = static_cast<C3MEKeyFrames*>(node->data);
    if (Stem(set->name.Chars()) == wanted) return set;
  }
  return nullptr;
}

C3MEKeyFrames* CANMManager::Create(const String& animationName) {
  C3MEKeyFrames* set = new (std::nothrow) C3MEKeyFrames;
  if (set == nullptr || !animations_.AddTail(set)) {
    LogANM("[ANM] CANMManager::Create - ERROR : out of memory for %s", animationName.Chars());
    delete set;
    return nullptr;
  }
  LogANM("[ANM] New animation created...");
  set->name = animationName;
  return set;
}

void CANMManager::Release(C3MEKeyFrames* set) {
  if (set == nullptr) return;
  LogANM("[ANM] Releasing... %s", set->name.Chars());
  // Only sets this manager made are deleted here.
  if (animations_.Remove(set)) delete set;
}

uint32_t CANMManager::LoadResources() {
  LogANM("[ANM] Loading Resources...");
  LogANM("[ANM] %d to process...", int(animations_.Count()));
  uint32_t loaded = 0;
  int index = 0;
  for (PooledListNode* node = animations_.Head(); node != nullptr; node = node->next, ++index) {
    C3MEKeyFrames* set = static_cast<C3MEKeyFrames*>(node->data);
    if (set->loadState != C3MEKeyFrames::kNotLoaded) continue;
    LogANM("[ANM] CANMManager - Loading [%d] - %s", index, set->name.Chars());
    if (set->Read(set->name)) ++loaded;
  }
  return loaded;
}

C3MEKeyFrames* CANMManager::At(uint32_t index) const { return static_cast<C3MEKeyFrames*>(animations_.At(index)); }

bool CANMManager::LoadList(const String& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName.Chars(), bytes)) return false;
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte == '\0') break;
    if (byte == '\n') {
      lines.push_back(Trimmed(line));
      line.clear();
    } else {
      line.push_back(char(byte));
    }
  }
  if (!line.empty()) lines.push_back(Trimmed(line));

  if (lines.empty() || lines[0] != "[ANM]") {
    LogANM("[ANM] CANMManager::LoadList - ERROR : %s : not an animation list", fileName.Chars());
    return false;
  }
  const long count = lines.size() > 1 ? std::strtol(lines[1].c_str(), nullptr, 10) : 0;
  // The count is only trusted as far as the file has lines for it.
  size_t next = 2;
  for (long i = 0; i < count && next < lines.size(); ++i, ++next) Request(String(lines[next].c_str()));
  if (count < 0 || size_t(count) > lines.size() - std::min<size_t>(lines.size(), 2)) {
    LogANM("[ANM] CANMManager::LoadList - ERROR : %s : list shorter than its count %ld", fileName.Chars(), count);
    return false;
  }
  return true;
}

bool CANMManager::SaveList(const String& fileName) const {
  std::string text = "[ANM]\n" + std::to_string(animations_.Count()) + "\n";
  for (PooledListNode* node = animations_.Head(); node != nullptr; node = node->next) {
    text += static_cast<C3MEKeyFrames*>(node->data)->name.Chars();
    text += "\n";
  }
  return WriteResourceBytes(fileName.Chars(), std::vector<uint8_t>(text.begin(), text.end()));
}
