#include "platform/media/filters/dv/ffmpeg_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

void CodecContextRelease::operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
void FrameRelease::operator()(AVFrame* frame) const { av_frame_free(&frame); }
void PacketRelease::operator()(AVPacket* packet) const { av_packet_free(&packet); }
void ScalerRelease::operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
