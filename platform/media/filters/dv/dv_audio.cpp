#include "platform/media/filters/dv/dv_audio.h"

#include "platform/media/filters/dv/dv_system.h"

namespace {

constexpr BYTE kAauxSourcePack = 0x50;
constexpr std::size_t kAudioBlocksPerSequence = 9;
constexpr std::size_t kAudioDataStart = 8;  // 3 ID bytes, then the 5-byte AAUX pack
constexpr std::size_t kAudioDataBytes = 72;

// Sample frames per video frame at least (IEC 61834-4, AF_SIZE adds to these),
// by SMP code: 48 kHz, 44.1 kHz, 32 kHz.
struct RateRow {
    DWORD samplesPerSecond;
    DWORD minimum525;
    DWORD minimum625;
};
constexpr RateRow kRates[] = {{48000, 1580, 1896}, {44100, 1452, 1742}, {32000, 1053, 1264}};

// The n-th audio block of DIF sequence `sequence`: audio blocks sit at block 6
// of a sequence and every 16th block after it, between the video blocks.
std::span<const BYTE> AudioBlock(std::span<const BYTE> frame, std::size_t sequence, std::size_t n) {
    return frame.subspan(sequence * kDifSequenceBytes + (6 + 16 * n) * kDifBlockBytes, kDifBlockBytes);
}

// Where sample n of a channel lies (IEC 61834-2 shuffling): a DIF sequence of
// the channel's half of the frame, an audio block in it, and a slot in that block.
struct SamplePlace {
    std::size_t sequence;
    std::size_t block;
    std::size_t slot;
};
SamplePlace PlaceOfSample(std::size_t n, const DvSystem& system) {
    const std::size_t sequences = std::size_t(system.difSequences) / 2;  // one channel's half: 5 or 6
    const std::size_t run = 3 * sequences * 3;                            // samples per slot row: 45 or 54
    return {(n / 3 + 2 * (n % 3)) % sequences, 3 * (n % 3) + (n % run) / (run / 3), n / run};
}

// The codes IEC 61834-2 reserves for a sample the recorder could not give; played as silence.
constexpr WORD kInvalid16BitSample = 0x8000;
constexpr WORD kInvalid12BitCode = 0x800;

SHORT Sample16(WORD code) { return code == kInvalid16BitSample ? 0 : SHORT(code); }
SHORT Sample12(WORD code) { return code == kInvalid12BitCode ? 0 : ExpandDv12BitSample(code); }

void PutSample(std::vector<BYTE>& pcm, SHORT sample) {
    pcm.push_back(BYTE(sample));
    pcm.push_back(BYTE(WORD(sample) >> 8));
}

}  // namespace

SHORT ExpandDv12BitSample(WORD code) {
    // Sign-extend the 12-bit code. Its upper nibble picks a segment: the four
    // around zero (-512..511) are linear, each further one doubles the step.
    const int value = (code & 0x800) ? int(code & 0xFFF) - 0x1000 : int(code & 0xFFF);
    const int segment = value >> 8;  // -8 .. 7
    if (segment >= 2) {
        const int shift = segment - 1;
        return SHORT((value - 256 * shift) * (1 << shift));
    }
    if (segment <= -3) {
        const int shift = -segment - 2;
        return SHORT((value + 256 * shift + 1) * (1 << shift) - 1);
    }
    return SHORT(value);
}

std::optional<DvAudioFormat> ReadDvAudioFormat(std::span<const BYTE> frame) {
    const DvSystem* system = DvSystemOfFrame(frame);
    if (!system) return std::nullopt;
    // The source pack of the first channel pair is repeated in the audio blocks of
    // the first half of the frame; the first one found serves.
    for (int sequence = 0; sequence < system->difSequences / 2; ++sequence) {
        for (std::size_t n = 0; n < kAudioBlocksPerSequence; ++n) {
            const std::span<const BYTE> pack = AudioBlock(frame, std::size_t(sequence), n).subspan(3, 5);
            if (pack[0] != kAauxSourcePack) continue;
            const bool unlocked = pack[1] & 0x80;  // PC1 bit 7: LF, 1 for unlocked
            const DWORD afSize = pack[1] & 0x3F;   // PC1 bits 5-0: samples above the minimum
            const int smp = (pack[4] >> 3) & 0x07;  // PC4 bits 5-3: sampling frequency
            const int quantisation = pack[4] & 0x07;  // PC4 bits 2-0: 0 16-bit linear, 1 12-bit non-linear
            if (smp >= 3 || quantisation > 1) return std::nullopt;
            const RateRow& rate = kRates[smp];
            DvAudioFormat format;
            format.samplesPerSecond = rate.samplesPerSecond;
            format.sourceBits = quantisation == 0 ? 16 : 12;
            format.samples = (system->pal ? rate.minimum625 : rate.minimum525) + afSize;
            format.locked = !unlocked;
            // A block row holds 36 16-bit slots or 24 12-bit pairs for each sample run.
            const std::size_t runs = kAudioDataBytes / (format.sourceBits == 16 ? 2 : 3);
            const std::size_t room = runs * std::size_t(system->difSequences / 2) * kAudioBlocksPerSequence;
            if (format.samples > room) return std::nullopt;
            return format;
        }
    }
    return std::nullopt;
}

HRESULT ExtractDvAudio(std::span<const BYTE> frame, std::vector<BYTE>& pcm, DvAudioFormat* format) {
    const DvSystem* system = DvSystemOfFrame(frame);
    if (!system) return E_INVALIDARG;
    const std::optional<DvAudioFormat> found = ReadDvAudioFormat(frame);
    if (!found) return S_FALSE;
    if (format) *format = *found;

    const std::size_t secondHalf = std::size_t(system->difSequences) / 2;
    pcm.reserve(pcm.size() + found->samples * 4);
    for (std::size_t n = 0; n < found->samples; ++n) {
        const SamplePlace place = PlaceOfSample(n, *system);
        if (found->sourceBits == 16) {
            // 16-bit: the first channel in the first half of the frame, the second in
            // the second half at the same place; each sample big-endian.
            for (std::size_t half : {std::size_t(0), secondHalf}) {
                const std::span<const BYTE> block = AudioBlock(frame, place.sequence + half, place.block);
                const std::size_t at = kAudioDataStart + 2 * place.slot;
                PutSample(pcm, Sample16(WORD(block[at] << 8 | block[at + 1])));
            }
        } else {
            // 12-bit: both channels of the pair in one 3-byte group of the first half:
            // the high 8 bits of each, then their low nibbles.
            const std::span<const BYTE> block = AudioBlock(frame, place.sequence, place.block);
            const std::size_t at = kAudioDataStart + 3 * place.slot;
            PutSample(pcm, Sample12(WORD(block[at] << 4 | block[at + 2] >> 4)));
            PutSample(pcm, Sample12(WORD(block[at + 1] << 4 | (block[at + 2] & 0x0F))));
        }
    }
    return S_OK;
}
