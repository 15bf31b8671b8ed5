#include "platform/media/filters/avi/avi_writer.h"

#include <algorithm>
#include <cerrno>

using namespace avi;

namespace {

constexpr DWORD kDefaultQuality = 0xFFFFFFFF;  // strh dwQuality: the stream's default
constexpr std::uint64_t kLargestChunk = 0x7FFFFFFF;

}  // namespace

AviWriter::AviWriter(std::uint64_t riffLimit) : riffLimit_(riffLimit) {}

AviWriter::~AviWriter() {
    if (Resumed())
        Abandon();
    else
        Close();
}

HRESULT AviWriter::CheckFormat(const DvAviFormat& format) const {
    if (IsOpen()) return E_UNEXPECTED;
    if (!format.system) return E_INVALIDARG;
    if (format.audio) {
        const WAVEFORMATEX& wave = *format.audio;
        if (format.type == DvAviType::Type1 || wave.wFormatTag != WAVE_FORMAT_PCM || wave.nBlockAlign == 0 ||
            wave.nChannels == 0 || wave.nSamplesPerSec == 0)
            return E_INVALIDARG;
    }
    return S_OK;
}

void AviWriter::SetUp(const DvAviFormat& format) {
    format_ = format;
    streams_.clear();
    streams_.emplace_back(kChunkVideo0, kStdIndex0, 0, format.system->frameBytes);
    if (format.audio) streams_.emplace_back(kChunkAudio1, kStdIndex1, format.audio->nBlockAlign, 0);
    legacy_.clear();
    framesInFirstRiff_ = 0;
    framesSinceRefresh_ = 0;
    lastRefresh_ = std::chrono::steady_clock::now();
    headerSize_ = BuildHeaders().Size();
    riffStart_ = 0;
    moviStart_ = 12 + headerSize_;
    riffCount_ = 1;
    riffOpen_ = true;
}

void AviWriter::Reset() {
    streams_.clear();
    legacy_.clear();
    resumed_ = false;
    riffOpen_ = false;
    riffCount_ = 0;
}

HRESULT AviWriter::Open(UniqueFd file, const DvAviFormat& format) {
    if (const HRESULT hr = CheckFormat(format); FAILED(hr)) return hr;
    if (!file) return E_INVALIDARG;
    SetUp(format);
    RiffBuilder start;
    start.BeginList(kFormAvi, kRiff);
    start.PutBytes(BuildHeaders().Bytes());
    start.BeginList(kListMovi, kList);

    file_ = RiffFile(std::move(file));
    HRESULT hr = file_.Append(start.Bytes());
    if (SUCCEEDED(hr)) hr = UpdateRiffSizes();
    if (FAILED(hr)) {
        file_.Close();
        Reset();
    }
    return hr;
}

HRESULT AviWriter::Resume(UniqueFd file, const DvAviFormat& format, bool dryRun) {
    if (const HRESULT hr = CheckFormat(format); FAILED(hr)) return hr;
    if (!file) return E_INVALIDARG;
    SetUp(format);
    file_ = RiffFile::OverExisting(std::move(file), dryRun);
    resumed_ = true;
    std::vector<BYTE> start;
    HRESULT hr = file_.ReadAt(0, 12 + headerSize_ + 12, start);
    if (SUCCEEDED(hr) && start.size() < 12 + headerSize_ + 12) hr = VFW_E_FILE_TOO_SHORT;
    const auto fourCCAt = [&](std::size_t at) {
        return DWORD(start[at]) | DWORD(start[at + 1]) << 8 | DWORD(start[at + 2]) << 16 | DWORD(start[at + 3]) << 24;
    };
    if (SUCCEEDED(hr) && (fourCCAt(0) != kRiff || fourCCAt(8) != kFormAvi || fourCCAt(12 + headerSize_) != kList ||
                          fourCCAt(20 + headerSize_) != kListMovi))
        hr = VFW_E_INVALID_FILE_FORMAT;
    if (SUCCEEDED(hr) && !HeadersAreOurs(std::span(start).subspan(12, headerSize_))) hr = VFW_E_INVALID_FILE_FORMAT;
    if (SUCCEEDED(hr)) hr = file_.Skip(start.size());
    if (FAILED(hr)) Abandon();
    return hr;
}

void AviWriter::Abandon() {
    file_ = RiffFile();
    Reset();
}

