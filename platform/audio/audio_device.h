// The one sound output shared by cues and speech. SDL2_mixer keeps process-wide
// state, so there is one device per process; each user plays on its own mixer
// channel and hears about the end of its sounds through a per-channel listener.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

namespace kanae::audio {

enum class Channel : int { kCue = 0, kSpeech = 1 };

class AudioDevice {
 public:
  using Clock = std::chrono::steady_clock;

  // The process's device, created on first use and closed when the last user
  // lets go. Nothing is opened until something is played.
  static std::shared_ptr<AudioDevice> Shared();

  ~AudioDevice();
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  // Opens the output if not done yet. When no real device can be opened the
  // output falls back to SDL's silent "dummy" driver, which keeps real-time
  // pacing; false only when even that fails (then everything is silent).
  bool Open();

  // Stops the channel, then plays a .wav file or an in-memory .wav image on it.
  // Returns the sound's length once it is playing, nothing when the sound
  // could not be loaded or played (the channel is then left silent).
  std::optional<Clock::duration> PlayFile(Channel channel, const std::filesystem::path& file);
  std::optional<Clock::duration> PlayWav(Channel channel, std::span<const std::uint8_t> wav_image);

  // Halts the channel. The channel's listener is not told.
  void Stop(Channel channel);
  bool IsPlaying(Channel channel);
  // Blocks (without using a core) until the channel falls silent or the
  // deadline passes; on the deadline the sound is halted. True when it ended by itself.
  bool WaitForEnd(Channel channel, Clock::time_point deadline);

  // Called on the audio thread each time a sound on the channel ends by itself
  // (not when halted). Keep it short and do not call back into the device.
  void SetEndListener(Channel channel, std::function<void()> listener);

  // Call on a thread of ours that played or stopped sounds, as it ends: SDL
  // keeps per-thread state that it frees by itself only for its own threads.
  static void ReleaseThreadState();

  // Which SDL driver is in use ("dummy", "pulseaudio", ...), empty when closed.
  std::string DriverName();

 private:
  AudioDevice() = default;
  static void OnChannelFinished(int channel);
  void ChannelFinished(int channel);
  std::optional<Clock::duration> Start(Channel channel, void* chunk);
  void HaltLocked(Channel channel);

  std::mutex open_mutex_;
  bool open_attempted_ = false;
  bool open_ = false;
  bool sdl_initialised_ = false;

  struct ChannelState {
    // Serialises play and stop on the channel (the speech thread plays while
    // the GUI thread may stop); held across mixer calls.
    std::mutex control;
    void* chunk = nullptr;  // Mix_Chunk*, owned; freed only once halted
    // The rest is guarded by mutex_.
    bool playing = false;
    bool halting = false;
    std::function<void()> listener;
  };
  // Guards the channel states; never held while calling into the mixer,
  // because the mixer calls OnChannelFinished with its own lock held.
  std::mutex mutex_;
  std::condition_variable ended_;
  ChannelState channels_[2];
};

}  // namespace kanae::audio
