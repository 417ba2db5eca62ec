#include "platform/RegistryStore.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"
#include "platform/UserFolder.h"

namespace platform {
namespace {

// The store holds a handful of settings; anything larger is not ours.
constexpr long kMaxStoreBytes = 1 << 20;
constexpr const char* kVendorFolder = "Velk Software Studio";
constexpr const char* kHeaderLine = "; Vyre registry store";
// The writer's last line. No line the writer puts before it can be cut to
// look like it, so a store whose final line end an editor dropped is still
// known to be whole.
constexpr const char* kEndLine = "; end of store";

void DefaultDiagnostic(Severity severity, const char* line) {
  DebugOutput(line, severity);
  DebugOutput("\n", severity);
}
RegistryDiagnostic gDiagnostic = DefaultDiagnostic;

// A malformed line of a store that is read all the same.
void Note(const std::string& path, const char* what, long lineNumber) {
  char line[1024];
  std::snprintf(line, sizeof line, "Registry store '%s': %s at line %ld", path.c_str(), what, lineNumber);
  gDiagnostic(Severity::Info, line);
}

// A store file left alone, or a save that failed: the player hears of it
// once per run for the same file and reason, however often it is read.
void Warn(const std::string& line) {
  static std::set<std::string> said;
  if (!said.insert(line).second) return;
  gDiagnostic(Severity::Warning, line.c_str());
}

// The warning for a store file whose values are ignored: it is kept as it
// is, for the player to mend or remove.
void WarnIgnored(const std::string& path, const std::string& problem) {
  Warn("Registry store '" + path + "' " + problem + "; its values are ignored and the file is kept as it is");
}

struct Value {
  std::string name;
  RegistryValueType type = RegistryValueType::Text;
  std::string bytes;
};

struct Key {
  std::string path;
  std::vector<Value> values;
};

struct Store {
  std::vector<Key> keys;
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Splits a key path into its components, dropping empty ones so that
// "A\\B\" and "A\B" name the same key.
std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinKeyPath(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined += '\\';
    joined += part;
  }
  return joined;
}

std::string NormaliseKeyPath(std::string_view path) { return JoinKeyPath(SplitKeyPath(path)); }

// Percent-encodes control bytes, bytes above 0x7E, '%' and the extra
// characters that would confuse the line syntax at that place.
std::string Encode(std::string_view text, std::string_view extra) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '%' || extra.find(c) != std::string_view::npos) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Decode(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int high = HexDigit(text[i + 1]);
    int low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool DecodeHex(std::string_view text, std::string* out) {
  if (text.size() % 2 != 0) return false;
  out->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = HexDigit(text[i]);
    int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
  }
  return true;
}

std::string EncodeHex(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

Key* FindKey(Store& store, std::string_view path) {
  for (Key& key : store.keys) {
    if (SameIgnoringCase(key.path, path)) return &key;
  }
  return nullptr;
}

Value* FindValue(Key& key, std::string_view name) {
  for (Value& value : key.values) {
    if (SameIgnoringCase(value.name, name)) return &value;
  }
  return nullptr;
}

Key& FindOrAddKey(Store& store, const std::string& path) {
  if (Key* key = FindKey(store, path)) return *key;
  store.keys.push_back(Key{path, {}});
  return store.keys.back();
}

void SetValue(Key& key, const std::string& name, RegistryValueType type, std::string bytes) {
  Value* value = FindValue(key, name);
  if (!value) {
    key.values.push_back(Value{name, type, {}});
    value = &key.values.back();
  }
  value->type = type;
  value->bytes = std::move(bytes);
}

// Parses one value line, "name=s:text" or "name=b:hex". False when malformed.
bool ParseValueLine(std::string_view line, std::string* name, RegistryValueType* type, std::string* bytes) {
  size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  if (!Decode(line.substr(0, equals), name) || name->empty()) return false;
  std::string_view rest = line.substr(equals + 1);
  if (rest.size() < 2 || rest[1] != ':') return false;
  std::string_view data = rest.substr(2);
  if (rest[0] == 's') {
    *type = RegistryValueType::Text;
    return Decode(data, bytes);
  }
  if (rest[0] == 'b') {
    *type = RegistryValueType::Binary;
    return DecodeHex(data, bytes);
  }
  return false;
}

// Whether a last line that has no line end can only be whole: no line the
// writer puts in a store is longer and starts with it. The header, the end
// line and a key line closed by its "]" (a key's own brackets are encoded)
// qualify; a value line never does, as neither its hex digits nor its text
// say how long it is.
bool IsWholeWithoutLineEnd(std::string_view line) {
  if (line.empty() || line == kHeaderLine || line == kEndLine) return true;
  return line.front() == '[' && line.back() == ']';
}

enum class LoadResult { Loaded, Missing, Unusable };

// Reads the store file. A missing file is an empty store. A file that cannot
// be read, is far too large, holds nothing of a store or was cut short inside
// a line (the writer ends every line; a last line without its end is taken
// only where it cannot be the start of a longer one) is reported and
// refused, so that no save replaces what the player may still mend;
// malformed lines of a store are noted and skipped.
LoadResult Parse(const std::string& path, Store* store) {
  store->keys.clear();
  std::string text;
  std::string reason;
  // One byte past the largest store tells a store that is too large.
  switch (ReadFileBytes(path, static_cast<size_t>(kMaxStoreBytes) + 1, text, reason)) {
    case FileRead::Missing:
      return LoadResult::Missing;
    case FileRead::Unreadable:
      WarnIgnored(path, "cannot be read: " + reason);
      return LoadResult::Unusable;
    case FileRead::Read:
      break;
  }
  if (static_cast<long>(text.size()) > kMaxStoreBytes) {
    WarnIgnored(path, "is larger than " + std::to_string(kMaxStoreBytes) + " bytes");
    return LoadResult::Unusable;
  }

  // Line numbers of the malformed lines, noted only once the file is known
  // to be a store: garbage would give one note per line of it.
  std::vector<std::pair<long, const char*>> malformed;
  bool isStore = false;
  Key* current = nullptr;
  long lineNumber = 0;
  std::string_view line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    line = std::string_view(text.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (lineNumber == 1 && line == kHeaderLine) isStore = true;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;

    if (line[0] == '[') {
      std::string keyPath;
      if (line.back() != ']' || !Decode(line.substr(1, line.size() - 2), &keyPath)) {
        malformed.emplace_back(lineNumber, "bad key");
        current = nullptr;
        continue;
      }
      current = &FindOrAddKey(*store, NormaliseKeyPath(keyPath));
      continue;
    }
    std::string name, bytes;
    RegistryValueType type;
    if (!current || !ParseValueLine(line, &name, &type, &bytes)) {
      malformed.emplace_back(lineNumber, "bad value");
      continue;
    }
    SetValue(*current, name, type, std::move(bytes));
    isStore = true;
  }

  if (!isStore && !malformed.empty()) {
    store->keys.clear();
    WarnIgnored(path, "is not a registry store");
    return LoadResult::Unusable;
  }
  // The loop leaves the last line in `line`, without its '\r'.
  if (!text.empty() && text.back() != '\n' && !IsWholeWithoutLineEnd(line)) {
    store->keys.clear();
    WarnIgnored(path, "is truncated at line " + std::to_string(lineNumber));
    return LoadResult::Unusable;
  }
  for (const auto& [number, what] : malformed) Note(path, what, number);
  return LoadResult::Loaded;
}

// The last file read, kept while it is unchanged on disk, so that repeated
// reads neither parse it again nor report its problems again.
struct CachedStore {
  std::string path;
  struct stat info {};
  LoadResult result = LoadResult::Missing;
  Store store;
};
CachedStore gCache;

bool SameFileVersion(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

LoadResult Load(const std::string& path, Store* store) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    gCache.path.clear();
    return Parse(path, store);  // missing, or reported as unreadable
  }
  if (gCache.path != path || !SameFileVersion(gCache.info, info)) {
    gCache.path = path;
    gCache.info = info;
    gCache.result = Parse(path, &gCache.store);
  }
  *store = gCache.store;
  return gCache.result;
}

std::string Serialise(const Store& store) {
  std::string text = kHeaderLine;
  text += '\n';
  for (const Key& key : store.keys) {
    text += '[';
    text += Encode(key.path, "[]");
    text += "]\n";
    for (const Value& value : key.values) {
      // A name that began with ';' or '#' would read back as a comment.
      text += Encode(value.name, "=[;#");
      if (value.type == RegistryValueType::Text) {
        text += "=s:";
        text += Encode(value.bytes, "");
      } else {
        text += "=b:";
        text += EncodeHex(value.bytes);
      }
      text += '\n';
    }
  }
  text += kEndLine;
  text += '\n';
  return text;
}

// The XDG configuration folder (a relative XDG_CONFIG_HOME is ignored);
// empty when there is no home either.
std::string ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const std::string home = HomeFolder();
  if (!home.empty()) return home + "/.config";
  return std::string();
}

