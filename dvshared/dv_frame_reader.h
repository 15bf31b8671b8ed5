#pragma once
// DvFrameReader: reads and patches the subcode and VAUX packs of one DV frame
// (IEC 61834 / SMPTE 314M "dvsd", as carried in MEDIASUBTYPE_dvsd samples).
//
// The reader either refers to a caller's buffer (Attach, no copy, nothing
// allocated per frame) or owns a private copy (Copy). Readers queued by the
// frame server are destroyed by other modules, so the destructor is virtual.
//
// Short buffers: a frame is decoded only when the buffer holds at least the
// frame size that its own header announces (144000 bytes for 625/50, 120000
// for 525/60). A shorter buffer is a truncated frame: every pack query reports
// "not found", FillInfo leaves the record untouched and the writers change
// nothing. So a damaged sample can neither be read past its end nor flip the
// system or 16:9 flag of the record.
#include <array>
#include <cstdint>
#include <memory>

#include "dvshared/dv_frame_info.h"

class DvFrameReader {
public:
    // A pack: the pack id (PC0) followed by PC1..PC4.
    using Pack = std::array<std::uint8_t, 5>;

    static constexpr std::uint32_t kFrameSize625 = 144000;
    static constexpr std::uint32_t kFrameSize525 = 120000;
    static constexpr std::int32_t kFrameMs625 = 40;
    static constexpr std::int32_t kFrameMs525 = 33;

    // Pack ids the reader decodes.
    static constexpr std::uint8_t kPackTimeCode = 0x13;         // subcode: time code
    static constexpr std::uint8_t kPackVideoSourceControl = 0x61;  // VAUX: display mode
    static constexpr std::uint8_t kPackRecordingDate = 0x62;    // subcode: recording date
    static constexpr std::uint8_t kPackRecordingTime = 0x63;    // subcode: recording time
    static constexpr std::uint8_t kPackAudioSource = 0x50;      // AAUX: sampling frequency, quantisation

    DvFrameReader() = default;
    virtual ~DvFrameReader();
    DvFrameReader(const DvFrameReader&) = delete;
    DvFrameReader& operator=(const DvFrameReader&) = delete;

    // Refers to data without copying (and drops an owned copy). The data stays
    // the caller's and must outlive its use through the reader.
    void Attach(std::uint8_t* data, std::uint32_t size);
    // Replaces the frame with a private copy of size bytes. Returns false when
    // the memory cannot be obtained; the reader is then empty.
    bool Copy(const std::uint8_t* data, std::uint32_t size);
    // Copy of another reader's bytes; an empty reader gives an empty reader.
    bool CopyFrom(const DvFrameReader& other);

    const std::uint8_t* Data() const { return data_; }
    std::uint32_t Size() const { return size_; }
    bool OwnsData() const { return owned_ != nullptr; }

    // System flag of the header block; false (525/60) for a buffer too short to hold it.
    bool Is625() const;
    // Bytes and milliseconds of one frame of this frame's own system.
    std::int32_t FrameSize() const;
    std::int32_t FrameDuration() const;
    // True when the buffer holds the whole frame its header announces.
    bool IsComplete() const;

    // First pack with the id, in the order sequence, block, slot; false when absent.
    bool FindSubcodePack(std::uint8_t id, Pack& pack) const;
    bool FindVauxPack(std::uint8_t id, Pack& pack) const;
    // First AAUX pack with the id in the first channel pair's audio blocks
    // (the first half of the frame's sequences), in the order sequence, block.
    bool FindAauxPack(std::uint8_t id, Pack& pack) const;
    // Overwrites the first subcode pack with the id by pack (its id byte included).
    bool WriteSubcodePack(std::uint8_t id, const Pack& pack);

    // VAUX pack 0x61 present with a 16:9 display mode.
    bool IsWide() const;
    // The first channel pair's sound format as the AAUX source pack (0x50)
    // gives it: sampling frequency and quantisation (PC4 bits 5-0), equal for
    // equal formats; -1 when the frame has no source pack.
    std::int32_t SoundFormat() const;
    // Decode the time code (pack 0x13) and the recording date and time (packs
    // 0x62 and 0x63). The outputs stay untouched unless every pack needed is present.
    bool GetTimeCode(std::int32_t& hours, std::int32_t& minutes, std::int32_t& seconds,
                     std::int32_t& frames) const;
    bool GetRecordingDateTime(std::int32_t& year, std::int32_t& month, std::int32_t& day,
                              std::int32_t& hour, std::int32_t& minute, std::int32_t& second) const;

    // Updates info from this frame: the time code and recording groups only
    // when their packs are present, then system, 16:9 flag and duration. A
    // truncated frame leaves info untouched and gives false.
    bool FillInfo(DvFrameInfo& info) const;

    // Rewrites the frame's time code pack as the position of frame frameCount
    // at this system's frame duration (hours do not wrap at 24). False when the
    // frame has no time code pack.
    bool WriteTimeCodeFromFrameCount(std::uint64_t frameCount);

private:
    std::int32_t SequenceCount() const;
    std::uint8_t* FindSubcodeSlot(std::uint8_t id) const;

    std::uint8_t* data_ = nullptr;
    std::uint32_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> owned_;  // the private copy data_ points into, if any
};
