#pragma once
// One OpenGL texture loaded from a PNG, TGA or BMP file, or created empty in
// memory. Textures are owned by the texture manager and shared by name.

#include <cstdint>
#include <functional>

#include "engine/foundation/String.h"

enum class TextureFileRead;
struct DecodeResult;

// What became of a texture's last load.
enum TextureStatus : int32_t {
  kTextureQueued = 0,     // not loaded yet
  kTextureLoaded = 1,     // loaded from a file
  kTextureFailed = 2,     // the last load failed
  kTextureBlank = 3,      // created in memory
  kTextureDefaulted = 4,  // shows the default texture after a failed load
};

// Where a texture came from: written when a load starts.
struct CTEXSourceRecord {
  int32_t status = 0;
  String path;
  int32_t time = 0;
};

class CTEXTexture {
 public:
  CTEXTexture();
  virtual ~CTEXTexture();
  CTEXTexture(const CTEXTexture&) = delete;
  CTEXTexture& operator=(const CTEXTexture&) = delete;

  // Back to the queued state: status 0, mipmaps on, RGB, no GL name, no names.
  void Reset();
  // Splits a name at its last "/" into folder and file name.
  void SetName(const String& name);
  // The file name (last component).
  String GetNameString() const { return fileName_; }
  // Everything up to and including the last "/".
  String GetFolder() const { return folder_; }
  // Folder followed by file name.
  String GetFullName() const;

  // Loads the file under a search path (empty: the name alone); true when
  // the texture is loaded afterwards.
  bool Load(const String& searchPath);
  // The three loaders; each sets the status and, on success, uploads.
  bool LoadTGA(const String& path);
  bool LoadPNG(const String& path);
  bool LoadBMP(const String& path);

  // Uploads pixels in the texture's GL format; returns the new GL name.
  uint32_t CreateGLTexture(uint32_t width, uint32_t height, const uint8_t* pixels);
  // Uploads the given pixels or a zero-filled image; status 3 on success.
  bool CreateBlank(uint32_t width, uint32_t height, const uint8_t* pixels);
  // Binds the texture (with the alpha test for RGBA textures).
  void Bind() const;
  // Deletes the GL texture it owns; status 0.
  void Unload();
  // Copies the frame buffer at (x, y), the texture's size, into the bound texture.
  void CopyFromScreen(int x, int y) const;
  // Whether the next upload builds mipmaps.
  void SetMipmap(bool mipmap) { mipmap_ = mipmap ? 1 : 0; }
  // Size as (1, height / width).
  void UpdateSize();

  // Shows another texture's picture (a failed load takes the default's).
  void ShowPictureOf(uint32_t glName, TextureStatus status);

  TextureStatus Status() const { return status_; }
  uint32_t GLName() const { return glName_; }
  uint32_t GLFormat() const { return glFormat_; }
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  uint32_t BitsPerPixel() const { return bitsPerPixel_; }
  float Aspect() const { return aspect_; }
  float SizeU() const { return size_[0]; }
  float SizeV() const { return size_[1]; }
  bool Mipmap() const { return mipmap_ != 0; }
  const String& Message() const { return message_; }
  // Why the loads since the reason was last cleared failed, in the words of
  // the system or of the decoder ("No such file or directory", "PNG
  // signature is missing"); empty when none failed. A file that was found
  // and refused says more than a missing one, so its reason is kept over
  // theirs; the first of each kind stands. A file found under another name
  // than the texture's (a search path, an added extension) is named in it.
  const String& FailureReason() const { return failureReason_; }
  void ClearFailureReason();
  const CTEXSourceRecord* Source() const { return source_; }

 private:
  bool UploadDecoded(struct DecodedImage& image, uint32_t glFormat);
  // Shared by the loaders: a file that was not read, or that its decoder
  // refuses, fails the load with the reason in the texture's message.
  bool ReadAndDecode(const String& path, TextureFileRead read, const DecodeResult& readRefusal,
                     const std::function<DecodeResult()>& decode);
  // Records why the file at the path failed (see FailureReason).
  void NoteFailure(const String& path, const char* why, bool fileFound);
  void DeleteOwnedGLTexture();

  CTEXSourceRecord* source_ = nullptr;
  float aspect_ = 0.0f;
  float size_[2] = {0.0f, 0.0f};
  uint8_t mipmap_ = 1;
  uint32_t height_ = 0;
  uint32_t width_ = 0;
  uint32_t bitsPerPixel_ = 0;
  TextureStatus status_ = kTextureQueued;
  uint32_t glFormat_ = 0x1907;
  String message_;
  String failureReason_;
  bool failureFileFound_ = false;
  uint32_t glName_ = 0;
  // A defaulted texture shows the default's GL name without owning it: it
  // must never delete it.
  bool ownsGLName_ = false;
  uint8_t lastLoadResult_ = 0;
  String fileName_;
  String folder_;
};
