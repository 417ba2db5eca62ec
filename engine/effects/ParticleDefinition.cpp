// The tab-indented text form of a particle system.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/effects/ParticleManager.h"
#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/String.h"
#include "engine/graphics/MaterialManager.h"

namespace {

// Reads the next line; false at the end of the file.
bool NextLine(File& file, String& line) {
  line = "";
  if (!file.IsOpen()) return false;
  file.ReadLine(line);
  return line.Length() > 0;
}

bool Fail(const char* what) {
  LogWarning("Particle definition: bad %s line", what);
  return false;
}

// Every number of a definition feeds the per-frame motion and the count of
// particles to spawn; beyond these bounds it only overflows them.
constexpr float kMaxMagnitude = 1.0e6f;
constexpr float kMaxEmitRate = 1.0e5f;  // particles per second

bool Usable(float value) { return std::isfinite(value) && std::fabs(value) <= kMaxMagnitude; }

bool Usable(const Vector3& v) { return Usable(v.x) && Usable(v.y) && Usable(v.z); }

bool OutOfRange(const char* key) {
  LogWarning("Particle definition: %s out of range", key);
  return false;
}

}  // namespace

bool ParticleManager::Read(File& file) {
  String line;
  char word[128] = {};
  if (!NextLine(file, line) || std::sscanf(line.Chars(), "%127s", word) != 1) return Fail("name");
  name = word;
  if (!NextLine(file, line)) return Fail("opening brace");
  int32_t count = 0;
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [CAPACITY] = %d", &count) != 1) return Fail("[CAPACITY]");
  if (count < 0 || count > kMaxCapacity) return Fail("[CAPACITY]");
  int32_t q = 0, space = 0, value = 0, flag = 0;
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [RENDERING] = %d %d %d %d", &q, &space, &value, &flag) != 4)
    return Fail("[RENDERING]");
  int32_t bb = 0;
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [BILLBOARD] = %d", &bb) != 1) return Fail("[BILLBOARD]");
  Vector3 up = billboardUp, right = billboardRight;
  if (bb == 1) {
    if (!NextLine(file, line)) return Fail("billboard brace");
    if (!NextLine(file, line) || std::sscanf(line.Chars(), " [BBUP] = (%f, %f, %f)", &up.x, &up.y, &up.z) != 3)
      return Fail("[BBUP]");
    if (!NextLine(file, line) ||
        std::sscanf(line.Chars(), " [BBRIGHT] = (%f, %f, %f)", &right.x, &right.y, &right.z) != 3)
      return Fail("[BBRIGHT]");
    if (!NextLine(file, line)) return Fail("billboard brace");
  }
  float rgba[4] = {};
  if (!NextLine(file, line) ||
      std::sscanf(line.Chars(), " [COLOUR] = (%f, %f, %f, %f)", &rgba[0], &rgba[1], &rgba[2], &rgba[3]) != 4)
    return Fail("[COLOUR]");
  int32_t changerOn = 0, countdown = 0, period = 0;
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [CHANGER] = %d %d %d", &changerOn, &countdown, &period) != 3)
    return Fail("[CHANGER]");
  int32_t type = 0;
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [EMITTER] = %d", &type) != 1) return Fail("[EMITTER]");
  if (!NextLine(file, line)) return Fail("emitter brace");
  float sMin = 0, sMax = 0, sRate = 0, fTime = 0, speed = 0, rate = 0, life = 0;
  int32_t fOn = 0;
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [SIZE] = %f %f %f", &sMin, &sMax, &sRate) != 3)
    return Fail("[SIZE]");
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [FADE] = %d %f", &fOn, &fTime) != 2) return Fail("[FADE]");
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [MAX SPEED] = %f", &speed) != 1) return Fail("[MAX SPEED]");
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [EMIT RATE] = %f", &rate) != 1) return Fail("[EMIT RATE]");
  if (!NextLine(file, line)) return Fail("emitter brace");
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [LIFESPAN] = %f", &life) != 1) return Fail("[LIFESPAN]");
  float g = 0, w = 0;
  Vector3 gDir, wDir;
  if (!NextLine(file, line) ||
      std::sscanf(line.Chars(), " [GRAVITY] = (%f) (%f, %f, %f)", &g, &gDir.x, &gDir.y, &gDir.z) != 4)
    return Fail("[GRAVITY]");
  if (!NextLine(file, line) ||
      std::sscanf(line.Chars(), " [WIND] = (%f) (%f, %f, %f)", &w, &wDir.x, &wDir.y, &wDir.z) != 4)
    return Fail("[WIND]");
  char materialName[128] = {};
  if (!NextLine(file, line) || std::sscanf(line.Chars(), " [MATERIAL] = %127s", materialName) != 1)
    return Fail("[MATERIAL]");
  NextLine(file, line);  // closing brace; a missing one at the end is harmless

  if (!Usable(up) || !Usable(right)) return OutOfRange("[BILLBOARD]");
  if (!Usable(rgba[0]) || !Usable(rgba[1]) || !Usable(rgba[2]) || !Usable(rgba[3])) return OutOfRange("[COLOUR]");
  // The countdown restarts at the period and counts down from there.
  if (period < 0) return OutOfRange("[CHANGER]");
  if (!Usable(sMin) || !Usable(sMax) || !Usable(sRate)) return OutOfRange("[SIZE]");
  if (!Usable(fTime)) return OutOfRange("[FADE]");
  if (!Usable(speed)) return OutOfRange("[MAX SPEED]");
  if (!(rate >= 0.0f && rate <= kMaxEmitRate)) return OutOfRange("[EMIT RATE]");
  if (!Usable(life)) return OutOfRange("[LIFESPAN]");
  if (!Usable(g) || !Usable(gDir)) return OutOfRange("[GRAVITY]");
  if (!Usable(w) || !Usable(wDir)) return OutOfRange("[WIND]");

  Create(count);
  quads = q;
  spaceMode = space;
  renderingValue = value;
  renderingFlag = flag != 0;
  billboard = bb != 0;
  billboardUp = up;
  billboardRight = right;
  for (int i = 0; i < 4; ++i) colour[i] = rgba[i];
  changerEnabled = changerOn != 0;
  changerCountdown = countdown;
  changerPeriod = period;
  emitterType = type;
  sizeMin = sMin;
  sizeMax = sMax;
  sizeRate = sRate;
  fadeOn = fOn != 0;
  fadeTime = fTime;
  maxSpeed = speed;
  emitRate = rate;
  lifespan = life;
  gravity = g;
  gravityDirection = gDir;
  wind = w;
  windDirection = wDir;
  material = std::strcmp(materialName, "None") == 0 ? nullptr : CMATManager::GetInstance()->GetMaterial(materialName);
  return true;
}

