#include "extract/wav_writer_thread.h"

#include <array>

#include "extract/audio_units.h"

namespace vyn {

Result<WavWriterThread> WavWriterThread::Start(InProcessPipeReader source,
                                               RiffFile& file,
                                               ThreadStarter start_thread) {
  auto state = std::make_unique<State>();
  state->source = std::move(source);
  state->file = &file;
  State* raw = state.get();
  auto thread = start_thread([raw] { Drain(*raw); });
  if (!thread)
    return thread.error();
  WavWriterThread writer(std::move(state));
  writer.thread_ = std::move(thread.value());
  return writer;
}

WriterOutcome WavWriterThread::Join() {
  if (!state_)
    return WriterOutcome::kDrained;
  thread_.Join();
  return state_->outcome.load(std::memory_order_acquire);
}

// Writes whole stereo frames only, so a failure never leaves half a frame
// in the data chunk; only the stream's last bytes may be less.
void WavWriterThread::Drain(State& state) {
  WriterOutcome outcome = WriterOutcome::kDrained;
  while (true) {
    const std::span<const BYTE> ready = state.source.Peek();
    if (ready.empty())
      break;
    const std::size_t whole = ready.size() - ready.size() % kStereoFrameBytes;
    if (whole == 0) {
      // Less than a frame before the end of the pipe's buffer: the frame
      // goes on at its start, or the stream ends here.
      std::array<BYTE, kStereoFrameBytes> frame;
      const std::size_t got = state.source.ReadExactly(frame);
      if (!state.file->Write(std::span(frame).first(got))) {
        outcome = WriterOutcome::kWriteFailed;
        break;
      }
      continue;
    }
    if (!state.file->Write(ready.first(whole))) {
      outcome = WriterOutcome::kWriteFailed;
      break;
    }
    state.source.Consume(whole);
  }
  state.outcome.store(outcome, std::memory_order_release);
  state.source.Close();
}

}  // namespace vyn
