#include "tools/artgen/click_sound.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSampleRate = 44100;

void Append16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Append16(out, static_cast<std::uint16_t>(value));
    Append16(out, static_cast<std::uint16_t>(value >> 16));
}

void AppendTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

// One click: filtered noise with a fast decay plus a short resonant ring.
void AddClick(std::vector<double>& samples, int start, double level, double decayMs, double ringHz) {
    std::uint32_t noise = 0x2545F491u;  // fixed seed: the sound is the same at every build
    double filtered = 0;
    for (std::size_t i = static_cast<std::size_t>(start); i < samples.size(); ++i) {
        const double t = static_cast<double>(i - static_cast<std::size_t>(start)) / kSampleRate;
        const double envelope = std::exp(-t * 1000.0 / decayMs);
        if (envelope < 1e-4) break;
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<double>(noise >> 8) / double(1 << 24) * 2.0 - 1.0;
        filtered += 0.45 * (white - filtered);  // soften the hiss
        const double ring = std::sin(2 * std::numbers::pi * ringHz * t);
        samples[i] += level * envelope * (0.7 * filtered + 0.3 * ring);
    }
}

}  // namespace

std::vector<std::uint8_t> MakeClickWav() {
    std::vector<double> samples(kSampleRate * 90 / 1000, 0.0);
    AddClick(samples, 0, 0.9, 4.0, 2400.0);
    AddClick(samples, kSampleRate * 38 / 1000, 0.55, 6.0, 1700.0);

    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> wav;
    wav.reserve(44 + dataBytes);  // the 44-byte header, then the samples
    AppendTag(wav, "RIFF");
    Append32(wav, 36 + dataBytes);
    AppendTag(wav, "WAVE");
    AppendTag(wav, "fmt ");
    Append32(wav, 16);               // size of the format chunk
    Append16(wav, 1);                // PCM
    Append16(wav, 1);                // mono
    Append32(wav, kSampleRate);      // samples per second
    Append32(wav, kSampleRate * 2);  // bytes per second
    Append16(wav, 2);                // bytes per sample frame
    Append16(wav, 16);               // bits per sample
    AppendTag(wav, "data");
    Append32(wav, dataBytes);
    for (const double sample : samples) {
        const double clamped = std::clamp(sample, -1.0, 1.0);
        Append16(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clamped * 32767))));
    }
    return wav;
}