// A title may hold characters a file name cannot.
std::string FileNameFor(std::string_view title) {
  std::string name(title);
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  if (name == "." || name == "..") name = "_";
  return name;
}

// Where the store files live: a user folder named for this run holds every
// file the player owns, the store included, so a fresh one starts fresh;
// otherwise the configuration folder, as on any desktop.
std::string StoreFolder() {
  const std::string user = NamedUserFolder();
  if (!user.empty()) return user + "/";
  const std::string config = ConfigFolder();
  // Never a folder of the working directory: without a home there is no store.
  if (config.empty()) return std::string();
  return config + "/" + kVendorFolder + "/";
}

}  // namespace

std::string RegistryFileFor(std::string_view keyPath) {
  const char* override = std::getenv("VYRE_REGISTRY");
  if (override && override[0]) return override;
  const std::string folder = StoreFolder();
  if (folder.empty()) return std::string();
  std::vector<std::string> parts = SplitKeyPath(keyPath);
  if (parts.size() >= 3 && SameIgnoringCase(parts[0], "Software") && SameIgnoringCase(parts[1], kVendorFolder)) {
    return folder + FileNameFor(parts[2]) + ".reg";
  }
  return folder + "Registry.reg";
}

uint32_t RegistryRead(std::string_view keyPath, std::string_view valueName, void* out, uint32_t capacity) {
  if (!out || capacity == 0) return 0;
  Store store;
  if (Load(RegistryFileFor(keyPath), &store) != LoadResult::Loaded) return 0;
  Key* key = FindKey(store, NormaliseKeyPath(keyPath));
  if (!key) return 0;
  Value* value = FindValue(*key, valueName);
  if (!value) return 0;

  char* destination = static_cast<char*>(out);
  if (value->type == RegistryValueType::Text) {
    size_t length = std::min<size_t>(value->bytes.size(), capacity - 1);
    std::memcpy(destination, value->bytes.data(), length);
    destination[length] = '\0';
    return static_cast<uint32_t>(length + 1);
  }
  size_t length = std::min<size_t>(value->bytes.size(), capacity);
  std::memcpy(destination, value->bytes.data(), length);
  return static_cast<uint32_t>(length);
}

