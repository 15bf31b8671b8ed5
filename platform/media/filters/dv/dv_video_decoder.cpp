#include "platform/media/filters/dv/dv_video_decoder.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr std::size_t kRowOverrun = 64;  // room behind each scaled row for libswscale's overrun
// libswscale's vector code converts rows in groups of this many pixels and
// writes a whole last group even where the row ends inside it.
constexpr LONG kPixelGroup = 8;

}  // namespace

HRESULT DvVideoDecoder::Open(const DvSystem& system, int lowres) {
    Close();
    if (lowres < 0 || lowres > kMaxLowres) return E_INVALIDARG;
    const AVCodec* dv = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    if (!dv) return E_FAIL;
    CodecContextPtr codec(avcodec_alloc_context3(dv));
    FramePtr picture(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!codec || !picture || !packet) return E_OUTOFMEMORY;
    codec->lowres = lowres;
    // Slices of one frame decode in parallel; frame threads would delay each picture.
    codec->thread_type = FF_THREAD_SLICE;
    codec->thread_count = 0;
    if (avcodec_open2(codec.get(), dv, nullptr) < 0) return E_FAIL;

    system_ = &system;
    width_ = system.width >> lowres;
    height_ = system.height >> lowres;
    codec_ = std::move(codec);
    picture_ = std::move(picture);
    packet_ = std::move(packet);
    input_.assign(system.frameBytes + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    scratchStride_ = (std::size_t(width_) * 4 + 63) / 64 * 64 + kRowOverrun;
    scratch_.assign(scratchStride_ * std::size_t(height_), 0);
    return S_OK;
}

void DvVideoDecoder::Close() {
    scaler_.reset();
    packet_.reset();
    picture_.reset();
    codec_.reset();
    system_ = nullptr;
    width_ = height_ = 0;
}

HRESULT DvVideoDecoder::Decode(std::span<const BYTE> dvFrame, std::span<BYTE> dib) {
    if (!IsOpen()) return E_UNEXPECTED;
    const DvSystem* system = DvSystemOfFrame(dvFrame);
    if (!system || dib.size() < ImageBytes()) return E_INVALIDARG;
    if (system != system_) return VFW_E_TYPE_NOT_ACCEPTED;

    std::copy_n(dvFrame.begin(), system->frameBytes, input_.begin());
    packet_->data = input_.data();
    packet_->size = int(system->frameBytes);
    if (avcodec_send_packet(codec_.get(), packet_.get()) < 0) return E_FAIL;
    if (avcodec_receive_frame(codec_.get(), picture_.get()) < 0) return E_FAIL;
    const AVFrame& picture = *picture_;
    if (picture.width != width_ || picture.height != height_) {
        av_frame_unref(picture_.get());
        return E_FAIL;
    }

    // Accurate rounding also keeps libswscale off its unscaled YUV to RGB shortcut,
    // which leaves the last pixels of rows whose width is no multiple of 8 unwritten.
    scaler_.reset(sws_getCachedContext(scaler_.release(), width_, height_, AVPixelFormat(picture.format), width_,
                                       height_, AV_PIX_FMT_BGRA, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr,
                                       nullptr));
    if (!scaler_) {
        av_frame_unref(picture_.get());
        return E_OUTOFMEMORY;
    }
    const std::size_t rowBytes = std::size_t(width_) * 4;
    int scaled = 0;
    if (width_ % kPixelGroup == 0) {
        // Rows of whole pixel groups are written exactly: the picture goes
        // straight into the DIB, top row last, with no copy between.
        uint8_t* const rows[4] = {dib.data() + std::size_t(height_ - 1) * rowBytes, nullptr, nullptr, nullptr};
        const int strides[4] = {-int(rowBytes), 0, 0, 0};
        scaled = sws_scale(scaler_.get(), picture.data, picture.linesize, 0, height_, rows, strides);
    } else {
        // Other rows get a tail of up to a few dozen bytes past their end, so
        // they are written into padded rows of our own and the DIB gets exact
        // rows from there, bottom row first.
        uint8_t* const rows[4] = {scratch_.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {int(scratchStride_), 0, 0, 0};
        scaled = sws_scale(scaler_.get(), picture.data, picture.linesize, 0, height_, rows, strides);
        for (LONG y = 0; y < height_; ++y)
            std::memcpy(dib.data() + std::size_t(height_ - 1 - y) * rowBytes, scratch_.data() + y * scratchStride_,
                        rowBytes);
    }
    av_frame_unref(picture_.get());
    return scaled == height_ ? S_OK : E_FAIL;
}