HRESULT AviWriter::MakeRoom(std::uint64_t videoBytes, std::uint64_t pcmBytes) {
    HRESULT hr = S_OK;
    if (riffOpen_ && !streams_[0].riffChunks.empty() && RiffSizeWith(videoBytes, pcmBytes) > riffLimit_) {
        // Every RIFF needs a super index entry, and their room in the headers is fixed.
        if (riffCount_ >= int(kSuperIndexCapacity)) return HResultFromWriteErrno(EFBIG);
        if (FAILED(hr = FinishRiff())) return hr;
    }
    if (!riffOpen_ && FAILED(hr = StartRiff())) return hr;
    return S_OK;
}

void AviWriter::Account(std::uint64_t offset, std::span<const DWORD> chunkSizes) {
    for (std::size_t i = 0; i < chunkSizes.size(); ++i) {
        Stream& stream = streams_[i];
        const DWORD size = chunkSizes[i];
        const std::uint64_t ticks = stream.blockAlign ? size / stream.blockAlign : 1;
        stream.riffChunks.push_back({offset + 8, size});
        stream.riffUnits += ticks;
        stream.units += ticks;
        stream.largestChunk = std::max(stream.largestChunk, size);
        if (riffCount_ == 1) legacy_.push_back({stream.chunkId, DWORD(offset - (moviStart_ + 8)), size});
        offset += RiffFile::ChunkBytes(size);
    }
    if (riffCount_ == 1) ++framesInFirstRiff_;
}

HRESULT AviWriter::WriteFrame(std::span<const BYTE> dvFrame, std::span<const BYTE> pcm) {
    if (!IsOpen() || Resumed()) return E_UNEXPECTED;
    if (dvFrame.empty() || dvFrame.size() > kLargestChunk) return E_INVALIDARG;
    const Stream* audio = streams_.size() > 1 ? &streams_[1] : nullptr;
    if (!pcm.empty() && (!audio || pcm.size() % audio->blockAlign != 0 || pcm.size() > kLargestChunk))
        return E_INVALIDARG;
    if (const HRESULT hr = MakeRoom(dvFrame.size(), pcm.size()); FAILED(hr)) return hr;

    // Video and audio of one frame go out in one write, so a frame is in the file whole or not at all.
    std::vector<RiffFile::Chunk> chunks = {{streams_[0].chunkId, dvFrame}};
    if (!pcm.empty()) chunks.push_back({audio->chunkId, pcm});
    const std::uint64_t offset = file_.Size();
    if (const HRESULT hr = file_.AppendChunks(chunks); FAILED(hr)) return hr;
    std::vector<DWORD> sizes;
    for (const RiffFile::Chunk& chunk : chunks) sizes.push_back(DWORD(chunk.data.size()));
    Account(offset, sizes);
    if (const HRESULT hr = UpdateRiffSizes(); FAILED(hr)) return hr;
    return RefreshHeadersWhenDue();
}

HRESULT AviWriter::RefreshHeadersWhenDue() {
    // Once a second of frames, and once a second of time for frames that come slower:
    // a file cut off at any moment then says how many frames it holds, give or take a second's.
    const DvSystem& system = *format_.system;
    const auto now = std::chrono::steady_clock::now();
    if (++framesSinceRefresh_ * system.scale < system.rate && now - lastRefresh_ < std::chrono::seconds(1))
        return S_OK;
    framesSinceRefresh_ = 0;
    lastRefresh_ = now;
    return RewriteHeaders();
}

HRESULT AviWriter::SkipFrame(DWORD videoBytes, DWORD pcmBytes, std::uint64_t& offset) {
    if (!IsOpen() || !Resumed()) return E_UNEXPECTED;
    if (videoBytes == 0 || videoBytes > kLargestChunk) return E_INVALIDARG;
    if (pcmBytes != 0 && (streams_.size() < 2 || pcmBytes % streams_[1].blockAlign != 0 || pcmBytes > kLargestChunk))
        return E_INVALIDARG;
    if (const HRESULT hr = MakeRoom(videoBytes, pcmBytes); FAILED(hr)) return hr;
    offset = file_.Size();
    std::vector<DWORD> sizes = {videoBytes};
    if (pcmBytes != 0) sizes.push_back(pcmBytes);
    std::uint64_t bytes = 0;
    for (const DWORD size : sizes) bytes += RiffFile::ChunkBytes(size);
    if (const HRESULT hr = file_.Skip(bytes); FAILED(hr)) return hr;
    Account(offset, sizes);
    return S_OK;
}

