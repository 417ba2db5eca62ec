// Material library files: reading, re-reading when changed, and writing.

#include <cstdio>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/PlaceholderWarning.h"
#include "engine/graphics/GraphicsFiles.h"
#include "engine/graphics/GraphicsLog.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextLines.h"

namespace {

// Texture source status of a failed load (see CTEXSourceRecord).
constexpr int32_t kFailedTextureKind = 2;

int32_t ModificationTimeOrZero(const char* path) {
  int32_t seconds = 0;
  if (!FileModificationTime(path, seconds)) {
    OutputPrintf(platform::Severity::Warning, "Problem getting information\n");
    return 0;
  }
  return seconds;
}

// Reads the next material name line: trimmed, longer than one character.
// Returns false at the end of the file; `lineStart` is where it began.
bool NextNameLine(TextLines& file, String& name, size_t& lineStart) {
  while (!file.AtEnd()) {
    lineStart = file.GetPos();
    if (!file.ReadLine(name)) return false;
    name.Trim();
    if (name.Length() > 1) return true;
  }
  return false;
}

// A library is text: a NUL or a control byte other than a tab or a line end
// means the file is something else (damaged, or another kind of file), and
// nothing of it may become a material.
bool HoldsBinaryBytes(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F) return true;
  }
  return false;
}

// A material whose stages have not been given their textures yet.
bool AwaitsResolve(const CMATMaterial& material) {
  return material.StageCount() > 0 && material.GetStage(0)->texture == nullptr;
}

// Skips a block up to and including the first line beginning with "}".
void SkipBlock(TextLines& file) {
  String line;
  while (file.ReadLine(line)) {
    if (!line.IsEmpty() && line[0] == '}') return;
  }
}

}  // namespace

bool CMATManager::ReadLibrary(const char* path) {
  auto* library = new CMATLibrary();
  if (library == nullptr) return false;
  library->info = new CMATLibraryInfo();
  if (library->info == nullptr || !libraries_.AddTail(library)) {
    delete library;
    return false;
  }
  library->info->path = path;
  LogMAT("Reading MAT library : '%s'", path);

  std::string text;
  if (!ReadResourceText(path, text)) {
    library->info->status = kLibraryOpenFailed;
    return false;
  }
  if (HoldsBinaryBytes(text)) {
    WarnPlaceholder(path, "not a material library: it holds bytes no text file holds");
    library->info->status = kLibraryRefused;
    return false;
  }
  library->info->modificationTime = ModificationTimeOrZero(path);

  TextLines file(std::move(text));
  String name;
  size_t lineStart = 0;
  while (NextNameLine(file, name, lineStart)) {
    CMATMaterial* material = FindOrCreate(name);
    ++library->materialCount;
    file.SetPos(lineStart);
    if (material == nullptr) {
      SkipBlock(file);
    } else if (material->ReadPending()) {
      material->Read(file);
      SettleIfStageless(*material);
    } else if (AwaitsResolve(*material) || material->HasTextureKind(kFailedTextureKind)) {
      // A material still waiting for its texture takes the later definition.
      RereadCounted(*material, file);
    } else {
      SkipBlock(file);
    }
  }
  library->info->status = kLibraryRead;
  return true;
}

bool CMATManager::ReadNeededLibrary(const char* path) {
  const bool read = ReadLibrary(path);
  const CMATLibrary* library = GetLibraryAt(GetLibraryCount() - 1);
  if (!read && library != nullptr && library->info != nullptr && library->info->status == kLibraryOpenFailed) {
    WarnPlaceholder(path, "the file cannot be opened");
  }
  return read;
}

void CMATManager::ReloadLibrary() {
  for (PooledListNode* node = libraries_.Head(); node != nullptr; node = node->next) {
    CMATLibraryInfo* info = static_cast<CMATLibrary*>(node->data)->info;
    std::string text;
    if (info == nullptr || !ReadDiskText(info->path.Chars(), text)) continue;
    const int32_t modified = ModificationTimeOrZero(info->path.Chars());
    if (modified == info->modificationTime) continue;
    LogMAT("Reloading material library : %s\n", info->path.Chars());
    // Remembered, so an unchanged file is not read again on the next call.
    info->modificationTime = modified;

    TextLines file(std::move(text));
    String name;
    size_t lineStart = 0;
    while (NextNameLine(file, name, lineStart)) {
      file.SetPos(lineStart);
      CMATMaterial* material = FindMaterial(name);
      if (material == nullptr) {
        // A block added since the first read has no material to go into.
        SkipBlock(file);
        continue;
      }
      // The read frees the old stages first.
      RereadCounted(*material, file);
    }
  }
}

void CMATManager::RereadCounted(CMATMaterial& material, TextLines& file) {
  // One still waiting to be resolved is counted already: counting it again
  // would leave the count above what any resolve can bring down.
  const bool counted = AwaitsResolve(material);
  material.Read(file);
  if (!counted) ++pendingCount_;
  SettleIfStageless(material);
}

void CMATManager::SettleIfStageless(const CMATMaterial& material) {
  // A block that gave no stages leaves no texture to resolve: the material
  // is done (it shows its placeholder), so it no longer holds up loading.
  if (material.StageCount() == 0 && pendingCount_ > 0) --pendingCount_;
}

bool CMATManager::WriteLibrary(const char* path) const {
  LogMAT("Writing MAT library to file : '%s'", path);
  std::string text;
  for (PooledListNode* node = materials_.Head(); node != nullptr; node = node->next) {
    static_cast<const CMATMaterial*>(node->data)->Write(text);
  }
  const bool written = WriteTextFile(path, text);
  LogMAT(written ? "... success." : "... FAILED.");
  return written;
}
