// The thread that drains a WAV sink's pipe into the file's "data" chunk,
// so reading the disc and writing the file overlap. It writes the bytes
// straight from the pipe's buffer, as much as lies together at a time. It
// stops when the pipe's write end is closed and the pipe is empty, or at
// the first failure; either way it closes the read end, so the producer's
// next write fails instead of blocking forever.
//
// Owned by the sink on the extraction worker's thread. The file belongs to
// the writer thread from Start until Join returns; the outcome is atomic.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/com/result.h"
#include "platform/riff/riff_file.h"
#include "platform/win/in_process_pipe.h"
#include "platform/win/thread.h"

namespace vyn {

enum class WriterOutcome {
  kRunning,
  kDrained,      // every byte that entered the pipe is in the file
  kWriteFailed,  // the file refused a block
};

using ThreadStarter = Result<Thread> (*)(std::function<void()> body);

class WavWriterThread {
 public:
  // Starts draining `source` into `file`, which must stay put until Join.
  static Result<WavWriterThread> Start(InProcessPipeReader source,
                                       RiffFile& file,
                                       ThreadStarter start_thread = &Thread::Start);

  WavWriterThread(WavWriterThread&&) noexcept = default;
  WavWriterThread& operator=(WavWriterThread&&) = delete;
  ~WavWriterThread() { Join(); }

  // Waits until the thread has stopped; how it stopped.
  WriterOutcome Join();

 private:
  struct State {
    InProcessPipeReader source;
    RiffFile* file = nullptr;
    std::atomic<WriterOutcome> outcome{WriterOutcome::kRunning};
  };
  explicit WavWriterThread(std::unique_ptr<State> state) : state_(std::move(state)) {}
  static void Drain(State& state);

  std::unique_ptr<State> state_;  // outlives thread_: declared first
  Thread thread_;
};

}  // namespace vyn
