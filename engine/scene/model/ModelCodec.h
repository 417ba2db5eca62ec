#pragma once
#include <cstdint>

class C3MEModel;

// A short-lived reader or writer of one model file form.
class C3MECodec {
 public:
  enum Result : int32_t {
    kRead = 1,        // the file was read into the model
    kCannotOpen = 2,  // the file could not be opened
    kBadFile = 3,     // not this codec's format, or its body failed
    kWritten = 5,     // the file was written
    kNotWritten = 6,  // the file could not be written, or the codec cannot write
  };

  explicit C3MECodec(C3MEModel* model) : model_(model) {}
  virtual ~C3MECodec() = default;
  // Reads the named file into the model.
  virtual int32_t Read(const char* fileName) = 0;
  // Writes the model to the named file.
  virtual int32_t Write(const char* fileName) = 0;

 protected:
  C3MEModel* model_;
};