HRESULT AviWriter::Close() {
    if (!IsOpen()) return S_FALSE;
    HRESULT hr = riffOpen_ ? FinishRiff() : S_OK;
    if (FAILED(hr)) {
        // No room for the indexes: the frames stay readable by a scan of the 'movi' list.
        UpdateRiffSizes();
        RewriteHeaders();
    }
    const HRESULT closed = file_.Close();
    Reset();
    return FAILED(hr) ? hr : closed;
}

bool AviWriter::HeadersAreOurs(std::span<const BYTE> headers) const {
    // The fields that grow with the file (counts, lengths, largest chunks, super
    // index entries) are the bytes where headers with every such field at zero
    // differ from headers with every one at its most; every other byte must be
    // as this writer writes it.
    const RiffBuilder fresh = BuildHeaders();
    if (headers.size() != fresh.Size()) return false;
    std::vector<bool> grows(fresh.Size(), false);
    for (const std::size_t entries : {kSuperIndexCapacity - 1, kSuperIndexCapacity}) {
        AviWriter most;
        most.format_ = format_;
        most.streams_ = streams_;
        most.framesInFirstRiff_ = 0xFFFFFFFF;
        for (Stream& stream : most.streams_) {
            stream.units = 0xFFFFFFFF;
            stream.largestChunk = 0xFFFFFFFF;
            stream.superEntries.assign(entries, {~std::uint64_t(0), 0xFFFFFFFF, 0xFFFFFFFF});
        }
        const RiffBuilder full = most.BuildHeaders();
        for (std::size_t i = 0; i < grows.size(); ++i) grows[i] = grows[i] || full.Bytes()[i] != fresh.Bytes()[i];
    }
    for (std::size_t i = 0; i < headers.size(); ++i)
        if (!grows[i] && headers[i] != fresh.Bytes()[i]) return false;
    return true;
}

std::uint64_t AviWriter::RiffSizeWith(std::uint64_t videoBytes, std::uint64_t audioBytes) const {
    std::uint64_t size = file_.Size() - riffStart_ + RiffFile::ChunkBytes(videoBytes);
    std::size_t newChunks = 1;
    if (audioBytes != 0) {
        size += RiffFile::ChunkBytes(audioBytes);
        ++newChunks;
    }
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        const std::size_t entries = streams_[i].riffChunks.size() + (i < newChunks ? 1 : 0);
        if (entries != 0) size += 8 + kStdIndexHeader + kStdIndexEntry * entries;
    }
    if (riffCount_ == 1) size += 8 + kIdx1Entry * (legacy_.size() + newChunks);
    return size;
}

HRESULT AviWriter::StartRiff() {
    RiffBuilder start;
    start.BeginList(kFormAvix, kRiff);
    start.BeginList(kListMovi, kList);
    const std::uint64_t at = file_.Size();
    HRESULT hr = file_.Append(start.Bytes());
    if (FAILED(hr)) return hr;
    riffStart_ = at;
    moviStart_ = at + 12;
    ++riffCount_;
    riffOpen_ = true;
    return UpdateRiffSizes();
}

HRESULT AviWriter::FinishRiff() {
    const std::uint64_t moviEnd = file_.Size();
    const auto undo = [&](HRESULT hr) {
        for (Stream& stream : streams_)
            if (!stream.superEntries.empty() && stream.superEntries.back().offset >= moviEnd)
                stream.superEntries.pop_back();
        file_.TruncateTo(moviEnd);
        UpdateRiffSizes();
        return hr;
    };
    HRESULT hr = S_OK;
    for (Stream& stream : streams_) {
        if (stream.riffChunks.empty()) continue;
        const RiffBuilder index = BuildStandardIndex(stream);
        const std::uint64_t at = file_.Size();
        if (FAILED(hr = file_.Append(index.Bytes()))) return undo(hr);
        stream.superEntries.push_back({at, DWORD(index.Size()), DWORD(stream.riffUnits)});
    }
    if (FAILED(hr = file_.Write32At(moviStart_ + 4, DWORD(file_.Size() - moviStart_ - 8)))) return undo(hr);
    if (riffCount_ == 1 && FAILED(hr = file_.Append(BuildLegacyIndex().Bytes()))) return undo(hr);
    if (FAILED(hr = file_.Write32At(riffStart_ + 4, DWORD(file_.Size() - riffStart_ - 8)))) return undo(hr);

    for (Stream& stream : streams_) {
        stream.riffChunks.clear();
        stream.riffUnits = 0;
    }
    legacy_ = {};
    riffOpen_ = false;
    // The finished RIFF is reachable through the super indexes from now on, crash or not.
    return RewriteHeaders();
}

