#include "extract/wav_file_sink.h"

#include <cstdio>

#include "control/error_reporting.h"
#include "control/messages.h"
#include "extract/wav_format.h"
#include "platform/text/code_page.h"
#include "platform/win/last_error.h"

namespace vyn {
namespace {

Error Failure(Message message) {
  return {E_FAIL, MessageText(message)};
}

// "Internal error 1411: <the system's text for the last error>".
Error PipeFailure() {
  char text[512];
  std::snprintf(text, sizeof text, MessageText(Message::kWavPipeFailed), kWavPipeErrorNumber,
                SystemErrorText().c_str());
  return {E_FAIL, text};
}

}  // namespace

Result<std::unique_ptr<WavFileSink>> WavFileSink::Open(std::u16string_view path,
                                                       const WavSinkSeams& seams) {
  auto file = RiffFile::Create(WideToUtf8(path), *seams.files);
  if (!file)
    return Failure(Message::kCannotCreateWav);
  std::unique_ptr<WavFileSink> sink(new WavFileSink(std::move(file.value())));
  // On failure below, the sink's destructor leaves the file well-formed.
  if (auto header = sink->WriteHeader(); !header)
    return header.error();
  if (auto writer = sink->StartWriter(seams); !writer)
    return writer.error();
  return sink;
}

WavFileSink::~WavFileSink() {
  (void)Finish();
}

Result<void> WavFileSink::WriteHeader() {
  riff_chunk_ = {};
  sub_chunk_ = {};
  riff_chunk_.form_type = kWaveForm;
  if (!file_.CreateChunk(riff_chunk_, ChunkKind::kRiffForm))
    return Failure(Message::kWriteError);
  sub_chunk_.id = kFormatChunk;
  if (!file_.CreateChunk(sub_chunk_, ChunkKind::kPlain) || !file_.Write(kCdAudioFormatRecord) ||
      !file_.Ascend(sub_chunk_)) {
    return Failure(Message::kWriteError);
  }
  sub_chunk_ = {};
  sub_chunk_.id = kDataChunk;
  if (!file_.CreateChunk(sub_chunk_, ChunkKind::kPlain))
    return Failure(Message::kWriteError);
  return Ok();
}

// Without a running writer the worker would block once the pipe is full
// and finishing would wait forever, so either failure ends the set-up.
Result<void> WavFileSink::StartWriter(const WavSinkSeams& seams) {
  auto pipe = seams.create_pipe(kSinkPipeBytes);
  if (!pipe)
    return PipeFailure();
  auto writer = WavWriterThread::Start(std::move(pipe->read), file_, seams.start_thread);
  if (!writer)
    return PipeFailure();
  pipe_write_ = std::move(pipe->write);
  writer_.emplace(std::move(writer.value()));
  return Ok();
}

Result<void> WavFileSink::Write(std::span<const BYTE> pcm) {
  if (!writer_ || !pipe_write_.is_open())
    return Failure(Message::kWriteError);
  auto written = pipe_write_.WriteAll(pcm);
  if (written)
    return Ok();
  const DWORD pipe_error = GetLastError();
  // The writer has stopped or stops now that its input is closed; its
  // outcome says whether it stopped on a file error.
  if (StopWriter() == WriterOutcome::kWriteFailed)
    return Failure(Message::kWriteError);
  SetLastError(pipe_error);
  return PipeFailure();
}

WriterOutcome WavFileSink::StopWriter() {
  pipe_write_.Close();
  if (writer_) {
    writer_outcome_ = writer_->Join();
    writer_.reset();
  }
  return writer_outcome_;
}

Result<void> WavFileSink::Finish() {
  if (!file_.is_open())
    return Ok();
  // A writer that failed fails the finish too, even when every pipe write
  // had succeeded: the file lacks data.
  bool ok = StopWriter() == WriterOutcome::kDrained;
  if (sub_chunk_.created)
    ok = file_.Ascend(sub_chunk_).ok() && ok;
  if (riff_chunk_.created)
    ok = file_.Ascend(riff_chunk_).ok() && ok;
  ok = file_.Close().ok() && ok;
  if (!ok)
    return Failure(Message::kWriteError);
  return Ok();
}

}  // namespace vyn
