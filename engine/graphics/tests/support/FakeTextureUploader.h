#pragma once
// A texture uploader that records what it is asked instead of calling GL.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/graphics/TextureUploader.h"

struct FakeUpload {
  uint32_t name;
  uint32_t width;
  uint32_t height;
  uint32_t glFormat;
  bool mipmap;
  std::vector<uint8_t> pixels;
};

class FakeTextureUploader : public TextureUploader {
 public:
  FakeTextureUploader() { previous_ = SetTextureUploader(this); }
  ~FakeTextureUploader() override { SetTextureUploader(previous_); }

  uint32_t Create(uint32_t width, uint32_t height, uint32_t glFormat, bool mipmap, const uint8_t* pixels) override {
    const size_t bytes = size_t(width) * height * (glFormat == kGLFormatRGBA ? 4 : 3);
    uploads.push_back({nextName, width, height, glFormat, mipmap, std::vector<uint8_t>(pixels, pixels + bytes)});
    live.push_back(nextName);
    return nextName++;
  }
  void Delete(uint32_t name) override {
    deleted.push_back(name);
    std::erase(live, name);
  }
  void Bind(uint32_t name, bool alphaTest) override { binds.push_back({name, alphaTest}); }
  void CopyFromScreen(int, int, uint32_t, uint32_t) override {}

  // The upload that made a name (null when none did).
  const FakeUpload* UploadOf(uint32_t name) const {
    for (const FakeUpload& upload : uploads) {
      if (upload.name == name) return &upload;
    }
    return nullptr;
  }

  uint32_t nextName = 100;
  std::vector<FakeUpload> uploads;
  std::vector<uint32_t> live;
  std::vector<uint32_t> deleted;
  std::vector<std::pair<uint32_t, bool>> binds;

 private:
  TextureUploader* previous_ = nullptr;
};
