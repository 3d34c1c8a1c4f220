// 16-bit PCM mono WAV images: how synthesised speech reaches the mixer and disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace kanae::audio {

std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples, int sample_rate);

// Writes the image to file; false when the file cannot be written.
bool WriteWavFile(const std::filesystem::path& file, std::span<const std::int16_t> samples, int sample_rate);

}  // namespace kanae::audio