HRESULT AviWriter::UpdateRiffSizes() {
    if (!riffOpen_) return S_OK;
    const std::uint64_t end = file_.Size();
    HRESULT hr = file_.Write32At(riffStart_ + 4, DWORD(end - riffStart_ - 8));  // RIFF size
    if (SUCCEEDED(hr)) hr = file_.Write32At(moviStart_ + 4, DWORD(end - moviStart_ - 8));  // 'movi' LIST size
    return hr;
}

HRESULT AviWriter::RewriteHeaders() {
    // The headers follow the first RIFF's header and form type, and keep their size.
    return file_.WriteAt(12, BuildHeaders().Bytes());
}

RiffBuilder AviWriter::BuildHeaders() const {
    RiffBuilder out;
    const std::size_t hdrl = out.BeginList(kListHdrl, kList);
    PutMainHeader(out);
    for (const Stream& stream : streams_) PutStreamList(out, stream);
    const std::size_t odml = out.BeginList(kListOdml, kList);
    const std::size_t dmlh = out.BeginChunk(kDmlh);
    out.Put32(DWORD(FrameCount()));  // dwTotalFrames: every RIFF
    out.PutZeros(kDmlhSize - 4);     // dwFuture[61]
    out.EndChunk(dmlh);
    out.EndChunk(odml);
    out.EndChunk(hdrl);
    return out;
}

void AviWriter::PutMainHeader(RiffBuilder& out) const {
    const DvSystem& system = *format_.system;
    DWORD bytesPerSecond = DWORD(std::uint64_t(system.frameBytes) * system.rate / system.scale);
    DWORD largestChunk = 0;
    for (const Stream& stream : streams_) largestChunk = std::max(largestChunk, stream.largestChunk);
    if (format_.audio) bytesPerSecond += format_.audio->nAvgBytesPerSec;

    const std::size_t avih = out.BeginChunk(kAvih);
    out.Put32(system.microsecondsPerFrame);  // dwMicroSecPerFrame
    out.Put32(bytesPerSecond);               // dwMaxBytesPerSec
    out.Put32(0);                            // dwPaddingGranularity
    out.Put32(AVIF_HASINDEX | AVIF_ISINTERLEAVED | AVIF_TRUSTCKTYPE);  // dwFlags
    out.Put32(DWORD(framesInFirstRiff_));    // dwTotalFrames: the first RIFF only (OpenDML)
    out.Put32(0);                            // dwInitialFrames
    out.Put32(DWORD(streams_.size()));       // dwStreams
    out.Put32(largestChunk);                 // dwSuggestedBufferSize
    out.Put32(DWORD(system.width));          // dwWidth
    out.Put32(DWORD(system.height));         // dwHeight
    out.PutZeros(16);                        // dwReserved[4]
    out.EndChunk(avih);
}

