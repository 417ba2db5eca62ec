#include "engine/foundation/File.h"

#include <cstdarg>
#include <cstring>
#include <string>
#include <type_traits>

#include "engine/foundation/Log.h"
#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/foundation/Vector3.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t kFileLogBufferSize = 1024;

// Flag bits an open keeps, by mode and outcome. A successful open also drops
// the other two mode bits, so typed operations only act in the mode the
// stream really has.
constexpr uint32_t kKeepOnReadSuccess = File::kOpenFailed | File::kText | File::kTerminatedStrings;
constexpr uint32_t kKeepOnReadFailure = File::kWrite | File::kAppend | File::kText | File::kTerminatedStrings;
constexpr uint32_t kKeepOnWriteSuccess = File::kOpenFailed | File::kText | File::kTerminatedStrings;
constexpr uint32_t kKeepOnWriteFailure = File::kRead | File::kAppend | File::kText | File::kTerminatedStrings;
constexpr uint32_t kKeepOnAppendSuccess = File::kOpenFailed | File::kText | File::kTerminatedStrings;
constexpr uint32_t kKeepOnAppendFailure = File::kRead | File::kWrite | File::kText | File::kTerminatedStrings;

template <class T>
using UnsignedOfSize = std::conditional_t<
    sizeof(T) == 1, uint8_t,
    std::conditional_t<sizeof(T) == 2, uint16_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>>;

}  // namespace

void FileLog(const char* format, ...) {
  // Only into a channel that already exists: the open of the log's own files
  // must not create the channel.
  if (!Log::ChannelExists(kLogARC)) return;
  char buffer[kFileLogBufferSize];
  buffer[0] = '\0';
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer - 1, format, args);
  va_end(args);
  std::strcat(buffer, "\n");
  if (LogChannel* channel = GetLogChannel(kLogARC)) channel->Print(buffer);
}

File::File(uint32_t flags) : flags_(flags) {}

File::~File() {
  if (stream_ != nullptr) Close();
  name_.Release();
}

uint32_t File::Open(const char* name, uint32_t modeBit, const char* textMode, const char* binaryMode) {
  if (stream_ != nullptr) Close();
  name_ = name != nullptr ? name : "";
  name_.ReplaceChar('/', '\\');
  refusal_.ClearText();
  if (name != nullptr && name[0] != '\0') {
    // Only a regular file opens: what stands in its place and is none (a
    // FIFO, a device, a folder) is refused at once instead of waited on.
    std::string reason;
    if (platform::OpenFileStream(name, IsText() ? textMode : binaryMode, stream_, reason) ==
        platform::FileOpen::Refused)
      refusal_ = reason.c_str();
  }
  return stream_ != nullptr ? modeBit : 0;
}

uint32_t File::OpenRead(const char* name) {
  if (Open(name, kRead, "r", "rb") != 0) {
    FileLog("Read %s ... OK", name_.Chars());
    flags_ = (flags_ & kKeepOnReadSuccess) | kOpen | kRead;
  } else {
    FileLog("Read %s ... ERROR!", name_.Chars());
    flags_ = (flags_ & kKeepOnReadFailure) | kClosed | kOpenFailed | kRead;
  }
  return flags_;
}

uint32_t File::OpenWrite(const char* name) {
  if (Open(name, kWrite, "w", "wb") != 0) {
    FileLog("Write %s ... OK", name_.Chars());
    flags_ = (flags_ & kKeepOnWriteSuccess) | kOpen | kWrite;
  } else {
    FileLog("Write %s ... ERROR!", name_.Chars());
    flags_ = (flags_ & kKeepOnWriteFailure) | kClosed | kOpenFailed | kWrite;
  }
  return flags_;
}

uint32_t File::OpenAppend(const char* name) {
  if (Open(name, kAppend, "a+", "a+b") != 0) {
    flags_ = (flags_ & kKeepOnAppendSuccess) | kOpen | kAppend;
  } else {
    FileLog("Append %s ... ERROR!", name_.Chars());
    flags_ = (flags_ & kKeepOnAppendFailure) | kClosed | kOpenFailed | kAppend;
  }
  return flags_;
}

uint32_t File::Close() {
  if (stream_ != nullptr) {
    int result = std::fclose(stream_);
    stream_ = nullptr;
    if (result == 0) flags_ = (flags_ & ~(kOpen | kClosed)) | kClosed;
  }
  // A stream that failed to close is gone all the same.
  flags_ &= ~kOpen;
  return flags_;
}

