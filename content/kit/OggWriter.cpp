#include "content/kit/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

constexpr int kStreamSerial = 0x4E4F5641;  // fixed: a random one would change the bytes
constexpr long kBlockFrames = 1024;

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<uint8_t> EncodeOggVorbis(const SoundMix& sound, float quality) {
  std::vector<uint8_t> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (sound.channels.empty() ||
      vorbis_encode_init_vbr(&info, long(sound.channels.size()), long(sound.rate), quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, kStreamSerial);

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  // The headers stand on pages of their own, before any audio.
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  const long frames = long(sound.Frames());
  long written = 0;
  bool ended = false;
  while (!ended) {
    const long count = std::min(kBlockFrames, frames - written);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, int(count));
      for (size_t c = 0; c < sound.channels.size(); ++c) {
        std::copy_n(sound.channels[c].begin() + written, count, buffer[c]);
      }
      vorbis_analysis_wrote(&dsp, int(count));
      written += count;
    } else {
      vorbis_analysis_wrote(&dsp, 0);  // the end of the stream
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          AppendPage(out, page);
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
    if (count <= 0 && !ended) {
      while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
      ended = true;
    }
  }

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}
