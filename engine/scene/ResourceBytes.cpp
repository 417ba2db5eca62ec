#include "engine/scene/ResourceBytes.h"

#include <cstdio>
#include <string>

#include "engine/scene/Log3ME.h"
#include "platform/AtomicFile.h"
#include "platform/Path.h"

namespace {

// No model or list file comes near this; a larger one is refused rather than
// read into memory.
constexpr long kMaxResourceBytes = 64L * 1024 * 1024;

}  // namespace

bool ReadResourceBytes(const char* name, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const std::string path = platform::ResolvePath(name);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok && size > kMaxResourceBytes) {
        Log3ME("ReadResourceBytes - ERROR : %s : %ld bytes is too large", name, size);
        ok = false;
    }
    if (ok) {
        bytes.resize(size_t(size));
        ok = size == 0 || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteResourceBytes(const char* name, const std::vector<uint8_t>& bytes) {
    return platform::ReplaceFileAtomically(platform::ResolvePath(name),
                                           std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
