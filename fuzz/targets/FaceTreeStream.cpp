// The face-tree stream of a tree collision, read back through its callback.
#include <algorithm>
#include <cstring>

#include "fuzz/FuzzTarget.h"
#include "physics/memory/dgReport.h"
#include "physics/soup/dgAABBPolygonSoup.h"

namespace {

struct Stream {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
};

size_t ReadStream(void* handle, void* out, size_t bytes) {
  Stream& stream = *static_cast<Stream*>(handle);
  const size_t n = std::min(bytes, stream.size - stream.at);
  if (n > 0) std::memcpy(out, stream.data + stream.at, n);
  stream.at += n;
  return n;
}

int CountFace(void* context, const float*, int, const int*, int) {
  ++*static_cast<int*>(context);
  return 1;
}

}  // namespace

FUZZ_TARGET(FaceTreeStream) {
  // Every refusal says why; millions of inputs would bury the fuzzer's own lines.
  dgSetReportHook([](const char*) {});
  Stream stream{data, size};
  dgAABBPolygonSoup soup;
  if (!soup.Deserialize(ReadStream, &stream)) return;
  dgVector low, high;
  if (soup.GetAABB(low, high)) {
    int faces = 0;
    soup.ForAllFacesInAABB(low, high, CountFace, &faces);
  }
}
