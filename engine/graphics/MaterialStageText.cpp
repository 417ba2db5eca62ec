// The text form of a stage block: the reader and the writer.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "engine/foundation/Log.h"
#include "engine/graphics/GraphicsLog.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/TextLines.h"

namespace {

// GL blend factors the BLEND keyword picks from.
constexpr uint32_t kGLSrcColour = 0x300;
constexpr uint32_t kGLSrcAlpha = 0x302;
constexpr uint32_t kGLOneMinusSrcAlpha = 0x303;
constexpr uint32_t kGLOne = 1;

// Lengths of the keyword prefixes dropped before a wave.
constexpr int kScrollPrefix = 18;    // "MODIFY UV USCROLL "
constexpr int kScalePrefix = 17;     // "MODIFY UV USCALE ", "MODIFY UV ROTATE "
constexpr int kAlphaPrefix = 13;     // "MODIFY ALPHA "
constexpr int kEmissivePrefix = 16;  // "MODIFY EMISSIVE "
constexpr int kShaderPrefix = 7;     // "VSHADER", "PSHADER"

StageShaderHooks g_shaderHooks;

float WordAsFloat(const String& line, int index) { return std::strtof(line.GetWord(index).Chars(), nullptr); }

// Trims blanks, tabs, CR and LF from both ends.
void TrimAll(String& line) {
  line.Trim();
  // A single leftover blank survives TrimRight; a blank line is empty.
  if (line.Length() == 1 && (line[0] == ' ' || line[0] == '\t' || line[0] == '\r' || line[0] == '\n')) {
    line.ClearText();
  }
}

String After(const String& line, int prefix) {
  String rest = line.Mid(prefix, int(line.Length()) - prefix);
  TrimAll(rest);
  return rest;
}

void Appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Appendf(std::string& out, const char* format, ...) {
  char buffer[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  out += buffer;
}

void AppendColour(std::string& out, const char* keyword, const float colour[4]) {
  Appendf(out, "\t\t%s %f %f %f %f\n", keyword, colour[0], colour[1], colour[2], colour[3]);
}

}  // namespace

void SetStageShaderHooks(const StageShaderHooks& hooks) { g_shaderHooks = hooks; }

void ParseWave(const String& text, ValueFader& track) {
  if (text.CountWords() < 3) return;
  struct Shape {
    const char* word;
    uint8_t mode;
  };
  static constexpr Shape kShapes[] = {{"SIN", WaveMode::SIN}, {"SQR", WaveMode::SQR}, {"ACC", WaveMode::ACC},
                                      {"DEC", WaveMode::DEC}, {"OSC", WaveMode::OSC}, {"BELL", WaveMode::BELL}};
  uint8_t mode = WaveMode::REPEAT | WaveMode::LINEAR;
  int first = 0;
  String shape = text.GetWord(0);
  shape.ToUpper();
  for (const Shape& candidate : kShapes) {
    if (shape == candidate.word) {
      mode = candidate.mode;
      first = 1;
    }
  }
  const float start = WordAsFloat(text, first);
  const float target = WordAsFloat(text, first + 1);
  const float duration = WordAsFloat(text, first + 2);
  String clip = text.GetWord(first + 3);
  clip.ToUpper();
  if (clip == "CLIP") mode &= uint8_t(~WaveMode::REPEAT);
  track.Start(mode, start, target, duration);
}

std::string WaveText(const ValueFader& track) {
  const uint8_t mode = track.GetFlags();
  std::string out;
  if (mode & WaveMode::SIN) {
    out = "SIN";
  } else if (mode & WaveMode::SQR) {
    out = "SQR";
  } else if ((mode & WaveMode::BELL) == WaveMode::BELL) {
    out = "BELL";
  } else if (mode & WaveMode::ACC) {
    out = "ACC";
  } else if (mode & WaveMode::DEC) {
    out = "DEC";
  } else if (mode & WaveMode::OSC) {
    out = "OSC";
  }
  Appendf(out, " %f %f %f", track.GetStart(), track.GetTarget(), track.GetDuration());
  if ((mode & WaveMode::REPEAT) == 0) out += " CLIP";
  out += "\n";
  return out;
}

void CMATStage::Read(TextLines& file) {
  String line;
  file.ReadLine(line);
  TrimAll(line);
  if (line.IsEmpty() || line[0] != '{') return;

  for (;;) {
    if (!file.ReadLine(line)) break;
    TrimAll(line);
    line.ToUpper();
    if (line.Find("//") >= 0) continue;
    OutputPrintf(platform::Severity::Info, "STAGE SETTING : %s\n", line.Chars());
    ApplySetting(line);
    if (!line.IsEmpty() && line[0] == '}') break;
  }

  if (shaderHandle >= 0) {
    if (g_shaderHooks.remove != nullptr) g_shaderHooks.remove(shaderHandle);
    shaderHandle = -1;
  }
  if (!vertexShaderName.IsEmpty() || !pixelShaderName.IsEmpty()) InstallShaders();
}

void CMATStage::InstallShaders() {
  LogMAT("Shaders requested...");
  LogMAT("Vertex : %s", vertexShaderName.Chars());
  LogMAT("Pixel  : %s", pixelShaderName.Chars());
  shaderHandle =
      g_shaderHooks.install != nullptr ? g_shaderHooks.install(vertexShaderName.Chars(), pixelShaderName.Chars()) : -1;
}

void CMATStage::ApplySetting(const String& line) {
  const String keyword = line.GetWord(0);
  const int words = line.CountWords();
  const String second = line.GetWord(1);

  if (keyword == "MAP") {
    if (words < 2) return;
    const String rest = After(line, 3);
    const String what = rest.GetWord(0);
    if (what == "MIPMAP" || what == "FILTER") return;
    if (what == "DETAIL") {
      SetBlend(true);
      blendSource = kGLSrcAlpha;
      blendDestination = kGLOneMinusSrcAlpha;
      flags |= StageFlag::MODIFY_UV;
      uvTrackBits |= UVTrackBit::USCALE | UVTrackBit::VSCALE | UVTrackBit::ROTATE;
      uvTracks[kUScale].Start(0, 16.0f, 16.0f, 0.0f);
      uvTracks[kVScale].Start(0, 16.0f, 16.0f, 0.0f);
      uvTracks[kRotate].Start(0, 45.0f, 45.0f, 0.0f);
      return;
    }
    mapName = rest;
    flags |= StageFlag::MAP;
  } else if (keyword == "MODIFY") {
    ApplyModifier(line);
  } else if (keyword == "BLEND") {
    flags |= StageFlag::BLEND;
    if (words < 2) {
      blendSource = kGLSrcAlpha;
      blendDestination = kGLOneMinusSrcAlpha;
    } else if (second == "LIGHTMAP") {
      blendSource = kGLSrcAlpha;
      blendDestination = kGLOne;
    } else if (second == "ADD") {
      blendSource = kGLOne;
      blendDestination = kGLOne;
    } else if (second == "PARTICLE" || second == "TEST") {
      blendSource = kGLSrcColour;
      blendDestination = kGLOne;
    }
  } else if (keyword == "AMBIENT" || keyword == "DIFFUSE" || keyword == "EMISSIVE" || keyword == "SPECULAR" ||
             keyword == "COLOUR") {
    struct Colour {
      const char* word;
      uint32_t flag;
      float* values;
    };
    const Colour colours[] = {{"AMBIENT", StageFlag::AMBIENT, ambient},
                              {"DIFFUSE", StageFlag::DIFFUSE, diffuse},
                              {"EMISSIVE", StageFlag::EMISSIVE, emissive},
                              {"SPECULAR", StageFlag::SPECULAR, specular},
                              {"COLOUR", StageFlag::COLOUR, colour}};
    for (const Colour& c : colours) {
      if (keyword != c.word) continue;
      flags |= c.flag;
      if (words == 5) {
        for (int i = 0; i < 4; ++i) c.values[i] = WordAsFloat(line, i + 1);
      }
    }
  } else if (keyword == "SHININESS") {
    SetShininess(WordAsFloat(line, 1));
  } else if (keyword == "SIDE") {
    if (second == "BOTH") {
      SetSides(true, true);
    } else if (second == "BACK") {
      SetSides(false, true);
    } else {
      SetSides(true, false);
    }
  } else if (keyword == "PUNCH") {
    flags |= StageFlag::PUNCH;
  } else if (keyword == "SOLID") {
    flags |= StageFlag::SOLID;
  } else if (keyword == "REFLECTION") {
    flags |= StageFlag::REFLECTION;
  } else if (keyword == "WIREFRAME") {
    flags &= ~StageFlag::SOLID;
    lineWidth = words == 2 ? WordAsFloat(line, 1) : 1.0f;
  } else if (keyword == "LIGHTING") {
    if (words == 2 && second == "FLIP") flags |= StageFlag::LIGHTING_FLIP;
  } else if (keyword == "VSHADER") {
    vertexShaderName = After(line, kShaderPrefix);
    vertexShaderName.ToUpper();
  } else if (keyword == "PSHADER") {
    pixelShaderName = After(line, kShaderPrefix);
    pixelShaderName.ToUpper();
  }
}

void CMATStage::ApplyModifier(const String& line) {
  if (line.CountWords() < 2) return;
  const String what = line.GetWord(1);
  if (what == "UV") {
    const String track = line.GetWord(2);
    struct Track {
      const char* word;
      UVTrack track;
      uint8_t bit;
      int prefix;
    };
    static constexpr Track kTracks[] = {{"USCROLL", kUScroll, UVTrackBit::USCROLL, kScrollPrefix},
                                        {"VSCROLL", kVScroll, UVTrackBit::VSCROLL, kScrollPrefix},
                                        {"USCALE", kUScale, UVTrackBit::USCALE, kScalePrefix},
                                        {"VSCALE", kVScale, UVTrackBit::VSCALE, kScalePrefix},
                                        {"ROTATE", kRotate, UVTrackBit::ROTATE, kScalePrefix}};
    for (const Track& t : kTracks) {
      if (track != t.word) continue;
      flags |= StageFlag::MODIFY_UV;
      uvTrackBits |= t.bit;
      ParseWave(After(line, t.prefix), uvTracks[t.track]);
      return;
    }
    if (track == "USTEP") ApplyStep(line, kUStepTimer, kUScroll, UVTrackBit::USTEP, uStepAmount);
    if (track == "VSTEP") ApplyStep(line, kVStepTimer, kVScroll, UVTrackBit::VSTEP, vStepAmount);
  } else if (what == "ALPHA") {
    flags |= StageFlag::MODIFY_ALPHA;
    ParseWave(After(line, kAlphaPrefix), alphaTrack);
  } else if (what == "VERTEX") {
    flags |= StageFlag::MODIFY_VERTEX;
  } else if (what == "EMISSIVE") {
    flags |= StageFlag::MODIFY_EMISSIVE;
    ParseWave(After(line, kEmissivePrefix), emissiveTrack);
  }
}

void CMATStage::ApplyStep(const String& line, UVTrack timer, UVTrack scroll, uint8_t bit, float& stepAmount) {
  flags |= StageFlag::MODIFY_UV;
  uvTrackBits |= bit;
  float count = WordAsFloat(line, 3);
  const float cycle = WordAsFloat(line, 4);
  if (!(count > 0.0f)) count = 1.0f;
  stepAmount = 1.0f / count;
  // The offset jumps by 1/count every cycle/count seconds.
  uvTracks[timer].Start(WaveMode::LINEAR, 0.0f, cycle / count, cycle / count);
  uvTracks[scroll].Start(WaveMode::REPEAT | WaveMode::LINEAR, 0.0f, 1.0f, 1.0f);
}

void CMATStage::Write(std::string& out) const {
  out += "\t{\n";
  if (!mapName.IsEmpty()) {
    Appendf(out, "\t\tMAP %s\n", mapName.Chars());
    if (mipmap > 0) Appendf(out, "\t\tMIPMAP %d\n", mipmap);
  }
  if (flags & StageFlag::SOLID) {
    out += "SOLID\n";
  } else {
    Appendf(out, "WIREFRAME %g\n", lineWidth);
  }
  if (flags & StageFlag::MODIFY_UV) {
    struct Track {
      uint8_t bit;
      UVTrack track;
      const char* prefix;
    };
    static constexpr Track kTracks[] = {{UVTrackBit::USCROLL, kUScroll, "\t\tMODIFY UV USCROLL "},
                                        {UVTrackBit::VSCROLL, kVScroll, "\t\tMODIFY UV VSCROLL "},
                                        {UVTrackBit::USCALE, kUScale, "\t\tMODIFY UV USCALE "},
                                        {UVTrackBit::VSCALE, kVScale, "\t\tMODIFY UV VSCALE "},
                                        {UVTrackBit::ROTATE, kRotate, "\t\tMODIFY UV ROTATE "}};
    for (const Track& t : kTracks) {
      if (uvTrackBits & t.bit) out += t.prefix + WaveText(uvTracks[t.track]);
    }
    if (uvTrackBits & UVTrackBit::USTEP) {
      const float count = 1.0f / uStepAmount;
      Appendf(out, "\t\tMODIFY UV USTEP %f %f\n", count, count * uvTracks[kUStepTimer].GetDuration());
    }
    if (uvTrackBits & UVTrackBit::VSTEP) {
      const float count = 1.0f / vStepAmount;
      Appendf(out, "\t\tMODIFY UV VSTEP %f %f\n", count, count * uvTracks[kVStepTimer].GetDuration());
    }
  }
  if (flags & StageFlag::MODIFY_ALPHA) out += "\t\tMODIFY ALPHA " + WaveText(alphaTrack);
  if (flags & StageFlag::MODIFY_VERTEX) out += "\t\tMODIFY VERTEX\n";
  if (flags & StageFlag::MODIFY_EMISSIVE) out += "\t\tMODIFY EMISSIVE " + WaveText(emissiveTrack);
  if (flags & StageFlag::AMBIENT) AppendColour(out, "AMBIENT", ambient);
  if (flags & StageFlag::DIFFUSE) AppendColour(out, "DIFFUSE", diffuse);
  if (flags & StageFlag::EMISSIVE) AppendColour(out, "EMISSIVE", emissive);
  if (flags & StageFlag::SPECULAR) AppendColour(out, "SPECULAR", specular);
  if (flags & StageFlag::COLOUR) AppendColour(out, "COLOUR", colour);
  if (flags & StageFlag::SHININESS) Appendf(out, "\t\tSHININESS %f\n", shininess);
  if (flags & StageFlag::BLEND) out += "\t\tBLEND\n";
  if (flags & StageFlag::BACK) out += (flags & StageFlag::FRONT) ? "\t\tSIDE BOTH\n" : "\t\tSIDE BACK\n";
  out += "\t}\n";
}
