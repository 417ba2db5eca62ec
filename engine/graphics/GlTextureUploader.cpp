#include <GL/gl.h>
#include <GL/glu.h>

#include "engine/graphics/TextureUploader.h"

namespace {

constexpr float kAlphaTestReference = 0.1f;

class GlTextureUploader final : public TextureUploader {
 public:
  uint32_t Create(uint32_t width, uint32_t height, uint32_t glFormat, bool mipmap, const uint8_t* pixels) override {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows are tightly packed: an RGB row of odd width is not a multiple of 4.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint components = glFormat == kGLFormatRGBA ? 4 : 3;
    if (mipmap) {
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
      gluBuild2DMipmaps(GL_TEXTURE_2D, components, GLint(width), GLint(height), glFormat, GL_UNSIGNED_BYTE, pixels);
    } else {
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexImage2D(GL_TEXTURE_2D, 0, GLint(glFormat), GLsizei(width), GLsizei(height), 0, glFormat, GL_UNSIGNED_BYTE,
                   pixels);
    }
    return name;
  }

  void Delete(uint32_t name) override {
    const GLuint glName = name;
    glDeleteTextures(1, &glName);
  }

  void Bind(uint32_t name, bool alphaTest) override {
    if (alphaTest) {
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GREATER, kAlphaTestReference);
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glEnable(GL_TEXTURE_2D);
  }

  void CopyFromScreen(int x, int y, uint32_t width, uint32_t height) override {
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, x, y, GLsizei(width), GLsizei(height), 0);
  }
};

// The OpenGL uploader is never destroyed: a texture still held when the
// process ends (a manager nobody shut down, exit() called from inside a
// library) releases its name through it from a static destructor, and that
// may run after every function-local static built later has gone.
GlTextureUploader& GlUploader() {
  union NeverDestroyed {
    NeverDestroyed() : uploader() {}
    ~NeverDestroyed() {}
    GlTextureUploader uploader;
  };
  static NeverDestroyed holder;
  return holder.uploader;
}

TextureUploader* g_uploader = nullptr;

}  // namespace

TextureUploader& ActiveTextureUploader() { return g_uploader != nullptr ? *g_uploader : GlUploader(); }

TextureUploader* SetTextureUploader(TextureUploader* uploader) {
  TextureUploader* previous = g_uploader;
  g_uploader = uploader;
  return previous;
}
