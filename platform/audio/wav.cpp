#include "platform/audio/wav.h"

#include <fstream>

namespace kanae::audio {
namespace {

// Little-endian writes at a running position into a buffer sized up front.
class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
  void Put(std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out_[at_++] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  void Tag(const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out_[at_++] = static_cast<std::uint8_t>(tag[i]);
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::size_t at_ = 0;
};

}  // namespace

std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples, int sample_rate) {
  constexpr std::uint32_t kChannels = 1;
  constexpr std::uint32_t kBytesPerSample = 2;
  constexpr std::uint32_t kHeaderBytes = 44;
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
  std::vector<std::uint8_t> out(kHeaderBytes + data_bytes);
  Writer w(out);
  w.Tag("RIFF");
  w.Put(kHeaderBytes - 8 + data_bytes, 4);
  w.Tag("WAVE");
  w.Tag("fmt ");
  w.Put(16, 4);
  w.Put(1, 2);  // PCM
  w.Put(kChannels, 2);
  w.Put(static_cast<std::uint32_t>(sample_rate), 4);
  w.Put(static_cast<std::uint32_t>(sample_rate) * kChannels * kBytesPerSample, 4);
  w.Put(kChannels * kBytesPerSample, 2);
  w.Put(kBytesPerSample * 8, 2);
  w.Tag("data");
  w.Put(data_bytes, 4);
  for (std::int16_t sample : samples) w.Put(static_cast<std::uint16_t>(sample), 2);
  return out;
}

bool WriteWavFile(const std::filesystem::path& file, std::span<const std::int16_t> samples, int sample_rate) {
  const auto image = EncodeWav(samples, sample_rate);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace kanae::audio
