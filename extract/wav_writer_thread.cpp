#include "extract/wav_writer_thread.h"

#include <cstring>
#include <new>

#include "extract/audio_units.h"
#include "platform/win/last_error.h"

namespace vyn {

Result<WavWriterThread> WavWriterThread::Start(PipeReadEnd source,
                                               RiffFile& file,
                                               ThreadStarter start_thread) {
  auto state = std::make_unique<State>();
  state->source = std::move(source);
  state->file = &file;
  state->block.reset(new (std::nothrow) BYTE[kWriterBlockBytes]);
  if (!state->block) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return Error{E_OUTOFMEMORY, "no memory for the writer's block"};
  }
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

// Writes whole stereo frames only and carries a split frame over to the
// next block, so a failure never leaves half a frame in the data chunk.
void WavWriterThread::Drain(State& state) {
  const std::span<BYTE> block(state.block.get(), kWriterBlockBytes);
  std::size_t held = 0;
  WriterOutcome outcome = WriterOutcome::kDrained;
  while (true) {
    auto got = state.source.Read(block.subspan(held));
    if (!got) {
      outcome = WriterOutcome::kReadFailed;
      break;
    }
    const bool at_end = got.value() == 0;
    held += got.value();
    const std::size_t whole = at_end ? held : held - held % kStereoFrameBytes;
    if (whole > 0 && !state.file->Write(block.first(whole))) {
      outcome = WriterOutcome::kWriteFailed;
      break;
    }
    if (at_end)
      break;
    std::memmove(block.data(), block.data() + whole, held - whole);
    held -= whole;
  }
  state.outcome.store(outcome, std::memory_order_release);
  state.source.Close();
}

}  // namespace vyn
