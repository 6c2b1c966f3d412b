// Streams and storages: IStream (read, write, seek) over memory or a file,
// and a minimal IStorage that holds named streams in memory, enough for
// objects that persist themselves through IPersistStreamInit or
// IPersistStorage.
//
// Each stream is used by one thread at a time (it keeps a position); the
// factories are thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/result.h"

struct LARGE_INTEGER {
  std::int64_t QuadPart;
};
struct ULARGE_INTEGER {
  std::uint64_t QuadPart;
};

inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;

// Access modes of streams and storages (the bits this layer reads).
inline constexpr DWORD STGM_READ = 0x00000000;
inline constexpr DWORD STGM_WRITE = 0x00000001;
inline constexpr DWORD STGM_READWRITE = 0x00000002;
inline constexpr DWORD STGM_SHARE_EXCLUSIVE = 0x00000010;
inline constexpr DWORD STGM_CREATE = 0x00001000;

struct ISequentialStream : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("0C733A30-2A1C-11CE-ADE5-00AA0044773D");

  // S_OK with *read < size at the end of the stream; `read` may be null.
  virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
  // STG_E_ACCESSDENIED on a read-only stream; `written` may be null.
  virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;

 protected:
  ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
  using Base = ISequentialStream;
  static constexpr IID kIid = MakeGuid("0000000C-0000-0000-C000-000000000046");

  // STG_E_INVALIDFUNCTION for an unknown origin or a position before the
  // start; `position` may be null.
  virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) = 0;

 protected:
  ~IStream() = default;
};

struct IStorage : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("0000000B-0000-0000-C000-000000000046");

  // An empty stream of that name; STG_E_FILEALREADYEXISTS when it exists
  // and STGM_CREATE is not given (with it, the old one is replaced).
  virtual HRESULT CreateStream(const OLECHAR* name,
                               DWORD mode,
                               DWORD reserved1,
                               DWORD reserved2,
                               IStream** stream) = 0;
  // The stream of that name, positioned at its start; STG_E_FILENOTFOUND
  // when there is none.
  virtual HRESULT OpenStream(const OLECHAR* name,
                             void* reserved1,
                             DWORD mode,
                             DWORD reserved2,
                             IStream** stream) = 0;

 protected:
  ~IStorage() = default;
};

namespace vyn {

// A stream over a growable buffer, positioned at the start.
ComPtr<IStream> CreateMemoryStream(std::vector<BYTE> initial = {});
// The whole content of a stream made by CreateMemoryStream; empty for any
// other stream.
std::vector<BYTE> MemoryStreamBytes(IStream* stream);

enum class FileStreamMode { kRead, kCreate };
// A stream over a file: kRead opens an existing file read-only, kCreate
// makes (or truncates) one for reading and writing.
Result<ComPtr<IStream>> OpenFileStream(const std::string& path, FileStreamMode mode);

// An empty storage whose streams live in memory.
ComPtr<IStorage> CreateMemoryStorage();

}  // namespace vyn
