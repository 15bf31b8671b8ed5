#include "platform/media/filters/avi/avi_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

using namespace avi;

namespace {

constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD kHandlerDvsdUpper = FourCC("DVSD");

DWORD Le32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }
WORD Le16(const BYTE* p) { return WORD(p[0] | p[1] << 8); }

// The stream number of a data chunk identifier: its first two characters, digits.
int StreamOfChunk(DWORD id) {
    const int tens = int(id & 0xFF) - '0';
    const int ones = int((id >> 8) & 0xFF) - '0';
    return tens >= 0 && tens <= 9 && ones >= 0 && ones <= 9 ? tens * 10 + ones : -1;
}

bool IsDvHandler(DWORD fourcc) { return fourcc == kHandlerDvsd || fourcc == kHandlerDvsdUpper; }

}  // namespace

HRESULT AviReader::Open(const std::filesystem::path& path) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) return errno == ENOENT ? HRESULT_FROM_WIN32(2) : E_ACCESSDENIED;  // ERROR_FILE_NOT_FOUND
    return Open(std::move(file));
}

HRESULT AviReader::Open(UniqueFd file) {
    file_ = std::move(file);
    frames_.clear();
    audio_.reset();
    dvInfo_ = {};
    largestFrame_ = 0;
    largestPcm_ = 0;
    streams_ = 0;
    videoIsDv_ = false;
    struct stat info {};
    if (!file_ || ::fstat(file_.Get(), &info) != 0) return E_HANDLE;
    fileSize_ = std::uint64_t(info.st_size);
    if (fileSize_ < 12) return VFW_E_FILE_TOO_SHORT;

    std::vector<BYTE> head;
    if (const HRESULT hr = ReadAt(0, 12, head); FAILED(hr)) return hr;
    if (Le32(&head[0]) != kRiff || Le32(&head[8]) != kFormAvi) return VFW_E_INVALID_FILE_FORMAT;

    // Each RIFF in turn: 'AVI ' first, then the 'AVIX' of OpenDML. A size of 0 or
    // past the end (a file never closed) runs to the end of the file.
    bool headersRead = false;
    std::uint64_t at = 0;
    while (at + 12 <= fileSize_) {
        std::vector<BYTE> riff;
        if (const HRESULT hr = ReadAt(at, 12, riff); FAILED(hr)) return hr;
        if (Le32(&riff[0]) != kRiff) break;
        const std::uint64_t size = Le32(&riff[4]);
        const std::uint64_t end = size == 0 ? fileSize_ : std::min(fileSize_, at + 8 + size);
        for (std::uint64_t chunk = at + 12; chunk + 12 <= end;) {
            std::vector<BYTE> header;
            if (const HRESULT hr = ReadAt(chunk, 12, header); FAILED(hr)) return hr;
            const std::uint64_t chunkSize = Le32(&header[4]);
            const bool openMovi = chunkSize == 0 && Le32(&header[0]) == kList && Le32(&header[8]) == kListMovi;
            const std::uint64_t chunkEnd = openMovi ? end : std::min(end, chunk + 8 + chunkSize);
            if (Le32(&header[0]) == kList && Le32(&header[8]) == kListHdrl && !headersRead) {
                if (const HRESULT hr = ReadHeaders(chunk + 12, chunkEnd); FAILED(hr)) return hr;
                headersRead = true;
            } else if (Le32(&header[0]) == kList && Le32(&header[8]) == kListMovi && headersRead) {
                ScanMovi(chunk + 12, chunkEnd);
            }
            chunk = openMovi ? end : chunk + 8 + chunkSize + chunkSize % 2;
        }
        at = end + (end - at) % 2;
        if (size == 0) break;
    }
    if (!headersRead) return fileSize_ < 256 ? VFW_E_FILE_TOO_SHORT : VFW_E_INVALID_FILE_FORMAT;
    if (!videoIsDv_) return VFW_E_UNSUPPORTED_STREAM;
    for (const FrameEntry& entry : frames_) {
        largestFrame_ = std::max(largestFrame_, entry.video.size);
        std::uint64_t pcm = 0;
        for (const Extent& audio : entry.audio) pcm += audio.size;
        largestPcm_ = std::max(largestPcm_, pcm);
    }
    if (!frames_.empty()) {
        std::vector<BYTE> first;
        if (SUCCEEDED(ReadAt(frames_[0].video.offset, std::min<std::size_t>(frames_[0].video.size, 144000), first)))
            if (const DvSystem* system = DvSystemOfFrame(first)) system_ = system;
    }
    return S_OK;
}

HRESULT AviReader::ReadHeaders(std::uint64_t begin, std::uint64_t end) {
    for (std::uint64_t chunk = begin; chunk + 12 <= end;) {
        std::vector<BYTE> header;
        if (const HRESULT hr = ReadAt(chunk, 12, header); FAILED(hr)) return hr;
        const std::uint64_t size = Le32(&header[4]);
        if (Le32(&header[0]) == kList && Le32(&header[8]) == kListStrl) {
            if (const HRESULT hr = ReadStreamList(chunk + 12, std::min(end, chunk + 8 + size), streams_++); FAILED(hr))
                return hr;
        }
        chunk += 8 + size + size % 2;
    }
    return S_OK;
}

