// One extracted track written as a WAV file. The extraction worker pushes
// each chunk of PCM into an in-process pipe of 1 MiB; a WavWriterThread
// drains it into the file's "data" chunk, so reading the disc and writing
// the disk overlap. Finishing (or destroying) the sink writes the chunk
// lengths and closes the file, so the file is well-formed whatever
// happened: finished, cancelled, failed, or abandoned.
//
// Failures carry the control's texts: "Cannot create wav-file" when the
// file cannot be created; "Write error" for a failed header, a failed
// block in the writer thread (also when it is only found by Finish), or a
// failed length update; "Internal error 1411: <system text>" when the pipe
// fails for another reason or the pipe or writer thread cannot be made.
//
// Home thread: the extraction worker, which creates, writes, finishes and
// destroys the sink; the writer thread owns the file in between.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "extract/wav_writer_thread.h"
#include "platform/com/result.h"
#include "platform/riff/output_file.h"
#include "platform/riff/riff_file.h"
#include "platform/win/in_process_pipe.h"

namespace vyn {

// The system services a sink uses; tests replace them to make them fail.
struct WavSinkSeams {
  FileLayer* files = &SystemFileLayer();
  Result<InProcessPipe> (*create_pipe)(std::size_t capacity) = &CreateInProcessPipe;
  ThreadStarter start_thread = &Thread::Start;
};

// The pipe's size: about six seconds of audio.
inline constexpr std::size_t kSinkPipeBytes = 1 << 20;

// The number the writer-pipe failure text carries.
inline constexpr int kWavPipeErrorNumber = 1411;

class WavFileSink {
 public:
  // Creates or truncates the file (UTF-16 name, UTF-8 on disk), writes the
  // 46-byte header with zero lengths and starts the writer thread. On
  // failure the error's message is the text to report; a file already
  // created is left well-formed.
  static Result<std::unique_ptr<WavFileSink>> Open(std::u16string_view path,
                                                   const WavSinkSeams& seams = {});
  ~WavFileSink();
  WavFileSink(const WavFileSink&) = delete;
  WavFileSink& operator=(const WavFileSink&) = delete;

  // Passes one chunk to the writer thread, blocking while the pipe is full.
  Result<void> Write(std::span<const BYTE> pcm);
  // Waits until everything written is in the file, writes the lengths and
  // closes it. Succeeds at once when no file is open.
  Result<void> Finish();

 private:
  explicit WavFileSink(RiffFile file) : file_(std::move(file)) {}
  Result<void> WriteHeader();
  Result<void> StartWriter(const WavSinkSeams& seams);
  // Closes the pipe and waits for the writer; how it stopped (also when it
  // had been stopped before).
  WriterOutcome StopWriter();

  RiffFile file_;
  RiffChunk riff_chunk_;
  RiffChunk sub_chunk_;  // "fmt ", then "data"
  InProcessPipeWriter pipe_write_;
  std::optional<WavWriterThread> writer_;                   // declared after file_: stops first
  WriterOutcome writer_outcome_ = WriterOutcome::kDrained;  // of a stopped writer
};

}  // namespace vyn
