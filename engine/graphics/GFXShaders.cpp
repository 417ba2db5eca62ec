// ARB multitexture and shader-object entry points, and the table of
// installed shader programs.

#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGLInternal.h"
#include "platform/FileSystem.h"
#include "platform/GlWindow.h"

namespace GFX_GL {
namespace {

constexpr const char* kShaderEntryPointNames[kShaderEntryPointCount] = {"glAttachObjectARB",
                                                                        "glCompileShaderARB",
                                                                        "glCreateProgramObjectARB",
                                                                        "glCreateShaderObjectARB",
                                                                        "glDeleteObjectARB",
                                                                        "glDetachObjectARB",
                                                                        "glGetActiveUniformARB",
                                                                        "glGetAttachedObjectsARB",
                                                                        "glGetHandleARB",
                                                                        "glGetInfoLogARB",
                                                                        "glGetObjectParameterfvARB",
                                                                        "glGetObjectParameterivARB",
                                                                        "glGetShaderSourceARB",
                                                                        "glGetUniformLocationARB",
                                                                        "glGetUniformfvARB",
                                                                        "glGetUniformivARB",
                                                                        "glLinkProgramARB",
                                                                        "glShaderSourceARB",
                                                                        "glUniform1fARB",
                                                                        "glUniform1fvARB",
                                                                        "glUniform1iARB",
                                                                        "glUniform1ivARB",
                                                                        "glUniform2fARB",
                                                                        "glUniform2fvARB",
                                                                        "glUniform2iARB",
                                                                        "glUniform2ivARB",
                                                                        "glUniform3fARB",
                                                                        "glUniform3fvARB",
                                                                        "glUniform3iARB",
                                                                        "glUniform3ivARB",
                                                                        "glUniform4fARB",
                                                                        "glUniform4fvARB",
                                                                        "glUniform4iARB",
                                                                        "glUniform4ivARB",
                                                                        "glUniformMatrix2fvARB",
                                                                        "glUniformMatrix3fvARB",
                                                                        "glUniformMatrix4fvARB",
                                                                        "glUseProgramObjectARB",
                                                                        "glValidateProgramARB"};

// Positions in the table above of the entry points the engine calls.
enum EntryPoint {
  kAttachObject = 0,
  kCompileShader = 1,
  kCreateProgramObject = 2,
  kCreateShaderObject = 3,
  kDeleteObject = 4,
  kGetInfoLog = 9,
  kGetObjectParameteriv = 11,
  kLinkProgram = 16,
  kShaderSource = 17,
  kUseProgramObject = 37,
};

// Extensions a shader pair needs besides its entry points.
constexpr const char* kShaderExtensions[] = {"GL_ARB_shader_objects", "GL_ARB_vertex_shader", "GL_ARB_fragment_shader"};

constexpr int kInfoLogCapacity = 1024;

struct ShaderBlock {
  DriverQueries queries;
  void* entryPoints[kShaderEntryPointCount] = {};
  void* activeTexture = nullptr;
  void* clientActiveTexture = nullptr;
  bool shadersSupported = false;
  bool multitextureMissing = true;
  uint32_t table[kShaderLimit] = {};
  // The file pair each entry was loaded from, so a new context can rebuild it.
  std::string vertexFiles[kShaderLimit];
  std::string pixelFiles[kShaderLimit];
  int32_t count = 0;
  char infoLog[kInfoLogCapacity] = {};
};

ShaderBlock& Shaders() {
  static ShaderBlock block;
  return block;
}

template <class Function>
Function Entry(EntryPoint which) {
  return reinterpret_cast<Function>(Shaders().entryPoints[which]);
}

DriverQueries PlatformQueries() {
  return DriverQueries{&platform::GetGlProcAddress, &platform::IsGlExtensionSupported};
}

const DriverQueries& Queries() {
  ShaderBlock& block = Shaders();
  if (block.queries.procAddress == nullptr || block.queries.extensionSupported == nullptr) {
    block.queries = PlatformQueries();
  }
  return block.queries;
}

// The object's info log into the block's buffer; its length.
GLint ReadInfoLog(GLhandleARB object) {
  ShaderBlock& block = Shaders();
  GLsizei length = 0;
  block.infoLog[0] = '\0';
  Entry<PFNGLGETINFOLOGARBPROC>(kGetInfoLog)(object, kInfoLogCapacity, &length, block.infoLog);
  block.infoLog[kInfoLogCapacity - 1] = '\0';
  return length;
}

GLint ObjectParameter(GLhandleARB object, GLenum name) {
  GLint value = 0;
  Entry<PFNGLGETOBJECTPARAMETERIVARBPROC>(kGetObjectParameteriv)(object, name, &value);
  return value;
}

bool FileExists(const char* name) {
  File file;
  const bool found = (file.OpenRead(name) & File::kOpen) != 0;
  file.Close();
  return found;
}

// Hands a source file to a shader object; false when the file cannot be read
// or GL reports an error.
bool LoadShaderSource(GLhandleARB object, const char* fileName) {
  FILE* stream = nullptr;
  std::string reason;
  if (platform::OpenFileStream(fileName, "rb", stream, reason) != platform::FileOpen::Opened) return false;
  std::fseek(stream, 0, SEEK_END);
  const long length = std::ftell(stream);
  std::fseek(stream, 0, SEEK_SET);
  if (length < 0) {
    std::fclose(stream);
    return false;
  }
  std::vector<char> source(size_t(length) + 1, '\0');
  const size_t read = std::fread(source.data(), 1, size_t(length), stream);
  std::fclose(stream);
  if (read != size_t(length)) return false;
  while (glGetError() != GL_NO_ERROR) {
  }
  const GLcharARB* text = source.data();
  const GLint textLength = GLint(length);
  Entry<PFNGLSHADERSOURCEARBPROC>(kShaderSource)(object, 1, &text, &textLength);
  return glGetError() == GL_NO_ERROR;
}

void LoadSourceOrLog(GLhandleARB object, GLhandleARB program, int32_t n, const char* fileName) {
  if (LoadShaderSource(object, fileName)) return;
  if (ReadInfoLog(object) < kInfoLogCapacity) {
    ReadInfoLog(program);
    GFXDisplay::Log("Vertex Shader[%d] : Could not read %s - %s", n, fileName, Shaders().infoLog);
  }
}

// Creates, compiles and links the program of table entry n from a file
// pair, logging each failure; the program handle, linked or not.
GLhandleARB BuildProgram(int32_t n, const char* vertexFile, const char* pixelFile) {
  ShaderBlock& block = Shaders();
  const GLhandleARB vertex = Entry<PFNGLCREATESHADEROBJECTARBPROC>(kCreateShaderObject)(GL_VERTEX_SHADER_ARB);
  const GLhandleARB pixel = Entry<PFNGLCREATESHADEROBJECTARBPROC>(kCreateShaderObject)(GL_FRAGMENT_SHADER_ARB);
  const GLhandleARB program = Entry<PFNGLCREATEPROGRAMOBJECTARBPROC>(kCreateProgramObject)();
  Entry<PFNGLATTACHOBJECTARBPROC>(kAttachObject)(program, vertex);
  Entry<PFNGLATTACHOBJECTARBPROC>(kAttachObject)(program, pixel);

  LoadSourceOrLog(vertex, program, n, vertexFile);
  LoadSourceOrLog(pixel, program, n, pixelFile);

  Entry<PFNGLCOMPILESHADERARBPROC>(kCompileShader)(vertex);
  if (ObjectParameter(vertex, GL_OBJECT_COMPILE_STATUS_ARB) == 0 && ReadInfoLog(vertex) < kInfoLogCapacity) {
    GFXDisplay::Log("Vertex Shader[%d] : Compilation %s", n, block.infoLog);
  }
  Entry<PFNGLCOMPILESHADERARBPROC>(kCompileShader)(pixel);
  if (ObjectParameter(pixel, GL_OBJECT_COMPILE_STATUS_ARB) == 0 && ReadInfoLog(pixel) < kInfoLogCapacity) {
    GFXDisplay::Log("Pixel Shader[%d] : Compilation failed - %s", n, block.infoLog);
  }

  Entry<PFNGLLINKPROGRAMARBPROC>(kLinkProgram)(program);
  if (ObjectParameter(program, GL_OBJECT_LINK_STATUS_ARB) == 0) {
    if (ReadInfoLog(program) < kInfoLogCapacity) {
      GFXDisplay::Log("Shader[%d] : Linking failed - %s", n, block.infoLog);
    }
  } else {
    GFXDisplay::Log("Shader[%d] installed.", n);
  }
  // The attached objects now live as long as the program.
  Entry<PFNGLDELETEOBJECTARBPROC>(kDeleteObject)(vertex);
  Entry<PFNGLDELETEOBJECTARBPROC>(kDeleteObject)(pixel);
  return program;
}

}  // namespace

void SetDriverQueries(const DriverQueries& queries) { Shaders().queries = queries; }

void ResetDriverQueries() { Shaders().queries = PlatformQueries(); }

void FetchEntryPoints() {
  ShaderBlock& block = Shaders();
  const DriverQueries& queries = Queries();
  block.activeTexture = queries.procAddress("glActiveTextureARB");
  block.clientActiveTexture = queries.procAddress("glClientActiveTextureARB");
  block.multitextureMissing = block.activeTexture == nullptr || block.clientActiveTexture == nullptr ||
                              !queries.extensionSupported("GL_ARB_multitexture");

  bool all = true;
  for (int i = 0; i < kShaderEntryPointCount; ++i) {
    block.entryPoints[i] = queries.procAddress(kShaderEntryPointNames[i]);
    all = all && block.entryPoints[i] != nullptr;
  }
  // A driver may hand out addresses for functions it does not support; only
  // the advertised extensions make them usable.
  for (const char* extension : kShaderExtensions) all = all && queries.extensionSupported(extension);
  block.shadersSupported = all;

  // Entry 0 is the fixed function; later starts (display changes) keep it.
  if (block.count == 0) block.table[block.count++] = 0;
}

int32_t LoadShader(const char* vertexFile, const char* pixelFile) {
  ShaderBlock& block = Shaders();
  GFXDisplay::Log("Vertex Shader requested : %s", vertexFile);
  GFXDisplay::Log("Pixel Shader requested  : %s", pixelFile);
  if (!block.shadersSupported) {
    GFXDisplay::Log("Shaders are not supported by this device");
    return -1;
  }
  if (block.count >= kShaderLimit) {
    GFXDisplay::Log("Ran out of shader handles! (Limit = %d)", kShaderLimit);
    return -1;
  }
  const bool vertexFound = FileExists(vertexFile);
  if (!vertexFound) GFXDisplay::Log("Vertex Shader '%s' could not be found!", vertexFile);
  const bool pixelFound = FileExists(pixelFile);
  if (!pixelFound) GFXDisplay::Log("Pixel Shader '%s' could not be found!", pixelFile);
  if (!vertexFound || !pixelFound) return -1;

  const int32_t n = block.count;
  block.vertexFiles[n] = vertexFile;
  block.pixelFiles[n] = pixelFile;
  block.table[n] = BuildProgram(n, vertexFile, pixelFile);
  block.count = n + 1;
  return n;
}

void UseShader(int32_t index) {
  ShaderBlock& block = Shaders();
  if (block.entryPoints[kUseProgramObject] == nullptr) return;
  GLhandleARB handle = 0;
  // A deleted entry (-1) falls back to the fixed function.
  if (index >= 0 && index < block.count && block.table[index] != uint32_t(-1)) handle = block.table[index];
  Entry<PFNGLUSEPROGRAMOBJECTARBPROC>(kUseProgramObject)(handle);
}

void DeleteShader(int32_t index) {
  ShaderBlock& block = Shaders();
  if (index <= 0 || index >= block.count || block.table[index] == uint32_t(-1)) return;
  if (block.entryPoints[kDeleteObject] != nullptr) Entry<PFNGLDELETEOBJECTARBPROC>(kDeleteObject)(block.table[index]);
  GFXDisplay::Log("Shader[%d] deleted", index);
  block.table[index] = uint32_t(-1);
  block.vertexFiles[index].clear();
  block.pixelFiles[index].clear();
}

void ReinstallShaders() {
  ShaderBlock& block = Shaders();
  int32_t live = 0;
  for (int32_t n = 1; n < block.count; ++n) live += block.table[n] != uint32_t(-1) ? 1 : 0;
  if (live == 0) return;
  GFXDisplay::Log("Reinstalling %d shaders...", live);
  // The old handles died with the old context: they are never deleted here,
  // since the new context may already use the same names for its own objects.
  if (!block.shadersSupported) {
    GFXDisplay::Log("Shaders are not supported by this device");
    for (int32_t n = 1; n < block.count; ++n) {
      if (block.table[n] != uint32_t(-1)) block.table[n] = 0;
    }
    return;
  }
  for (int32_t n = 1; n < block.count; ++n) {
    if (block.table[n] == uint32_t(-1)) continue;
    block.table[n] = BuildProgram(n, block.vertexFiles[n].c_str(), block.pixelFiles[n].c_str());
  }
}

int32_t GetShaderCount() { return Shaders().count; }

uint32_t GetShaderHandle(int32_t index) {
  const ShaderBlock& block = Shaders();
  return index >= 0 && index < block.count ? block.table[index] : 0;
}

bool ShadersSupported() { return Shaders().shadersSupported; }

bool MultitextureMissing() { return Shaders().multitextureMissing; }

void ResetShaderTable() {
  ShaderBlock& block = Shaders();
  block.count = 0;
  block.shadersSupported = false;
  for (std::string& name : block.vertexFiles) name.clear();
  for (std::string& name : block.pixelFiles) name.clear();
  for (void*& entry : block.entryPoints) entry = nullptr;
}

}  // namespace GFX_GL
