#include "content/kit/DataFolder.h"

#include "content/kit/PngWriter.h"

void DataFolder::Picture(const std::string& name, const Image& image) {
  ok_ = WritePng(Path(name), image, true) && ok_;
}

void DataFolder::OpaquePicture(const std::string& name, const Image& image) {
  ok_ = WritePng(Path(name), image, false) && ok_;
}

void DataFolder::Text(const std::string& name, const std::string& text) {
  ok_ = WriteBytes(Path(name), std::vector<uint8_t>(text.begin(), text.end())) && ok_;
}

void DataFolder::Bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  ok_ = WriteBytes(Path(name), bytes) && ok_;
}
