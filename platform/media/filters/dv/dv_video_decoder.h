#pragma once
// DvVideoDecoder: decodes DV frames with libavcodec's dvvideo decoder at full,
// half, quarter or DC size (lowres 0 to 3) and converts them with libswscale
// to RGB32 DIB rows as Windows lays them out: bottom row first (positive
// biHeight), 4 bytes per pixel in the order blue, green, red, 255.
#include <span>
#include <vector>

#include "platform/com/hresult.h"
#include "platform/media/filters/dv/dv_system.h"
#include "platform/media/filters/dv/ffmpeg_handles.h"

class DvVideoDecoder {
public:
    static constexpr int kMaxLowres = 3;  // DC size: one pixel per 8x8 block

    // Prepares decoding of frames of `system` at 1 / 2^lowres of full size.
    // E_INVALIDARG for a lowres outside 0..3, E_FAIL when FFmpeg has no DV decoder.
    HRESULT Open(const DvSystem& system, int lowres);
    void Close();
    bool IsOpen() const { return bool(codec_); }

    LONG Width() const { return width_; }
    LONG Height() const { return height_; }
    // Bytes of one decoded picture: rows of Width() RGB32 pixels.
    DWORD ImageBytes() const { return DWORD(width_) * DWORD(height_) * 4; }

    // Decodes one DV frame into `dib`, which holds ImageBytes(). E_INVALIDARG
    // when the frame is short or the buffer small, VFW_E_TYPE_NOT_ACCEPTED when
    // the frame is of the other DV system, E_FAIL when it cannot be decoded.
    HRESULT Decode(std::span<const BYTE> dvFrame, std::span<BYTE> dib);

private:
    const DvSystem* system_ = nullptr;
    LONG width_ = 0;
    LONG height_ = 0;
    CodecContextPtr codec_;
    FramePtr picture_;
    PacketPtr packet_;
    ScalerPtr scaler_;
    std::vector<BYTE> input_;    // the frame with the zero padding FFmpeg's bit reader needs
    std::vector<BYTE> scratch_;  // the scaled picture, top row first, in padded rows
    std::size_t scratchStride_ = 0;
};
