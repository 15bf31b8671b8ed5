#pragma once
// Owning handles for the FFmpeg objects the DV decoder holds: each frees its
// object with the library's own release call.
#include <memory>

extern "C" {
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
}

struct CodecContextRelease {
    void operator()(AVCodecContext* context) const;
};
struct FrameRelease {
    void operator()(AVFrame* frame) const;
};
struct PacketRelease {
    void operator()(AVPacket* packet) const;
};
struct ScalerRelease {
    void operator()(SwsContext* scaler) const;
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextRelease>;
using FramePtr = std::unique_ptr<AVFrame, FrameRelease>;
using PacketPtr = std::unique_ptr<AVPacket, PacketRelease>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerRelease>;
