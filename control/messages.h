// Every text the control shows a host, once. Each row is
//   X(identifier, "text")
// The texts are the control's own and are used exactly as they stand.
#pragma once

#define VYN_CONTROL_MESSAGE_LIST(X)                                                     \
  X(kNoCdDrives, "Seems like you don't have any CD drives...")                          \
  X(kExtractionInProgress, "Extraction is already in progress.")                        \
  X(kEncoderNotSet, "External encoder is not set.")                                     \
  X(kQueueEmpty, "Extraction queue is empty.")                                          \
  X(kNoSuchTrack, "No such track on the disk")                                          \
  X(kNoActiveCddbRecord, "No active CDDB record.")                                      \
  X(kCddbCannotInitSockets, "CDDB error #1: Cannot initalise WinSock.")                 \
  X(kCddbInternalError, "CDDB error #3: internal error.")                               \
  X(kCddbConnectTimedOut, "CDDB error #4: cannot connect, timed out.")                  \
  X(kCddbServerNotFound, "CDDB error #5: server not found.")                            \
  X(kCddbCannotSend, "CDDB error #6: cannot send cddb request.")                        \
  X(kCddbNotHttp, "CDDB error #7: wrong server response.")                              \
  X(kCddbHttpStatus, "CDDB error #8: wrong server response.")                           \
  X(kCddbNoRecords, "CDDB error #9: no records for your disk found.")                   \
  X(kCddbUnknownFailure, "CDDB error #10: CDDB request failed for unknown reason.")     \
  X(kSocketReceiveFailed, "Socket error: failed to receive data.")                      \
  X(kSocketTimedOut, "Socket error: timed out.")                                        \
  X(kReaderNoResultPlace, "Internal Error #7600")                                       \
  X(kReaderNoBuffer, "Internal Error #7601")                                            \
  X(kUnknownJobKind, "Internal error #7603")                                            \
  X(kCancelledByUser, "Cancelled by user.")                                             \
  X(kUnableToOverwrite, "Unable to overwrite.")                                         \
  X(kCannotCreateWav, "Cannot create wav-file")                                         \
  X(kWriteError, "Write error")                                                         \
  X(kWavPipeFailed, "Internal error %d: %s")                                            \
  X(kOutputNameTooLong, "Output file name is too long.")                                \
  X(kEncoderCannotStart, "Internal error #7653. External encoder was unable to start.") \
  X(kEncoderRefusesFormat, "Internal error #7654. Cannot start encoding.")              \
  X(kEncoderWriteFailed, "Internal error #7655. Error writing to external encoder.")    \
  X(kEncoderProblem, "Internal error #7656. External encoder problem.")                 \
  X(kOverwriteQuestion, "File already exists. Do you wish to overwrite it?")            \
  X(kOverwriteCaption, "Tarnwell Control")

namespace vyn {

enum class Message {
#define VYN_MESSAGE_ENUM(id, text) id,
  VYN_CONTROL_MESSAGE_LIST(VYN_MESSAGE_ENUM)
#undef VYN_MESSAGE_ENUM
};

// The text of a message, in the ANSI code page (all are ASCII).
constexpr const char* MessageText(Message message) {
  switch (message) {
#define VYN_MESSAGE_TEXT(id, text) \
  case Message::id:                \
    return text;
    VYN_CONTROL_MESSAGE_LIST(VYN_MESSAGE_TEXT)
#undef VYN_MESSAGE_TEXT
  }
  return "";
}

}  // namespace vyn
