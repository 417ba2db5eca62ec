// Ogg Vorbis tone writer over libvorbisenc.

#include "OggTone.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kTwoPi = 6.283185307179586;

bool WritePage(FILE* file, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, file) == static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, page.body_len, file) == static_cast<size_t>(page.body_len);
}

}  // namespace

bool WriteOggTone(const std::string& path, int channels, long rate, long frames) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;

  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, 0.1f) != 0) {
    vorbis_info_clear(&info);
    std::fclose(file);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1234);

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  bool ok = true;
  while (ogg_stream_flush(&stream, &page) != 0) ok = WritePage(file, page) && ok;

  const long kBlock = 1024;
  long written = 0;
  bool ended = false;
  while (!ended) {
    long count = std::min(kBlock, frames - written);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (long i = 0; i < count; ++i) {
        float value = 0.5f * std::sin(kTwoPi * 440.0 * static_cast<double>(written + i) / rate);
        for (int c = 0; c < channels; ++c) buffer[c][i] = value;
      }
      vorbis_analysis_wrote(&dsp, static_cast<int>(count));
      written += count;
    } else {
      vorbis_analysis_wrote(&dsp, 0);  // end of stream
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          ok = WritePage(file, page) && ok;
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
    if (count <= 0 && !ended) {
      while (ogg_stream_flush(&stream, &page) != 0) ok = WritePage(file, page) && ok;
      ended = true;
    }
  }

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return std::fclose(file) == 0 && ok;
}