void ParticleManager::Write(File& file) const {
  char text[256];
  auto put = [&](const char* format, auto... values) {
    std::snprintf(text, sizeof(text), format, values...);
    file.WriteString(text);
  };
  put("%s\n", name.Length() > 0 ? name.Chars() : "Particles");
  put("{\n");
  put("\t[CAPACITY] = %d\n", capacity);
  put("\t[RENDERING] = %d %d %d %d\n", quads, spaceMode, renderingValue, renderingFlag ? 1 : 0);
  put("\t[BILLBOARD] = %d\n", billboard ? 1 : 0);
  if (billboard) {
    put("\t{\n");
    put("\t\t[BBUP] = (%g, %g, %g)\n", billboardUp.x, billboardUp.y, billboardUp.z);
    put("\t\t[BBRIGHT] = (%g, %g, %g)\n", billboardRight.x, billboardRight.y, billboardRight.z);
    put("\t}\n");
  }
  put("\t[COLOUR] = (%g, %g, %g, %g)\n", colour[0], colour[1], colour[2], colour[3]);
  put("\t[CHANGER] = %d %d %d\n", changerEnabled ? 1 : 0, changerCountdown, changerPeriod);
  put("\t[EMITTER] = %d\n", emitterType);
  put("\t{\n");
  put("\t\t[SIZE] = %g %g %g\n", sizeMin, sizeMax, sizeRate);
  put("\t\t[FADE] = %d %g\n", fadeOn ? 1 : 0, fadeTime);
  put("\t\t[MAX SPEED] = %g\n", maxSpeed);
  put("\t\t[EMIT RATE] = %g\n", emitRate);
  put("\t}\n");
  put("\t[LIFESPAN] = %g\n", lifespan);
  put("\t[GRAVITY] = (%g) (%g, %g, %g)\n", gravity, gravityDirection.x, gravityDirection.y, gravityDirection.z);
  put("\t[WIND] = (%g) (%g, %g, %g)\n", wind, windDirection.x, windDirection.y, windDirection.z);
  put("\t[MATERIAL] = %s\n", material != nullptr ? material->Name().Chars() : "None");
  put("}\n");
}