void AviWriter::PutStreamList(RiffBuilder& out, const Stream& stream) const {
    const DvSystem& system = *format_.system;
    const bool isAudio = stream.blockAlign != 0;
    const bool isType1 = format_.type == DvAviType::Type1;
    const std::size_t strl = out.BeginList(kListStrl, kList);

    const std::size_t strh = out.BeginChunk(kStrh);
    out.Put32(isAudio ? kStreamAudio : isType1 ? kStreamInterleaved : kStreamVideo);  // fccType
    out.Put32(isAudio ? 0 : kHandlerDvsd);                   // fccHandler
    out.Put32(0);                                            // dwFlags
    out.Put16(0);                                            // wPriority
    out.Put16(0);                                            // wLanguage
    out.Put32(0);                                            // dwInitialFrames
    out.Put32(isAudio ? stream.blockAlign : system.scale);   // dwScale
    out.Put32(isAudio ? format_.audio->nAvgBytesPerSec : system.rate);  // dwRate: ticks = rate / scale per second
    out.Put32(0);                                            // dwStart
    out.Put32(DWORD(stream.units));                          // dwLength: frames, or samples
    out.Put32(stream.largestChunk);                          // dwSuggestedBufferSize
    out.Put32(kDefaultQuality);                              // dwQuality
    out.Put32(stream.blockAlign);                            // dwSampleSize: 0 for one frame per chunk
    out.Put16(0);                                            // rcFrame.left
    out.Put16(0);                                            // rcFrame.top
    out.Put16(isAudio ? 0 : WORD(system.width));             // rcFrame.right
    out.Put16(isAudio ? 0 : WORD(system.height));            // rcFrame.bottom
    out.EndChunk(strh);

    const std::size_t strf = out.BeginChunk(kStrf);
    if (isAudio) {
        const WAVEFORMATEX& wave = *format_.audio;
        out.Put16(wave.wFormatTag);
        out.Put16(wave.nChannels);
        out.Put32(wave.nSamplesPerSec);
        out.Put32(wave.nAvgBytesPerSec);
        out.Put16(wave.nBlockAlign);
        out.Put16(wave.wBitsPerSample);
        out.Put16(0);  // cbSize: PCM has no extra bytes
    } else if (isType1) {
        const DVINFO& info = format_.dvInfo;  // AAUX and VAUX packs of the stream (IEC 61834)
        for (DWORD value : {info.dwDVAAuxSrc, info.dwDVAAuxCtl, info.dwDVAAuxSrc1, info.dwDVAAuxCtl1,
                            info.dwDVVAuxSrc, info.dwDVVAuxCtl, info.dwDVReserved[0], info.dwDVReserved[1]})
            out.Put32(value);
    } else {
        out.Put32(sizeof(BITMAPINFOHEADER));   // biSize
        out.Put32(DWORD(system.width));        // biWidth
        out.Put32(DWORD(system.height));       // biHeight
        out.Put16(1);                          // biPlanes
        out.Put16(24);                         // biBitCount: the decoded picture
        out.Put32(kHandlerDvsd);               // biCompression
        out.Put32(system.frameBytes);          // biSizeImage
        out.PutZeros(16);                      // biXPelsPerMeter, biYPelsPerMeter, biClrUsed, biClrImportant
    }
    out.EndChunk(strf);

    PutSuperIndex(out, stream);
    out.EndChunk(strl);
}

void AviWriter::PutSuperIndex(RiffBuilder& out, const Stream& stream) const {
    const std::size_t indx = out.BeginChunk(kIndx);
    out.Put16(4);                                     // wLongsPerEntry
    out.Put8(0);                                      // bIndexSubType
    out.Put8(AVI_INDEX_OF_INDEXES);                   // bIndexType
    out.Put32(DWORD(stream.superEntries.size()));     // nEntriesInUse
    out.Put32(stream.chunkId);                        // dwChunkId of the indexed chunks
    out.PutZeros(12);                                 // dwReserved[3]
    for (const SuperEntry& entry : stream.superEntries) {
        out.Put64(entry.offset);                      // qwOffset of the 'ix##' chunk
        out.Put32(entry.size);                        // dwSize of it, header included
        out.Put32(entry.duration);                    // dwDuration in stream ticks
    }
    out.PutZeros(kSuperIndexEntry * (kSuperIndexCapacity - stream.superEntries.size()));
    out.EndChunk(indx);
}

RiffBuilder AviWriter::BuildStandardIndex(const Stream& stream) const {
    const std::uint64_t base = moviStart_ + 8;  // entries count from the 'movi' list type
    RiffBuilder out;
    const std::size_t ix = out.BeginChunk(stream.indexId);
    out.Put16(2);                                     // wLongsPerEntry
    out.Put8(0);                                      // bIndexSubType
    out.Put8(AVI_INDEX_OF_CHUNKS);                    // bIndexType
    out.Put32(DWORD(stream.riffChunks.size()));       // nEntriesInUse
    out.Put32(stream.chunkId);                        // dwChunkId
    out.Put64(base);                                  // qwBaseOffset
    out.Put32(0);                                     // dwReserved3
    for (const ChunkRef& chunk : stream.riffChunks) {
        out.Put32(DWORD(chunk.dataOffset - base));    // dwOffset of the chunk's data
        out.Put32(chunk.size);                        // dwSize; bit 31 clear: every DV frame is a key frame
    }
    out.EndChunk(ix);
    return out;
}

RiffBuilder AviWriter::BuildLegacyIndex() const {
    RiffBuilder out;
    const std::size_t idx1 = out.BeginChunk(kIdx1);
    for (const LegacyEntry& entry : legacy_) {
        out.Put32(entry.chunkId);   // ckid
        out.Put32(AVIIF_KEYFRAME);  // dwFlags
        out.Put32(entry.offset);    // dwChunkOffset: chunk header from the 'movi' list type
        out.Put32(entry.size);      // dwChunkLength
    }
    out.EndChunk(idx1);
    return out;
}
