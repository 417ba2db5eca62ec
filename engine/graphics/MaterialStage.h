#pragma once
// One pass of a material: its texture, colours, blending, sides, fill mode,
// texture-coordinate animation and optional shader pair, with the text form
// of its block ("{" ... "}") and the per-frame animation of its tracks.

#include <cstdint>
#include <string>

#include "engine/foundation/String.h"
#include "engine/foundation/ValueFader.h"

class CTEXTexture;
class TextLines;

// Stage flag bits (what each keyword sets, what the renderer reads).
namespace StageFlag {
inline constexpr uint32_t AMBIENT = 0x1;
inline constexpr uint32_t DIFFUSE = 0x2;
inline constexpr uint32_t SPECULAR = 0x4;
inline constexpr uint32_t EMISSIVE = 0x8;
inline constexpr uint32_t SHININESS = 0x10;
inline constexpr uint32_t BLEND = 0x20;
inline constexpr uint32_t SOLID = 0x40;  // clear: lines of the stage's line width
inline constexpr uint32_t MAP = 0x80;    // the stage names a texture
inline constexpr uint32_t FRONT = 0x100;
inline constexpr uint32_t BACK = 0x200;
inline constexpr uint32_t REFLECTION = 0x400;      // sphere-map texture coordinates
inline constexpr uint32_t OBJECT_LINEAR = 0x2000;  // planar texture coordinates
inline constexpr uint32_t COLOUR = 0x4000;
inline constexpr uint32_t MODIFY_UV = 0x20000;  // texture matrix from the UV tracks
inline constexpr uint32_t MODIFY_ALPHA = 0x40000;
inline constexpr uint32_t MODIFY_EMISSIVE = 0x80000;
inline constexpr uint32_t MODIFY_VERTEX = 0x100000;
inline constexpr uint32_t PUNCH = 0x200000;
inline constexpr uint32_t CLAMP_S = 0x400000;
inline constexpr uint32_t CLAMP_T = 0x800000;
inline constexpr uint32_t LIGHTING_FLIP = 0x1000000;  // two-sided lighting
inline constexpr uint32_t INITIAL = FRONT | SOLID;
}  // namespace StageFlag

// Which UV tracks run (the stage's UV track byte).
namespace UVTrackBit {
inline constexpr uint8_t USCROLL = 0x1;
inline constexpr uint8_t VSCROLL = 0x2;
inline constexpr uint8_t USCALE = 0x4;
inline constexpr uint8_t VSCALE = 0x8;
inline constexpr uint8_t ROTATE = 0x10;
inline constexpr uint8_t USTEP = 0x20;
inline constexpr uint8_t VSTEP = 0x40;
}  // namespace UVTrackBit

// Positions of the seven UV tracks.
enum UVTrack { kUScroll, kVScroll, kUStepTimer, kVStepTimer, kUScale, kVScale, kRotate, kUVTrackCount };

// Fader modes of the wave shapes.
namespace WaveMode {
inline constexpr uint8_t REPEAT = 0x80;
inline constexpr uint8_t LINEAR = 0x01;
inline constexpr uint8_t ACC = 0x02;
inline constexpr uint8_t DEC = 0x04;
inline constexpr uint8_t BELL = 0x06;
inline constexpr uint8_t OSC = 0x08;
inline constexpr uint8_t SIN = 0x10;
inline constexpr uint8_t SQR = 0x20;
}  // namespace WaveMode

// How stage shader pairs are installed and removed; the renderer's shader
// back end plugs in here. Without it, shader names are kept and no program
// is made.
struct StageShaderHooks {
  // Installs a vertex and pixel shader pair; returns its handle or -1.
  int32_t (*install)(const char* vertexShader, const char* pixelShader) = nullptr;
  // Deletes an installed program (and logs it).
  void (*remove)(int32_t handle) = nullptr;
};
void SetStageShaderHooks(const StageShaderHooks& hooks);

class CMATStage {
 public:
  CMATStage();
  virtual ~CMATStage();
  CMATStage(const CMATStage&) = delete;
  CMATStage& operator=(const CMATStage&) = delete;

  // Reads one stage block; lines are trimmed and upper-cased.
  void Read(TextLines& file);
  // Appends the stage block's text.
  void Write(std::string& out) const;
  // Advances the tracks by a time step in seconds.
  void Update(float dt);
  // Puts every active track at a value, clamped into its range.
  void SetTrackValues(float value);
  // Starts the alpha, emissive, frame and UV tracks over.
  void RestartTracks();

  void SetSides(bool front, bool back);
  // Sets the shininess and its flag.
  void SetShininess(float value);
  void SetBlend(bool on);
  // True when the resolved texture's source record has this status.
  bool HasTextureKind(int32_t kind) const;

  uint32_t flags = StageFlag::INITIAL;
  String mapName;
  int32_t currentFrame = 0;
  ValueFader frameTimer;
  int32_t frameCount = 0;
  CTEXTexture* texture = nullptr;  // resolved by the material manager, not owned
  int32_t mipmap = 1;
  uint8_t frameAnimationRunning = 0;
  uint8_t frameAnimationEnabled = 0;
  uint8_t uvTrackBits = 0;
  ValueFader uvTracks[kUVTrackCount];
  float uStepAmount = 1.0f;
  float vStepAmount = 1.0f;
  ValueFader alphaTrack;
  ValueFader emissiveTrack;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float emissive[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float shininess = 1.0f;
  uint32_t blendSource = 0x302;       // GL_SRC_ALPHA
  uint32_t blendDestination = 0x303;  // GL_ONE_MINUS_SRC_ALPHA
  float lineWidth = 1.0f;
  int32_t shaderHandle = -1;
  String vertexShaderName;
  String pixelShaderName;

 private:
  void ApplySetting(const String& line);
  void ApplyModifier(const String& line);
  void ApplyStep(const String& line, UVTrack timer, UVTrack scroll, uint8_t bit, float& stepAmount);
  void AdvanceStep(UVTrack timer, UVTrack scroll, float stepAmount, float dt);
  void InstallShaders();
};

// Parses "[shape] start target duration [CLIP]" into a track.
void ParseWave(const String& text, ValueFader& track);
// The text of a track's wave, ending in "\n".
std::string WaveText(const ValueFader& track);
