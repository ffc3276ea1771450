#include "playback/PulseOutput.h"

#include <pulse/context.h>
#include <pulse/rtclock.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <optional>

namespace sonaveld {
namespace {

std::optional<pa_sample_format_t> PulseSampleFormat(QAudioFormat::SampleFormat format) {
  switch (format) {
    case QAudioFormat::UInt8: return PA_SAMPLE_U8;
    case QAudioFormat::Int16: return PA_SAMPLE_S16LE;
    case QAudioFormat::Int32: return PA_SAMPLE_S32LE;
    case QAudioFormat::Float: return PA_SAMPLE_FLOAT32LE;
    default: return std::nullopt;
  }
}

// Holds the loop's lock for a scope.
class Locked {
 public:
  explicit Locked(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
  ~Locked() { pa_threaded_mainloop_unlock(loop_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

// State changes and the time-out wake the thread waiting in Await.
void Wake(void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
void WakeOnContext(pa_context*, void* loop) { Wake(loop); }
void WakeOnStream(pa_stream*, void* loop) { Wake(loop); }

}  // namespace

PulseOutput::PulseOutput(std::string sink, const QAudioFormat& format)
    : sink_(std::move(sink)), format_(format), frameBytes_(format.bytesPerFrame()) {
  QObject::connect(&feed_, &QTimer::timeout, &feed_, [this] { Feed(); });
}

PulseOutput::~PulseOutput() {
  feed_.stop();
  if (loop_ == nullptr) return;
  {
    Locked lock(loop_);
    if (stream_ != nullptr) {
      pa_stream_set_state_callback(stream_, nullptr, nullptr);
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
    }
    if (context_ != nullptr) {
      pa_context_set_state_callback(context_, nullptr, nullptr);
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
  }
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

bool PulseOutput::Start(QIODevice* source) {
  if (source == nullptr || !format_.isValid() || !PulseSampleFormat(format_.sampleFormat())) return false;
  loop_ = pa_threaded_mainloop_new();
  if (loop_ == nullptr) return false;
  if (pa_threaded_mainloop_start(loop_) < 0) return false;
  {
    Locked lock(loop_);
    if (!Connect() || !OpenStream()) return false;
  }
  source_ = source;
  Feed();
  feed_.start(kFeedMs);
  return true;
}

bool PulseOutput::Connect() {
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Sonaveld");
  if (context_ == nullptr) return false;
  pa_context_set_state_callback(context_, WakeOnContext, loop_);
  // Without autospawn: a missing server is told, not started behind the user's back.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
  return Await([this] {
    const pa_context_state_t state = pa_context_get_state(context_);
    if (state == PA_CONTEXT_READY) return Progress::kReady;
    return PA_CONTEXT_IS_GOOD(state) ? Progress::kPending : Progress::kFailed;
  });
}

bool PulseOutput::OpenStream() {
  pa_sample_spec wire;
  wire.format = *PulseSampleFormat(format_.sampleFormat());
  wire.rate = static_cast<uint32_t>(format_.sampleRate());
  wire.channels = static_cast<uint8_t>(format_.channelCount());
  if (!pa_sample_spec_valid(&wire)) return false;
  stream_ = pa_stream_new(context_, "Sonaveld", &wire, nullptr);  // the default map for 1 or 2 channels
  if (stream_ == nullptr) return false;
  pa_stream_set_state_callback(stream_, WakeOnStream, loop_);
  pa_buffer_attr attr;
  std::memset(&attr, 0xff, sizeof attr);  // (uint32_t)-1: the server's choice
  attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(uint64_t{kBufferMs} * 1000, &wire));
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                                    PA_STREAM_ADJUST_LATENCY);
  const char* sink = sink_.empty() ? nullptr : sink_.c_str();
  if (pa_stream_connect_playback(stream_, sink, &attr, flags, nullptr, nullptr) < 0) return false;
  return Await([this] {
    const pa_stream_state_t state = pa_stream_get_state(stream_);
    if (state == PA_STREAM_READY) return Progress::kReady;
    return PA_STREAM_IS_GOOD(state) ? Progress::kPending : Progress::kFailed;
  });
}

bool PulseOutput::Await(const std::function<Progress()>& progress) {
  timedOut_ = false;
  auto onTimeout = [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    output->timedOut_ = true;
    Wake(output->loop_);
  };
  const pa_usec_t deadline = pa_rtclock_now() + uint64_t{kConnectMs} * 1000;
  pa_time_event* timer = pa_context_rttime_new(context_, deadline, onTimeout, this);
  Progress now = progress();
  while (now == Progress::kPending && !timedOut_) {
    pa_threaded_mainloop_wait(loop_);
    now = progress();
  }
  if (timer != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(timer);
  return now == Progress::kReady;
}

bool PulseOutput::Good() const {
  return stream_ != nullptr && pa_context_get_state(context_) == PA_CONTEXT_READY &&
         pa_stream_get_state(stream_) == PA_STREAM_READY;
}

void PulseOutput::Suspend() { Cork(true); }

void PulseOutput::Resume() { Cork(false); }

void PulseOutput::Cork(bool hold) {
  if (stream_ == nullptr) return;
  Locked lock(loop_);
  if (!Good()) return;
  if (pa_operation* op = pa_stream_cork(stream_, hold ? 1 : 0, nullptr, nullptr)) pa_operation_unref(op);
}

void PulseOutput::Feed() {
  if (source_ == nullptr || stream_ == nullptr) return;
  size_t room = 0;
  {
    Locked lock(loop_);
    if (!Good()) return;
    room = pa_stream_writable_size(stream_);
  }
  const auto frame = static_cast<size_t>(frameBytes_);
  if (room == static_cast<size_t>(-1)) return;
  room -= room % frame;
  if (room <= partial_) return;
  // The source is read outside the lock: the server thread never waits for the disk.
  buffer_.resize(room);
  size_t have = partial_;
  if (!source_->atEnd()) {
    const qint64 got = source_->read(buffer_.data() + have, static_cast<qint64>(room - have));
    have += static_cast<size_t>(std::max<qint64>(got, 0));
  }
  const size_t samples = have - have % frame;
  size_t whole = samples;
  if (source_->atEnd()) {
    // Silence after the last sample: the stream never runs dry, so its play time keeps running
    // until the last sample has been heard (a dry stream stops its clock short of that).
    const char silence = format_.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0);
    std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(samples), buffer_.end(), silence);
    whole = room;
  }
  {
    Locked lock(loop_);
    if (!Good() || pa_stream_write(stream_, buffer_.data(), whole, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
  }
  written_ += samples;
  partial_ = whole == room ? 0 : have - whole;
  std::memmove(buffer_.data(), buffer_.data() + whole, partial_);
}

int64_t PulseOutput::PlayedMicroseconds() {
  if (stream_ == nullptr) return playedUs_;
  Locked lock(loop_);
  pa_usec_t time = 0;
  if (Good() && pa_stream_get_time(stream_, &time) == 0) {
    const int64_t samplesUs = static_cast<int64_t>(pa_bytes_to_usec(written_, pa_stream_get_sample_spec(stream_)));
    playedUs_ = std::max(playedUs_, std::min(static_cast<int64_t>(time), samplesUs));
  }
  return playedUs_;
}

bool PulseOutput::BrokeOff() {
  if (stream_ == nullptr) return false;
  Locked lock(loop_);
  return !Good();
}

}  // namespace sonaveld
