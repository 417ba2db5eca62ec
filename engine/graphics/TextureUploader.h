#pragma once
// The one door through which textures reach the graphics driver. The engine
// uses the OpenGL uploader; tests install a fake so that the texture manager
// runs without a context.

#include <cstdint>

// OpenGL pixel formats a texture may carry.
inline constexpr uint32_t kGLFormatRGB = 0x1907;   // GL_RGB
inline constexpr uint32_t kGLFormatRGBA = 0x1908;  // GL_RGBA

class TextureUploader {
 public:
  virtual ~TextureUploader() = default;
  // Creates a texture from tightly packed pixels in the given format and
  // returns its name; mipmapped textures filter linearly, others nearest.
  virtual uint32_t Create(uint32_t width, uint32_t height, uint32_t glFormat, bool mipmap, const uint8_t* pixels) = 0;
  // Deletes a texture name made by Create.
  virtual void Delete(uint32_t name) = 0;
  // Binds a texture to GL_TEXTURE_2D and enables texturing; an RGBA texture
  // also turns on the alpha test (greater than 0.1).
  virtual void Bind(uint32_t name, bool alphaTest) = 0;
  // Copies a rectangle of the frame buffer into the bound texture (RGB, level 0).
  virtual void CopyFromScreen(int x, int y, uint32_t width, uint32_t height) = 0;
};

// The uploader in use (the OpenGL one unless another was installed).
TextureUploader& ActiveTextureUploader();

// Installs an uploader (null puts the OpenGL one back); returns the previous one.
TextureUploader* SetTextureUploader(TextureUploader* uploader);
