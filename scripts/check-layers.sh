#!/usr/bin/env bash
# Lists every #include "..." that runs up a layer, with its file and line,
# and every source standing outside the layer of its header, and exits
# non-zero when there is one. `make test` runs it before the build.
#   scripts/check-layers.sh [source folder]
#
# The rules:
# - A folder includes its own files and those of the folders below it in
#   LAYERS; folders on one line stand beside each other and include neither
#   the other. game/main is the top of the program. game/rules (the disc's
#   rules) stands on the runtime beside the graphics, so it never reaches GL;
#   engine/ includes nothing of game/.
# - A tests/ folder includes its own layer's code and test support, and the
#   code and test support of the layers below.
# - physics/ includes only physics/ (and, outside its tests and benchmarks,
#   only the standard library's <...> headers); its folders follow
#   PHYSICS_LAYERS in the same way. Only engine/scene/cds (the collision
#   system built on it), tests, fuzz/ and physics' own benchmarks include
#   physics/.
# - content/kit includes only itself; content/, fuzz/ and tests include it.
# - content/game and fuzz/ stand on top and include anything, as do the
#   kit's tests (they read the kit's files back with the engine).
# - A header and the source file of its name count as one: the source
#   stands in its header's layer (in physics, its folder), and its includes
#   are judged from there. A source with no header beside it is paired with
#   the header of its name elsewhere under the same top folder.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# Bottom first.
LAYERS='
platform
engine/foundation
engine/runtime
engine/graphics game/rules
engine/scene engine/gui
engine/effects
engine/tools
engine/app
game/puzzle
game/shell
game/main
'
PHYSICS_LAYERS='
math
memory
body mesh
shapes
soup
contacts
dynamics
world
'

# Every source of the tree (build trees and hidden folders aside), so that a
# file outside the known layers is caught too.
mapfile -t files < <(find . -mindepth 1 \( -path './build*' -o -name '.*' \) -prune -o -type f \
  \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.inc' \) -print |
  sed 's|^\./||' | LC_ALL=C sort)
