#include "engine/graphics/Texture.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/graphics/BmpDecoder.h"
#include "engine/graphics/DecodedImage.h"
#include "engine/graphics/GraphicsFiles.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/graphics/TextureUploader.h"
#include "engine/graphics/TgaDecoder.h"

namespace {

// The GL name a texture carries after a failed TGA upload.
constexpr uint32_t kFailedGLName = 0xFFFFFFFFu;

// Position of the last "/" (or -1).
int LastSlash(const char* text) {
  int slash = -1;
  for (int i = 0; text[i] != '\0'; ++i) {
    if (text[i] == '/') slash = i;
  }
  return slash;
}

// The extension of the last path component, upper-cased (empty when none).
String ExtensionOf(const String& path) {
  const char* text = path.Chars();
  const int slash = LastSlash(text);
  int dot = -1;
  for (int i = slash + 1; text[i] != '\0'; ++i) {
    if (text[i] == '.') dot = i;
  }
  if (dot < 0) return String();
  String extension = path.Mid(dot + 1, int(path.Length()) - dot - 1);
  extension.ToUpper();
  return extension;
}

void SetRefusal(String& message, const DecodeResult& refusal) {
  String text("ERROR ! ");
  text += refusal.error.c_str();
  message = text;
}

}  // namespace

CTEXTexture::CTEXTexture() { Reset(); }

CTEXTexture::~CTEXTexture() {
  DeleteOwnedGLTexture();
  delete source_;
}

void CTEXTexture::Reset() {
  status_ = kTextureQueued;
  mipmap_ = 1;
  glFormat_ = kGLFormatRGB;
  glName_ = 0;
  ownsGLName_ = false;
  fileName_.ClearText();
  folder_.ClearText();
  message_.ClearText();
  ClearFailureReason();
}

void CTEXTexture::ClearFailureReason() {
  failureReason_.ClearText();
  failureFileFound_ = false;
}

void CTEXTexture::NoteFailure(const String& path, const char* why, bool fileFound) {
  if (!failureReason_.IsEmpty() && (failureFileFound_ || !fileFound)) return;
  String reason;
  String asked = GetFullName();
  String tried = path;
  asked.ToLower();
  tried.ToLower();
  if (fileFound && tried != asked.Chars()) {
    reason = path;
    reason += ": ";
  }
  reason += why != nullptr && why[0] != '\0' ? why : (fileFound ? "the file cannot be read" : "no such file");
  failureReason_ = reason;
  failureFileFound_ = fileFound;
}

void CTEXTexture::SetName(const String& name) {
  const int slash = LastSlash(name.Chars());
  if (slash < 0) {
    folder_.ClearText();
    fileName_ = name;
  } else {
    folder_ = name.Left(slash + 1);
    fileName_ = name.Mid(slash + 1, int(name.Length()) - slash - 1);
  }
}

String CTEXTexture::GetFullName() const { return Concat(folder_, fileName_); }

bool CTEXTexture::Load(const String& searchPath) {
  String path = searchPath.IsEmpty() ? GetFullName() : Concat(searchPath, GetFullName());
  path.ToLower();
  if (source_ == nullptr) source_ = new CTEXSourceRecord();
  if (source_ != nullptr) {
    source_->status = 0;
    source_->path = path;
  }

  if (path.IsEmpty()) {
    message_ = "ERROR : No filename!";
    NoteFailure(path, "no file name", true);
    status_ = kTextureFailed;
    return false;
  }
  const String extension = ExtensionOf(path);
  if (extension.Length() == 3) {
    if (extension == "BMP") {
      LoadBMP(path);
    } else if (extension == "TGA") {
      LoadTGA(path);
    } else if (extension == "PNG") {
      LoadPNG(path);
    } else {
      message_ = "ERROR ! File type unrecognised! (PNG/TGA/BMP)";
      NoteFailure(GetFullName(), "only PNG, TGA and BMP files are read", true);
      status_ = kTextureFailed;
    }
  } else {
    message_ = "OK";
    const bool hadReason = !failureReason_.IsEmpty();
    String trimmed = path;
    trimmed.Trim();
    if (!LoadPNG(trimmed + ".png") && !LoadTGA(path + ".TGA") && !LoadBMP(path + ".BMP")) {
      // A file that was found but refused has already said why.
      if (message_ == "OK") message_ = "ERROR ! No suitable file found.";
      // The name was never a file's: say which files were looked for.
      if (!hadReason && !failureFileFound_) failureReason_ += " (tried .png, .TGA and .BMP)";
      status_ = kTextureFailed;
    }
  }
  lastLoadResult_ = status_ == kTextureLoaded ? 1 : 0;
  return status_ == kTextureLoaded;
}

