#pragma once
// The engine's file object over the C library's buffered streams: one file
// opened for reading, writing or appending, in text or binary mode, with
// typed reads and writes. Binary numbers are raw little-endian bytes; text
// numbers are decimal text. Every open is logged on the "ARC" channel.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/foundation/String.h"

struct Matrix4;
struct Quaternion;
struct Vector3;

class File {
 public:
  // Flag bits.
  static constexpr uint32_t kOpen = 0x1;
  static constexpr uint32_t kClosed = 0x2;
  static constexpr uint32_t kOpenFailed = 0x4;  // the last open failed
  static constexpr uint32_t kRead = 0x8;
  static constexpr uint32_t kWrite = 0x10;
  static constexpr uint32_t kAppend = 0x20;
  static constexpr uint32_t kText = 0x40;               // else binary
  static constexpr uint32_t kTerminatedStrings = 0x80;  // a NUL follows every written string
  static constexpr uint32_t kTransferFailed = 0x100;    // a block or position operation failed; closed

  // A closed file; kText and kTerminatedStrings are chosen here and kept.
  explicit File(uint32_t flags = 0);
  // Closes the stream when open.
  virtual ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens for reading; logs "Read %s ... OK" or "Read %s ... ERROR!". Returns
  // the flag word (kOpen tells success).
  uint32_t OpenRead(const char* name);
  // Opens for writing (truncating); logs "Write %s ... OK" or "... ERROR!".
  uint32_t OpenWrite(const char* name);
  // Opens for appending; logs "Append %s ... ERROR!" on failure only.
  uint32_t OpenAppend(const char* name);
  // Closes the stream; returns the flag word.
  uint32_t Close();

  bool IsOpen() const { return (flags_ & kOpen) != 0; }
  uint32_t GetFlags() const { return flags_; }
  void SetFlags(uint32_t flags) { flags_ = flags; }
  // Open and at the end of the stream.
  bool IsEOF() const;
  // The name as given, with "/" turned into "\".
  const String& GetName() const { return name_; }
  // Why the last open failed although something stands under the name (not
  // a regular file, or the system's reason); empty when it opened or when
  // nothing of that name exists.
  const String& GetRefusal() const { return refusal_; }
  // The C stream, for readers that scan it directly (null when closed).
  FILE* GetStream() const { return stream_; }

  // Removes a file by name; true on success.
  static bool Delete(const char* name);
  // Size of the named file from the file system without opening it; 0 (and
  // a message on standard error) when its status cannot be read.
  uint64_t GetSizeOnDisk() const;

  // Remembers the stream position; failure closes the file (kTransferFailed).
  void GetPos();
  // Returns to the remembered position; failure closes the file.
  void SetPos();
  // The stream position (-1 when closed).
  int64_t Tell() const;
  // Moves the stream by a signed number of bytes.
  void Skip(int64_t bytes);
  // Length of the stream in bytes; the position is kept.
  int64_t GetSize();

  // Typed reads: need the file open for reading, else do nothing. A binary
  // value whose bytes cannot all be read becomes 0; a text number that
  // cannot be parsed leaves the target unchanged.
  File& ReadDouble(double& value);
  File& ReadFloat(float& value);
  File& ReadU8(uint8_t& value);
  File& ReadS8(int8_t& value);
  File& ReadU16(uint16_t& value);
  File& ReadS16(int16_t& value);
  File& ReadInt(int32_t& value);
  File& ReadU32(uint32_t& value);
  File& ReadFloat3(Vector3& value);
  File& ReadFloat4(Quaternion& value);
  File& ReadMatrix(Matrix4& value);
  // Value forms of the commonest reads (0 when nothing could be read).
  int32_t ReadInt();
  float ReadFloat();

  // Typed writes: need the file open for writing or appending, else do
  // nothing. Text numbers carry no separator.
  File& WriteDouble(double value);
  File& WriteFloat(float value);
  File& WriteS8(int8_t value);
  File& WriteS16(int16_t value);
  File& WriteInt(int32_t value);
  File& WriteFloat3(const Vector3& value);
  File& WriteFloat4(const Quaternion& value);
  File& WriteMatrix(const Matrix4& value);
  // Writes the text (and a NUL with kTerminatedStrings).
  File& WriteString(const char* text);
  File& WriteString(const String& text) { return WriteString(text.Chars()); }

  // Reads up to count items; when not one complete item could be read the
  // file is closed and kTransferFailed set. Returns the items read.
  size_t ReadBlock(void* buffer, size_t itemSize, size_t count);
  // Writes count items; when nothing could be written the file is closed and
  // kTransferFailed set. Returns the items written.
  size_t WriteBlock(const void* buffer, size_t itemSize, size_t count);
  // Reads one line into the string, up to and including "\n"; a NUL byte or
  // the end of the stream also ends it (the NUL is not kept). In text mode
  // "\r\n" reads as "\n".
  File& ReadLine(String& line);
  // The same into a caller's buffer of capacity bytes, always terminated;
  // returns the number of bytes stored.
  size_t ReadChars(char* buffer, size_t capacity);

 protected:
  // Next byte of the stream (EOF at the end); in text mode "\r\n" gives "\n".
  int ReadByte();
  bool CanRead() const { return (flags_ & (kOpen | kRead)) == (kOpen | kRead); }
  bool CanWrite() const { return (flags_ & kOpen) != 0 && (flags_ & (kWrite | kAppend)) != 0; }
  bool IsText() const { return (flags_ & kText) != 0; }
  // Closes after a failed transfer and marks it.
  void FailTransfer();

 private:
  uint32_t Open(const char* name, uint32_t modeBit, const char* textMode, const char* binaryMode);
  bool ReadRaw(void* bytes, size_t count);
  void WriteRaw(const void* bytes, size_t count);
  template <class T>
  File& ReadBinaryOrText(T& value, const char* scanFormat);

  String name_;
  FILE* stream_ = nullptr;
  String refusal_;
  int64_t savedPosition_ = 0;
  uint32_t flags_ = 0;
};

// A file in text mode.
class FileText : public File {
 public:
  FileText() : File(kText) {}
};

// printf-style line on the "ARC" channel, dropped unless that channel
// already exists.
void FileLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
