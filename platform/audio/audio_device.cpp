#include "platform/audio/audio_device.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace kanae::audio {
namespace {

// Mix_ChannelFinished takes one plain function for the whole process; it
// reaches the live device through this pointer.
std::atomic<AudioDevice*> g_device{nullptr};

// 44.1 kHz stereo suits the cue files; speech at 22.05 kHz mono is converted
// by the mixer on load. 1024 frames keeps latency near 23 ms.
constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
constexpr int kChunkFrames = 1024;

int Index(Channel channel) { return static_cast<int>(channel); }

std::optional<AudioDevice::Clock::duration> ChunkLength(const Mix_Chunk* chunk) {
  int frequency = 0;
  int channels = 0;
  Uint16 format = 0;
  if (Mix_QuerySpec(&frequency, &format, &channels) == 0 || frequency <= 0 || channels <= 0) return std::nullopt;
  const long long bytes_per_frame = static_cast<long long>(SDL_AUDIO_BITSIZE(format) / 8) * channels;
  if (bytes_per_frame <= 0) return std::nullopt;
  const long long frames = chunk->alen / bytes_per_frame;
  return std::chrono::duration_cast<AudioDevice::Clock::duration>(std::chrono::microseconds(frames * 1000000LL / frequency));
}

}  // namespace

std::shared_ptr<AudioDevice> AudioDevice::Shared() {
  static std::mutex mutex;
  static std::weak_ptr<AudioDevice> current;
  std::lock_guard lock(mutex);
  auto device = current.lock();
  if (!device) {
    device = std::shared_ptr<AudioDevice>(new AudioDevice());
    current = device;
  }
  return device;
}

AudioDevice::~AudioDevice() {
  if (open_) {
    // No listener hears about the sounds cut off here.
    Mix_ChannelFinished(nullptr);
    g_device = nullptr;
    Mix_HaltChannel(-1);
    for (auto& channel : channels_) {
      if (channel.chunk != nullptr) Mix_FreeChunk(static_cast<Mix_Chunk*>(channel.chunk));
    }
    Mix_CloseAudio();
  }
  if (sdl_initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioDevice::Open() {
  std::lock_guard lock(open_mutex_);
  if (open_attempted_) return open_;
  open_attempted_ = true;

  auto try_open = [this]() -> bool {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kOutputChannels, kChunkFrames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    return true;
  };

  SDL_SetMainReady();
  // SDL would otherwise turn SIGINT/SIGTERM into SDL_QUIT events that nobody
  // reads here, and the program could no longer be ended from a terminal.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  bool opened = try_open();
  if (!opened) {
    std::fprintf(stderr, "kanae: no sound device (%s); sounds are silent\n", SDL_GetError());
    // The dummy driver discards the sound but keeps time, so lessons keep
    // their rhythm and cue ends still come when they should.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    opened = try_open();
  }
  if (!opened) return false;

  sdl_initialised_ = true;
  Mix_AllocateChannels(static_cast<int>(std::size(channels_)));
  Mix_ReserveChannels(static_cast<int>(std::size(channels_)));
  g_device = this;
  Mix_ChannelFinished(&AudioDevice::OnChannelFinished);
  open_ = true;
  return true;
}

void AudioDevice::ReleaseThreadState() { SDL_TLSCleanup(); }

std::string AudioDevice::DriverName() {
  {
    std::lock_guard lock(open_mutex_);
    if (!open_) return {};
  }
  const char* name = SDL_GetCurrentAudioDriver();
  return name != nullptr ? name : "";
}

void AudioDevice::OnChannelFinished(int channel) {
  if (AudioDevice* device = g_device.load()) device->ChannelFinished(channel);
}

void AudioDevice::ChannelFinished(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(channels_))) return;
  std::function<void()> listener;
  {
    std::lock_guard lock(mutex_);
    ChannelState& channel = channels_[index];
    channel.playing = false;
    if (!channel.halting) listener = channel.listener;
  }
  ended_.notify_all();
  if (listener) listener();
}

void AudioDevice::HaltLocked(Channel channel) {
  ChannelState& state = channels_[Index(channel)];
  {
    std::lock_guard lock(mutex_);
    state.halting = true;
  }
  // Runs OnChannelFinished synchronously when something was playing.
  Mix_HaltChannel(Index(channel));
  {
    std::lock_guard lock(mutex_);
    state.halting = false;
    state.playing = false;
  }
  ended_.notify_all();
  if (state.chunk != nullptr) {
    Mix_FreeChunk(static_cast<Mix_Chunk*>(state.chunk));
    state.chunk = nullptr;
  }
}

void AudioDevice::Stop(Channel channel) {
  {
    std::lock_guard lock(open_mutex_);
    if (!open_) return;
  }
  std::lock_guard control(channels_[Index(channel)].control);
  HaltLocked(channel);
}

std::optional<AudioDevice::Clock::duration> AudioDevice::PlayFile(Channel channel,
                                                                  const std::filesystem::path& file) {
  if (!Open()) return std::nullopt;
  std::lock_guard control(channels_[Index(channel)].control);
  HaltLocked(channel);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  Mix_Chunk* chunk = Mix_LoadWAV(file.c_str());
  if (chunk == nullptr) return std::nullopt;
  return Start(channel, chunk);
}

std::optional<AudioDevice::Clock::duration> AudioDevice::PlayWav(Channel channel,
                                                                 std::span<const std::uint8_t> wav_image) {
  if (!Open()) return std::nullopt;
  std::lock_guard control(channels_[Index(channel)].control);
  HaltLocked(channel);
  if (wav_image.empty()) return std::nullopt;
  SDL_RWops* rw = SDL_RWFromConstMem(wav_image.data(), static_cast<int>(wav_image.size()));
  if (rw == nullptr) return std::nullopt;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, /*freesrc=*/1);
  if (chunk == nullptr) return std::nullopt;
  return Start(channel, chunk);
}

// Called with the channel's control mutex held and the channel halted.
std::optional<AudioDevice::Clock::duration> AudioDevice::Start(Channel channel, void* chunk_pointer) {
  auto* chunk = static_cast<Mix_Chunk*>(chunk_pointer);
  ChannelState& state = channels_[Index(channel)];
  const auto length = ChunkLength(chunk);
  if (!length || chunk->alen == 0) {
    Mix_FreeChunk(chunk);
    return std::nullopt;
  }
  state.chunk = chunk;
  // Marked playing before the mixer starts, so an end reported at once by a
  // very short sound cannot be overwritten afterwards.
  {
    std::lock_guard lock(mutex_);
    state.playing = true;
  }
  if (Mix_PlayChannel(Index(channel), chunk, 0) < 0) {
    {
      std::lock_guard lock(mutex_);
      state.playing = false;
    }
    Mix_FreeChunk(chunk);
    state.chunk = nullptr;
    return std::nullopt;
  }
  return length;
}

bool AudioDevice::IsPlaying(Channel channel) {
  std::lock_guard lock(mutex_);
  return channels_[Index(channel)].playing;
}

bool AudioDevice::WaitForEnd(Channel channel, Clock::time_point deadline) {
  {
    std::unique_lock lock(mutex_);
    const ChannelState& state = channels_[Index(channel)];
    if (ended_.wait_until(lock, deadline, [&] { return !state.playing; })) return true;
  }
  Stop(channel);
  return false;
}

void AudioDevice::SetEndListener(Channel channel, std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  channels_[Index(channel)].listener = std::move(listener);
}

}  // namespace kanae::audio