bool RegistryValueTypeOf(std::string_view keyPath, std::string_view valueName, RegistryValueType* outType) {
  Store store;
  if (Load(RegistryFileFor(keyPath), &store) != LoadResult::Loaded) return false;
  Key* key = FindKey(store, NormaliseKeyPath(keyPath));
  Value* value = key ? FindValue(*key, valueName) : nullptr;
  if (!value) return false;
  if (outType) *outType = value->type;
  return true;
}

bool RegistryWrite(std::string_view keyPath, std::string_view valueName, RegistryValueType type, const void* data,
                   uint32_t size) {
  if (valueName.empty() || (size > 0 && !data)) return false;
  // The store is the player's wherever it lives; a run that keeps out of the
  // user folder leaves it to the copy that holds the folder.
  if (KeepsOutOfUserFolder()) return false;
  std::string path = RegistryFileFor(keyPath);
  Store store;
  if (Load(path, &store) == LoadResult::Unusable) return false;

  std::string bytes(static_cast<const char*>(data), size);
  if (type == RegistryValueType::Text) {
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  }
  SetValue(FindOrAddKey(store, NormaliseKeyPath(keyPath)), std::string(valueName), type, std::move(bytes));

  std::string reason;
  if (!MakeParentFolders(path)) {
    Warn("Registry store '" + path + "' cannot be written: its folder cannot be made");
    return false;
  }
  if (!ReplaceFileAtomically(path, Serialise(store), &reason)) {
    Warn("Registry store '" + path + "' cannot be written: " + reason);
    return false;
  }
  return true;
}

void SetRegistryDiagnostic(RegistryDiagnostic sink) { gDiagnostic = sink ? sink : DefaultDiagnostic; }

}  // namespace platform
