#pragma once
// AviWriter: writes DV frames into an AVI file, DV type 1 (one interleaved
// 'iavs' stream whose format is DVINFO) or DV type 2 (a 'vids' dvsd stream and
// a PCM 'auds' stream, the audio of each frame written right after it).
//
// The first RIFF ('AVI ') carries the headers and the legacy 'idx1' index;
// when a RIFF would grow past the limit the writer goes on in 'AVIX' RIFFs
// (OpenDML), each with standard indexes 'ix00'/'ix01' reached from the super
// indexes 'indx' in the headers, and 'dmlh' holds the total frame count.
//
// Crash safety: after every frame the sizes of the current RIFF and its
// 'movi' list are brought up to date, at least once a second of frames and of
// time the frame counts and lengths of the headers, and after every finished
// RIFF the super indexes too, so a file that is never closed reads up to its
// last whole frame and says how many it holds. A frame that does not fit on
// the disk is taken back whole and its error returned; the frames before it stay.
//
// Repair: Resume takes such a file back, SkipFrame goes over its frames as
// WriteFrame would have placed them, and Close gives the file the indexes and
// headers it would have had had it been closed; no frame is touched.
//
// Output is deterministic: the same frames give the same bytes.
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/media/filters/avi/avi_layout.h"
#include "platform/media/filters/avi/riff_builder.h"
#include "platform/media/filters/avi/riff_file.h"
#include "platform/media/filters/dv/dv_system.h"
#include "platform/media/formats.h"

enum class DvAviType { Type1, Type2 };

struct DvAviFormat {
    DvAviType type = DvAviType::Type2;
    const DvSystem* system = &kDvSystem625;
    DVINFO dvInfo{};                    // the stream format of type 1
    std::optional<WAVEFORMATEX> audio;  // the audio stream of type 2; none writes video alone
};

class AviWriter {
public:
    // Super index entries reserved in the headers: one per RIFF, so 256 GiB at the 1 GiB limit.
    static constexpr DWORD kSuperIndexCapacity = 256;

    // `riffLimit` bounds the size of every RIFF; tests lower it to cross it with small files.
    explicit AviWriter(std::uint64_t riffLimit = avi::kOpenDmlRiffLimit);
    // Closes the file if it is still open; call Close to learn its result.
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Takes an empty file opened for writing and writes the headers.
    // E_INVALIDARG for a format that cannot be written (type 1 with audio, audio
    // that is not PCM); E_UNEXPECTED when a file is already open.
    HRESULT Open(UniqueFd file, const DvAviFormat& format);
    // Appends one DV frame and, for type 2 with audio, the PCM samples that go
    // with it (whole sample frames; may be empty). On failure the file ends
    // after the previous frame.
    HRESULT WriteFrame(std::span<const BYTE> dvFrame, std::span<const BYTE> pcm = {});
    // Writes the indexes, completes the headers and closes the file. S_FALSE when
    // nothing is open. When the indexes do not fit on the disk the file is
    // closed without them (still readable) and the error is returned.
    HRESULT Close();

    // Takes back a file this writer began and never closed, open for reading
    // and writing, with the format it was written in. Nothing reaches the file
    // before Close; Abandon leaves it as it was, and so does a `dryRun`, whose
    // Close only finds out whether it would change the file.
    HRESULT Resume(UniqueFd file, const DvAviFormat& format, bool dryRun = false);
    // Goes over the next frame of a resumed file, of `videoBytes` and `pcmBytes`
    // (0: none), where WriteFrame would have put it: `offset` is where its video
    // chunk must begin in the file. Then Close writes what follows the frames
    // and, where they differ, the headers. Resume refuses a file whose fixed
    // header fields are not as this writer writes them, VFW_E_INVALID_FILE_FORMAT.
    HRESULT SkipFrame(DWORD videoBytes, DWORD pcmBytes, std::uint64_t& offset);
    // Drops a resumed file unchanged.
    void Abandon();
    // After Close of a resumed file: whether any byte of it changed (or would have).
    bool Changed() const { return file_.Changed(); }

    bool IsOpen() const { return file_.IsOpen(); }
    std::uint64_t FrameCount() const { return streams_.empty() ? 0 : streams_[0].units; }

private:
    struct ChunkRef {  // where a data chunk's bytes lie
        std::uint64_t dataOffset;
        DWORD size;
    };
    struct SuperEntry {  // one standard index chunk, as the super index lists it
        std::uint64_t offset;
        DWORD size;
        DWORD duration;  // stream ticks: frames, or samples for audio
    };
    struct Stream {
        Stream(DWORD chunk, DWORD index, DWORD align, DWORD largest)
            : chunkId(chunk), indexId(index), blockAlign(align), largestChunk(largest) {}
        DWORD chunkId;
        DWORD indexId;
        DWORD blockAlign;  // audio: bytes per sample frame; video: 0, a chunk is a frame
        DWORD largestChunk = 0;
        std::uint64_t units = 0;                // frames, or samples for audio
        std::vector<ChunkRef> riffChunks;       // chunks of the RIFF being written
        std::uint64_t riffUnits = 0;            // ticks of those chunks
        std::vector<SuperEntry> superEntries;   // one per finished RIFF
    };
    struct LegacyEntry {  // one 'idx1' record of the first RIFF
        DWORD chunkId;
        DWORD offset;  // of the chunk header, from the 'movi' list type
        DWORD size;
    };

    RiffBuilder BuildHeaders() const;
    void PutMainHeader(RiffBuilder& out) const;
    void PutStreamList(RiffBuilder& out, const Stream& stream) const;
    void PutSuperIndex(RiffBuilder& out, const Stream& stream) const;
    RiffBuilder BuildStandardIndex(const Stream& stream) const;
    RiffBuilder BuildLegacyIndex() const;

    HRESULT CheckFormat(const DvAviFormat& format) const;
    void SetUp(const DvAviFormat& format);
    HRESULT MakeRoom(std::uint64_t videoBytes, std::uint64_t pcmBytes);
    void Account(std::uint64_t offset, std::span<const DWORD> chunkSizes);
    HRESULT RefreshHeadersWhenDue();
    bool HeadersAreOurs(std::span<const BYTE> headers) const;
    bool Resumed() const { return resumed_; }
    void Reset();
    HRESULT StartRiff();
    HRESULT FinishRiff();
    HRESULT RewriteHeaders();
    HRESULT UpdateRiffSizes();
    HRESULT AppendData(Stream& stream, std::span<const BYTE> data);
    std::uint64_t RiffSizeWith(std::uint64_t videoBytes, std::uint64_t audioBytes) const;

    const std::uint64_t riffLimit_;
    RiffFile file_;
    DvAviFormat format_;
    std::vector<Stream> streams_;        // stream 0 video (or interleaved), stream 1 audio
    std::vector<LegacyEntry> legacy_;    // 'idx1' records while the first RIFF is written
    bool riffOpen_ = false;              // a RIFF and its 'movi' list are open for data
    int riffCount_ = 0;                  // RIFFs begun, the first included
    std::uint64_t riffStart_ = 0;        // offset of the current 'RIFF' header
    std::uint64_t moviStart_ = 0;        // offset of the current 'movi' LIST header
    std::uint64_t framesInFirstRiff_ = 0;
    std::size_t headerSize_ = 0;         // the headers never change size once written
    // Header refresh while writing: frames and time since the headers were last written.
    std::uint64_t framesSinceRefresh_ = 0;
    std::chrono::steady_clock::time_point lastRefresh_{};
    bool resumed_ = false;  // taken back by Resume: nothing is written before Close
};