bool CTEXTexture::UploadDecoded(DecodedImage& image, uint32_t glFormat) {
  glFormat_ = glFormat;
  bitsPerPixel_ = image.components * 8;
  status_ = kTextureLoaded;
  ClearFailureReason();
  DeleteOwnedGLTexture();
  glName_ = CreateGLTexture(image.width, image.height, image.pixels.data());
  ownsGLName_ = true;
  return true;
}

bool CTEXTexture::ReadAndDecode(const String& path, TextureFileRead read, const DecodeResult& readRefusal,
                                const std::function<DecodeResult()>& decode) {
  if (read == TextureFileRead::kRefused) SetRefusal(message_, readRefusal);
  if (read != TextureFileRead::kRead) {
    NoteFailure(path, readRefusal.error.c_str(), read == TextureFileRead::kRefused);
    status_ = kTextureFailed;
    return false;
  }
  const DecodeResult decoded = decode();
  if (!decoded.ok) {
    SetRefusal(message_, decoded);
    NoteFailure(path, decoded.error.c_str(), true);
    status_ = kTextureFailed;
    return false;
  }
  return true;
}

bool CTEXTexture::LoadTGA(const String& path) {
  std::vector<uint8_t> bytes;
  DecodeResult refusal;
  const TextureFileRead read = ReadTextureFileFromDisk(path.Chars(), bytes, refusal);
  DecodedImage image;
  if (!ReadAndDecode(path, read, refusal, [&] { return DecodeTga(bytes, image); })) {
    // A TGA that was read but could not be decoded takes the failed GL name.
    if (read == TextureFileRead::kRead) {
      DeleteOwnedGLTexture();
      glName_ = kFailedGLName;
    }
    return false;
  }
  return UploadDecoded(image, image.components == 4 ? kGLFormatRGBA : kGLFormatRGB);
}

bool CTEXTexture::LoadPNG(const String& path) {
  std::vector<uint8_t> bytes;
  DecodeResult refusal;
  const TextureFileRead read = ReadPngResource(path.Chars(), bytes, refusal);
  DecodedImage image;
  if (!ReadAndDecode(path, read, refusal, [&] { return DecodePng(bytes, image, ViewingGammaFromEnvironment()); })) {
    return false;
  }
  // PNG rows come top row first; OpenGL wants the bottom row first.
  FlipImageRows(image.components * 8, image.width, image.height, image.pixels.data());
  return UploadDecoded(image, image.components == 4 ? kGLFormatRGBA : kGLFormatRGB);
}

bool CTEXTexture::LoadBMP(const String& path) {
  std::vector<uint8_t> bytes;
  DecodeResult refusal;
  const TextureFileRead read = ReadTextureFileFromDisk(path.Chars(), bytes, refusal);
  DecodedImage image;
  if (!ReadAndDecode(path, read, refusal, [&] { return DecodeBmp(bytes, image); })) return false;
  // The reader always yields RGB, whatever format the texture held before.
  return UploadDecoded(image, kGLFormatRGB);
}

uint32_t CTEXTexture::CreateGLTexture(uint32_t width, uint32_t height, const uint8_t* pixels) {
  const uint32_t name = ActiveTextureUploader().Create(width, height, glFormat_, mipmap_ != 0, pixels);
  width_ = width;
  height_ = height;
  // Whole-number quotient, as the engine has always stored it.
  aspect_ = height != 0 ? float(width / height) : 0.0f;
  return name;
}

bool CTEXTexture::CreateBlank(uint32_t width, uint32_t height, const uint8_t* pixels) {
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
  std::vector<uint8_t> zeros;
  if (pixels == nullptr) {
    zeros.assign(size_t(width) * height * (glFormat_ == kGLFormatRGBA ? 4 : 3), 0);
    pixels = zeros.data();
  }
  DeleteOwnedGLTexture();
  glName_ = CreateGLTexture(width, height, pixels);
  if (glName_ == 0) return false;
  ownsGLName_ = true;
  status_ = kTextureBlank;
  return true;
}

void CTEXTexture::Bind() const { ActiveTextureUploader().Bind(glName_, glFormat_ == kGLFormatRGBA); }

void CTEXTexture::Unload() {
  DeleteOwnedGLTexture();
  glName_ = 0;
  status_ = kTextureQueued;
}

void CTEXTexture::CopyFromScreen(int x, int y) const { ActiveTextureUploader().CopyFromScreen(x, y, width_, height_); }

void CTEXTexture::UpdateSize() {
  size_[0] = 1.0f;
  size_[1] = width_ != 0 ? float(height_) / float(width_) : 0.0f;
}

void CTEXTexture::ShowPictureOf(uint32_t glName, TextureStatus status) {
  DeleteOwnedGLTexture();
  glName_ = glName;
  status_ = status;
}

void CTEXTexture::DeleteOwnedGLTexture() {
  if (ownsGLName_ && glName_ != 0 && glName_ != kFailedGLName) ActiveTextureUploader().Delete(glName_);
  ownsGLName_ = false;
}
