#include "asset_maker/ogg_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vorbis/vorbisenc.h>

namespace {

bool write_page(std::FILE* f, const ogg_page& page) {
    return std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), f) ==
               static_cast<std::size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), f) ==
               static_cast<std::size_t>(page.body_len);
}

// Everything the encoder needs, torn down in reverse order whatever happens.
struct encoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool analysing = false;

    encoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~encoder() {
        if (analysing) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    encoder(const encoder&) = delete;
    encoder& operator=(const encoder&) = delete;

    // Hands finished blocks to the stream and writes every full page.
    bool drain(std::FILE* f) {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    if (!write_page(f, page)) {
                        return false;
                    }
                }
            }
        }
        return true;
    }
};

} // namespace

bool ogg_writer::write(const std::string& path, const std::vector<float>& samples, int channels,
                       int sample_rate, float quality, int serial, const std::string& title) {
    encoder enc;
    if (vorbis_encode_init_vbr(&enc.info, channels, sample_rate, quality) != 0) {
        return false;
    }
    vorbis_comment_add_tag(&enc.comment, "TITLE", title.c_str());
    vorbis_analysis_init(&enc.dsp, &enc.info);
    vorbis_block_init(&enc.dsp, &enc.block);
    ogg_stream_init(&enc.stream, serial);
    enc.analysing = true;

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = true;

    ogg_packet id;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&enc.dsp, &enc.comment, &id, &comments, &codebooks);
    ogg_stream_packetin(&enc.stream, &id);
    ogg_stream_packetin(&enc.stream, &comments);
    ogg_stream_packetin(&enc.stream, &codebooks);
    // The headers get pages of their own, as players expect.
    ogg_page page;
    while (ok && ogg_stream_flush(&enc.stream, &page) != 0) {
        ok = write_page(f, page);
    }

    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    constexpr std::size_t chunk = 4096;
    for (std::size_t done = 0; ok && done < frames; done += chunk) {
        const std::size_t n = std::min(chunk, frames - done);
        float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c) {
                buffer[c][i] = samples[(done + i) * static_cast<std::size_t>(channels) +
                                       static_cast<std::size_t>(c)];
            }
        }
        vorbis_analysis_wrote(&enc.dsp, static_cast<int>(n));
        ok = enc.drain(f);
    }
    if (ok) {
        vorbis_analysis_wrote(&enc.dsp, 0); // end of stream
        ok = enc.drain(f);
    }
    while (ok && ogg_stream_flush(&enc.stream, &page) != 0) {
        ok = write_page(f, page);
    }
    return std::fclose(f) == 0 && ok;
}
