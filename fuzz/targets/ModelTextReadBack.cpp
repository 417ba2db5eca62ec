// The text export's read-back layout, read from an open file as the text
// codec's ReadBody does.
#include "engine/foundation/File.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/TextExportCodec.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(ModelTextReadBack) {
  const std::string path = fuzz::ScratchFile("model.txt", data, size);
  {
    FileText in;
    if (!(in.OpenRead(path.c_str()) & File::kOpen)) return;
    C3MEModel model;
    CTXTCodec(&model).ReadBody(in);
  }
  fuzz::ReleaseSharedResources();
}