bool File::IsEOF() const { return IsOpen() && stream_ != nullptr && std::feof(stream_) != 0; }

bool File::Delete(const char* name) { return name != nullptr && platform::RemoveFile(name); }

uint64_t File::GetSizeOnDisk() const {
  uint64_t bytes = 0;
  if (!platform::FileSizeOnDisk(name_.Chars(), bytes)) {
    platform::DebugOutput("Problem getting information\n", platform::Severity::Warning);
    return 0;
  }
  return bytes;
}

void File::FailTransfer() {
  Close();
  flags_ |= kTransferFailed;
}

void File::GetPos() {
  if (!IsOpen()) return;
  int64_t position = ftello(stream_);
  if (position < 0) {
    FailTransfer();
    return;
  }
  savedPosition_ = position;
}

void File::SetPos() {
  if (!IsOpen()) return;
  if (fseeko(stream_, savedPosition_, SEEK_SET) != 0) FailTransfer();
}

int64_t File::Tell() const { return stream_ != nullptr ? static_cast<int64_t>(ftello(stream_)) : -1; }

void File::Skip(int64_t bytes) {
  if (stream_ != nullptr) fseeko(stream_, bytes, SEEK_CUR);
}

int64_t File::GetSize() {
  if (!IsOpen()) return 0;
  // A local copy: the caller's remembered position must survive.
  int64_t position = ftello(stream_);
  if (position < 0 || fseeko(stream_, 0, SEEK_END) != 0) {
    FailTransfer();
    return 0;
  }
  int64_t size = ftello(stream_);
  if (fseeko(stream_, position, SEEK_SET) != 0) {
    FailTransfer();
    return size;
  }
  return size;
}

int File::ReadByte() {
  int c = std::fgetc(stream_);
  if (c == '\r' && IsText()) {
    int next = std::fgetc(stream_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, stream_);
  }
  return c;
}

bool File::ReadRaw(void* bytes, size_t count) {
  if (!IsText()) return std::fread(bytes, 1, count, stream_) == count;
  auto* out = static_cast<unsigned char*>(bytes);
  for (size_t i = 0; i < count; ++i) {
    int c = ReadByte();
    if (c == EOF) return false;
    out[i] = static_cast<unsigned char>(c);
  }
  return true;
}

void File::WriteRaw(const void* bytes, size_t count) { std::fwrite(bytes, 1, count, stream_); }