if [[ ${#files[@]} -eq 0 ]]; then
  echo "check-layers: no sources under $(pwd)" >&2
  exit 2
fi

# Input: the file list, then grep's "file:line:text" of every #include.
{
  printf 'FILE %s\n' "${files[@]}"
  grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "${files[@]}" || true
} | awk -v layers="$LAYERS" -v physicsLayers="$PHYSICS_LAYERS" '
function ranks(text, table,    lines, words, n, i, j, count) {
  n = split(text, lines, "\n")
  count = 0
  for (i = 1; i <= n; ++i) {
    if (split(lines[i], words, " ") == 0) continue
    ++count
    for (j in words) table[words[j]] = count
  }
}

# Collapses "a/./b" and "a/x/../b".
function normalise(path,    parts, n, i, out, depth, k) {
  n = split(path, parts, "/")
  depth = 0
  for (i = 1; i <= n; ++i) {
    if (parts[i] == "" || parts[i] == ".") continue
    if (parts[i] == ".." && depth > 0) { --depth; continue }
    out[++depth] = parts[i]
  }
  path = ""
  for (k = 1; k <= depth; ++k) path = path (k > 1 ? "/" : "") out[k]
  return path
}

function dirOf(path) { return sub(/\/[^\/]*$/, "", path) ? path : "" }

# The layer a path belongs to ("" when none), its role (code, tests or
# bench) and its folder in the layer (physics/<folder>, engine/scene/<folder>).
function classify(path, info,    parts, n) {
  n = split(path, parts, "/")
  info["layer"] = ""
  info["role"] = "code"
  info["sub"] = ""
  if (path ~ /\/tests\//) info["role"] = "tests"
  else if (path ~ /\/bench\//) info["role"] = "bench"
  if (parts[1] == "platform" || parts[1] == "fuzz") info["layer"] = parts[1]
  else if (parts[1] == "physics") { info["layer"] = "physics"; if (n > 2) info["sub"] = parts[2] }
  else if ((parts[1] == "engine" || parts[1] == "game" || parts[1] == "content") && n > 2) {
    info["layer"] = parts[1] "/" parts[2]
    if (n > 3) info["sub"] = parts[3]
  }
}

function onTop(info) {
  return info["layer"] == "fuzz" || info["layer"] == "content/game" ||
         (info["layer"] == "content/kit" && info["role"] == "tests")
}

# Why the include from s to t runs up a layer, or "" when it does not.
function verdict(s, t) {
  if (s["layer"] == "") return "the file stands in no layer of scripts/check-layers.sh"
  if (t["layer"] == "") return "it names no layer of the tree"

  if (s["layer"] == "physics") {
    if (t["layer"] != "physics") return "physics includes only physics and the standard library"
    if (s["role"] != "code") return ""
    if (t["role"] != "code") return "physics code includes no test support"
    if (!(s["sub"] in physicsRank)) return "physics/" s["sub"] " is not in PHYSICS_LAYERS of scripts/check-layers.sh"
    if (!(t["sub"] in physicsRank)) return "physics/" t["sub"] " is not in PHYSICS_LAYERS of scripts/check-layers.sh"
    if (s["sub"] == t["sub"] || physicsRank[t["sub"]] < physicsRank[s["sub"]]) return ""
    if (physicsRank[t["sub"]] == physicsRank[s["sub"]]) return "physics/" t["sub"] " stands beside physics/" s["sub"]
    return "physics/" t["sub"] " stands above physics/" s["sub"]
  }
  if (t["layer"] == "physics") {
    if ((s["layer"] == "engine/scene" && s["sub"] == "cds") || s["role"] == "tests" || onTop(s)) return ""
    return "only engine/scene/cds, tests, fuzz and the benchmarks include physics"
  }

  if (s["layer"] == "content/kit" && s["role"] == "code") {
    return t["layer"] == "content/kit" ? "" : "the kit includes only itself"
  }
  if (t["layer"] == "content/kit") {
    if (s["layer"] ~ /^content\// || s["role"] == "tests" || onTop(s)) return ""
    return "only content, fuzz and tests include the kit"
  }

  if (onTop(s)) return ""
  if (t["role"] == "tests" && s["role"] != "tests") return "only tests include test support"
  if (s["layer"] == t["layer"]) return ""
  if (s["layer"] ~ /^engine\// && t["layer"] ~ /^game\//) return "the engine includes nothing of the game"
  if (!(s["layer"] in layerRank)) return s["layer"] " is not in LAYERS of scripts/check-layers.sh"
  if (!(t["layer"] in layerRank)) return t["layer"] " stands above " s["layer"]
  if (layerRank[t["layer"]] < layerRank[s["layer"]]) return ""
  if (layerRank[t["layer"]] == layerRank[s["layer"]]) return t["layer"] " stands beside " s["layer"]
  return t["layer"] " stands above " s["layer"]
}

BEGIN {
  ranks(layers, layerRank)
  ranks(physicsLayers, physicsRank)
  found = 0
}

function baseOf(path) {
  sub(/^.*\//, "", path)
  sub(/\.[^.]*$/, "", path)
  return path
}

function topOf(path) { return substr(path, 1, index(path, "/") - 1) }

function isSource(path) { return path ~ /\.(c|cc|cpp)$/ }

function isHeader(path) { return path ~ /\.(h|hpp)$/ }

# Pairs every source with the header of its name ("" when it has none) and
# reports a source standing outside the layer of its header.
function pairSources(    i, path, key, dir, base, ext, n, candidates, si, hi) {
  for (i = 1; i <= fileCount; ++i) {
    path = fileList[i]
    if (!isHeader(path)) continue
    key = topOf(path) "|" baseOf(path)
    headersNamed[key] = (++headerCount[key] > 1) ? headersNamed[key] " " path : path
  }
  for (i = 1; i <= fileCount; ++i) {
    path = fileList[i]
    if (!isSource(path)) continue
    dir = dirOf(path)
    base = baseOf(path)
    header[path] = ""
    if ((dir "/" base ".h") in exists || (dir "/" base ".hpp") in exists) continue
    key = topOf(path) "|" base
    if (!(key in headersNamed)) continue
    n = split(headersNamed[key], candidates, " ")
    classify(path, si)
    if (n > 1) {
      printf "%s: several headers bear its name (%s): rename one, so that the check knows which it defines\n", path, headersNamed[key]
      ++found
      continue
    }
    classify(candidates[1], hi)
    if (hi["role"] != si["role"]) continue
    header[path] = candidates[1]
    if (hi["layer"] != si["layer"] || hi["sub"] != si["sub"]) {
      printf "%s: the code of %s stands outside the layer of its header\n", path, candidates[1]
      ++found
    }
  }
  paired = 1
}

/^FILE / { path = substr($0, 6); exists[path] = 1; fileList[++fileCount] = path; next }

!paired { pairSources() }

{
  first = index($0, ":")
  file = substr($0, 1, first - 1)
  rest = substr($0, first + 1)
  second = index(rest, ":")
  line = substr(rest, 1, second - 1)
  text = substr(rest, second + 1)
  # A source is judged from the place of its header.
  judged = (file in header && header[file] != "") ? header[file] : file
  classify(judged, s)
  counted = judged == file ? "" : " (counted with " judged ")"

  if (match(text, /<[^>]*>/)) {
    # Outside its tests and benchmarks, physics uses the standard library
    # alone, whose C++ headers carry neither a folder nor an extension.
    name = substr(text, RSTART + 1, RLENGTH - 2)
    if (s["layer"] == "physics" && s["role"] == "code" && name ~ /[\/.]/) {
      printf "%s:%s: #include <%s>: physics includes only physics and the standard library%s\n", file, line, name, counted
      ++found
    }
    next
  }
  if (!match(text, /"[^"]*"/)) next
  name = substr(text, RSTART + 1, RLENGTH - 2)

  # Resolved as the compiler does: beside the file, then (for tests and
  # benchmarks) in the tests folder of their layer, then from the root.
  dir = dirOf(file)
  target = normalise(dir "/" name)
  if (!(target in exists)) {
    target = ""
    if (s["role"] != "code") {
      testsRoot = s["layer"] "/tests"
      candidate = normalise(testsRoot "/" name)
      if (candidate in exists) target = candidate
    }
    if (target == "") {
      candidate = normalise(name)
      target = candidate in exists ? candidate : name
    }
  }
  classify(target, t)
  reason = verdict(s, t)
  if (reason != "") {
    printf "%s:%s: #include \"%s\": %s%s\n", file, line, name, reason, counted
    ++found
  }
}

END {
  if (found) {
    printf "check-layers: %d place%s where the layers are broken\n", found, found == 1 ? "" : "s" > "/dev/stderr"
    exit 1
  }
}
'