HRESULT AviReader::ReadStreamList(std::uint64_t begin, std::uint64_t end, int stream) {
    DWORD streamType = 0;
    for (std::uint64_t chunk = begin; chunk + 8 <= end;) {
        std::vector<BYTE> header;
        if (const HRESULT hr = ReadAt(chunk, 8, header); FAILED(hr)) return hr;
        const DWORD id = Le32(&header[0]);
        const DWORD size = Le32(&header[4]);
        if (chunk + 8 + size > end) break;
        std::vector<BYTE> body;
        if ((id == kStrh || id == kStrf) && size <= 4096)
            if (const HRESULT hr = ReadAt(chunk + 8, size, body); FAILED(hr)) return hr;
        if (id == kStrh && body.size() >= 8) {
            streamType = Le32(&body[0]);     // fccType
            const DWORD handler = Le32(&body[4]);  // fccHandler
            if (stream == 0 && streamType == kStreamInterleaved && IsDvHandler(handler)) {
                type_ = DvAviType::Type1;
                videoIsDv_ = true;
            }
            if (stream == 0 && streamType == kStreamVideo && IsDvHandler(handler)) videoIsDv_ = true;
        } else if (id == kStrf && stream == 0 && streamType == kStreamVideo && body.size() >= 20) {
            // biCompression decides where the handler is left blank.
            videoIsDv_ = videoIsDv_ || IsDvHandler(Le32(&body[16]));
        } else if (id == kStrf && stream == 0 && streamType == kStreamInterleaved && body.size() >= sizeof(DVINFO)) {
            dvInfo_ = DVINFO{Le32(&body[0]),  Le32(&body[4]),  Le32(&body[8]),  Le32(&body[12]),
                             Le32(&body[16]), Le32(&body[20]), {Le32(&body[24]), Le32(&body[28])}};
        } else if (id == kStrf && stream == 1 && streamType == kStreamAudio && body.size() >= 16 &&
                   Le16(&body[0]) == WAVE_FORMAT_PCM && Le16(&body[12]) != 0) {
            audio_ = WAVEFORMATEX{Le16(&body[0]), Le16(&body[2]), Le32(&body[4]), Le32(&body[8]),
                                  Le16(&body[12]), Le16(&body[14]), 0};
        }
        chunk += 8 + std::uint64_t(size) + size % 2;
    }
    return S_OK;
}

void AviReader::ScanMovi(std::uint64_t begin, std::uint64_t end) {
    for (std::uint64_t chunk = begin; chunk + 8 <= end;) {
        std::vector<BYTE> header;
        if (FAILED(ReadAt(chunk, 8, header))) return;
        const DWORD id = Le32(&header[0]);
        const DWORD size = Le32(&header[4]);
        // A chunk running past the end is the one a crash cut off: the frames end
        // before it, and a frame whose sound it was is not whole either.
        if (chunk + 8 + size > end) {
            if (StreamOfChunk(id) == 1 && audio_ && !frames_.empty()) frames_.pop_back();
            return;
        }
        if (id == kList) {
            chunk += 12;  // a 'rec ' list: its chunks follow inline
            continue;
        }
        const int stream = StreamOfChunk(id);
        if (stream == 0 && size != 0) frames_.push_back({{chunk + 8, size}, {}});
        if (stream == 1 && audio_ && !frames_.empty()) frames_.back().audio.push_back({chunk + 8, size});
        chunk += 8 + std::uint64_t(size) + size % 2;
    }
}

HRESULT AviReader::ReadFrame(std::uint64_t index, std::vector<BYTE>& frame, std::vector<BYTE>* pcm) const {
    if (index >= frames_.size()) return E_INVALIDARG;
    const FrameEntry& entry = frames_[index];
    if (const HRESULT hr = ReadAt(entry.video.offset, entry.video.size, frame); FAILED(hr)) return hr;
    return pcm ? ReadSound(index, *pcm) : S_OK;
}

HRESULT AviReader::ReadSound(std::uint64_t index, std::vector<BYTE>& pcm) const {
    if (index >= frames_.size()) return E_INVALIDARG;
    pcm.clear();
    for (const Extent& audio : frames_[index].audio) {
        std::vector<BYTE> part;
        if (const HRESULT hr = ReadAt(audio.offset, audio.size, part); FAILED(hr)) return hr;
        pcm.insert(pcm.end(), part.begin(), part.end());
    }
    return S_OK;
}

HRESULT AviReader::ReadAt(std::uint64_t offset, std::size_t size, std::vector<BYTE>& out) const {
    if (offset > fileSize_ || size > fileSize_ - offset) return VFW_E_FILE_TOO_SHORT;
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(file_.Get(), out.data() + done, size - done, off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0 ? VFW_E_FILE_TOO_SHORT : HRESULT_FROM_WIN32(ERROR_READ_FAULT);
        done += std::size_t(got);
    }
    return S_OK;
}