template <class T>
File& File::ReadBinaryOrText(T& value, const char* scanFormat) {
  if (!CanRead()) return *this;
  if (IsText()) {
    if constexpr (std::is_floating_point_v<T>) {
      double parsed = 0.0;
      if (std::fscanf(stream_, scanFormat, &parsed) == 1) value = static_cast<T>(parsed);
    } else {
      long long parsed = 0;
      if (std::fscanf(stream_, scanFormat, &parsed) == 1) value = static_cast<T>(parsed);
    }
    return *this;
  }
  unsigned char bytes[sizeof(T)];
  if (!ReadRaw(bytes, sizeof bytes)) {
    value = T();
    return *this;
  }
  UnsignedOfSize<T> bits = 0;
  for (size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<UnsignedOfSize<T>>(bytes[i]) << (8 * i);
  std::memcpy(&value, &bits, sizeof value);
  return *this;
}

File& File::ReadDouble(double& value) { return ReadBinaryOrText(value, "%lf"); }
File& File::ReadFloat(float& value) { return ReadBinaryOrText(value, "%lg"); }
File& File::ReadU8(uint8_t& value) { return ReadBinaryOrText(value, "%lld"); }
File& File::ReadS8(int8_t& value) { return ReadBinaryOrText(value, "%lld"); }
File& File::ReadU16(uint16_t& value) { return ReadBinaryOrText(value, "%lld"); }
File& File::ReadS16(int16_t& value) { return ReadBinaryOrText(value, "%lld"); }
File& File::ReadInt(int32_t& value) { return ReadBinaryOrText(value, "%lld"); }
File& File::ReadU32(uint32_t& value) { return ReadBinaryOrText(value, "%lld"); }

File& File::ReadFloat3(Vector3& value) { return ReadFloat(value.x).ReadFloat(value.y).ReadFloat(value.z); }

File& File::ReadFloat4(Quaternion& value) {
  return ReadFloat(value.x).ReadFloat(value.y).ReadFloat(value.z).ReadFloat(value.w);
}

File& File::ReadMatrix(Matrix4& value) {
  for (float& element : value.m) ReadFloat(element);
  return *this;
}

int32_t File::ReadInt() {
  int32_t value = 0;
  ReadInt(value);
  return value;
}

float File::ReadFloat() {
  float value = 0.0f;
  ReadFloat(value);
  return value;
}

namespace {

template <class T>
void LittleEndianBytes(T value, unsigned char (&bytes)[sizeof(T)]) {
  UnsignedOfSize<T> bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

}  // namespace

#define VYRE_WRITE_NUMBER(value, textFormat, textValue) \
  do {                                                  \
    if (!CanWrite()) return *this;                      \
    if (IsText()) {                                     \
      std::fprintf(stream_, textFormat, textValue);     \
    } else {                                            \
      unsigned char bytes[sizeof(value)];               \
      LittleEndianBytes(value, bytes);                  \
      WriteRaw(bytes, sizeof bytes);                    \
    }                                                   \
    return *this;                                       \
  } while (false)

File& File::WriteDouble(double value) { VYRE_WRITE_NUMBER(value, "%g", value); }
File& File::WriteFloat(float value) { VYRE_WRITE_NUMBER(value, "%g", static_cast<double>(value)); }
File& File::WriteS8(int8_t value) { VYRE_WRITE_NUMBER(value, "%d", static_cast<int>(value)); }
File& File::WriteS16(int16_t value) { VYRE_WRITE_NUMBER(value, "%d", static_cast<int>(value)); }
File& File::WriteInt(int32_t value) { VYRE_WRITE_NUMBER(value, "%d", static_cast<int>(value)); }

#undef VYRE_WRITE_NUMBER

File& File::WriteFloat3(const Vector3& value) { return WriteFloat(value.x).WriteFloat(value.y).WriteFloat(value.z); }

File& File::WriteFloat4(const Quaternion& value) {
  return WriteFloat(value.x).WriteFloat(value.y).WriteFloat(value.z).WriteFloat(value.w);
}

File& File::WriteMatrix(const Matrix4& value) {
  for (float element : value.m) WriteFloat(element);
  return *this;
}

File& File::WriteString(const char* text) {
  if (!CanWrite()) return *this;
  std::fputs(text != nullptr ? text : "", stream_);
  if (flags_ & kTerminatedStrings) std::fputc('\0', stream_);
  return *this;
}

size_t File::ReadBlock(void* buffer, size_t itemSize, size_t count) {
  if (!CanRead() || buffer == nullptr || itemSize == 0) return 0;
  size_t items = 0;
  if (IsText()) {
    auto* out = static_cast<unsigned char*>(buffer);
    while (items < count && ReadRaw(out + items * itemSize, itemSize)) ++items;
  } else {
    items = std::fread(buffer, itemSize, count, stream_);
  }
  if (items == 0 && count > 0) FailTransfer();
  return items;
}

size_t File::WriteBlock(const void* buffer, size_t itemSize, size_t count) {
  if (!CanWrite() || buffer == nullptr || itemSize == 0) return 0;
  size_t items = std::fwrite(buffer, itemSize, count, stream_);
  if (items == 0 && count > 0) FailTransfer();
  return items;
}

File& File::ReadLine(String& line) {
  if (!CanRead()) return *this;
  line.ClearText();
  std::string bytes;
  for (;;) {
    int c = ReadByte();
    if (c == EOF || c == '\0') break;
    bytes += static_cast<char>(c);
    if (c == '\n') break;
  }
  // One assignment instead of growing the string a byte at a time; the
  // buffer ends up the same size either way.
  if (!bytes.empty()) line = bytes.c_str();
  return *this;
}

size_t File::ReadChars(char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  buffer[0] = '\0';
  if (!CanRead()) return 0;
  size_t stored = 0;
  while (stored + 1 < capacity) {
    int c = ReadByte();
    if (c == EOF) break;
    buffer[stored++] = static_cast<char>(c);
    if (c == '\n' || c == '\0') break;
  }
  buffer[stored] = '\0';
  return stored;
}
