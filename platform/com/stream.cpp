#include "platform/com/stream.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "platform/com/com_object.h"

namespace vyn {
namespace {

// The new position of a seek, or nothing when it lies before the start.
bool SeekTarget(std::int64_t current,
                std::int64_t end,
                LARGE_INTEGER move,
                DWORD origin,
                std::int64_t* target) {
  std::int64_t base = 0;
  switch (origin) {
    case STREAM_SEEK_SET:
      base = 0;
      break;
    case STREAM_SEEK_CUR:
      base = current;
      break;
    case STREAM_SEEK_END:
      base = end;
      break;
    default:
      return false;
  }
  std::int64_t result = 0;
  if (__builtin_add_overflow(base, move.QuadPart, &result) || result < 0)
    return false;
  *target = result;
  return true;
}

// Home thread: whichever thread uses it; not shared.
class MemoryStream final : public ComObject<MemoryStream, IStream> {
 public:
  explicit MemoryStream(std::vector<BYTE> bytes) : bytes_(std::move(bytes)) {}

  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    if (!buffer && size != 0)
      return E_POINTER;
    std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    ULONG count = static_cast<ULONG>(std::min<std::size_t>(size, available));
    if (count != 0)
      std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    if (read)
      *read = count;
    return S_OK;
  }

  HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
    if (!buffer && size != 0)
      return E_POINTER;
    std::size_t end = position_ + size;
    if (end > bytes_.size())
      bytes_.resize(end);
    if (size != 0)
      std::memcpy(bytes_.data() + position_, buffer, size);
    position_ = end;
    if (written)
      *written = size;
    return S_OK;
  }

  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    std::int64_t target = 0;
    if (!SeekTarget(static_cast<std::int64_t>(position_), static_cast<std::int64_t>(bytes_.size()),
                    move, origin, &target))
      return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::size_t>(target);
    if (position)
      position->QuadPart = position_;
    return S_OK;
  }

  const std::vector<BYTE>& bytes() const { return bytes_; }

  // Identifies streams of this kind without RTTI.
  static constexpr IID kMemoryStreamIid = MakeGuid("6A2E51C0-93B4-4F7D-A8E6-0D5C17B3F942");
  void* QueryExtraInterface(REFIID iid) { return iid == kMemoryStreamIid ? this : nullptr; }

 protected:
  ~MemoryStream() override = default;

 private:
  std::vector<BYTE> bytes_;
  std::size_t position_ = 0;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Home thread: whichever thread uses it; not shared.
class FileStream final : public ComObject<FileStream, IStream> {
 public:
  FileStream(std::unique_ptr<std::FILE, FileCloser> file, bool writable)
      : file_(std::move(file)), writable_(writable) {}

  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    if (!buffer && size != 0)
      return E_POINTER;
    std::size_t count = size == 0 ? 0 : std::fread(buffer, 1, size, file_.get());
    if (read)
      *read = static_cast<ULONG>(count);
    return std::ferror(file_.get()) ? STG_E_READFAULT : S_OK;
  }

  HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
    if (!buffer && size != 0)
      return E_POINTER;
    if (!writable_)
      return STG_E_ACCESSDENIED;
    std::size_t count = size == 0 ? 0 : std::fwrite(buffer, 1, size, file_.get());
    if (written)
      *written = static_cast<ULONG>(count);
    return count == size ? S_OK : STG_E_WRITEFAULT;
  }

  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    long current = std::ftell(file_.get());
    if (std::fseek(file_.get(), 0, SEEK_END) != 0)
      return STG_E_INVALIDFUNCTION;
    long end = std::ftell(file_.get());
    std::int64_t target = 0;
    bool valid = current >= 0 && end >= 0 && SeekTarget(current, end, move, origin, &target);
    if (!valid) {
      std::fseek(file_.get(), current, SEEK_SET);
      return STG_E_INVALIDFUNCTION;
    }
    if (std::fseek(file_.get(), static_cast<long>(target), SEEK_SET) != 0)
      return STG_E_INVALIDFUNCTION;
    if (position)
      position->QuadPart = static_cast<std::uint64_t>(target);
    return S_OK;
  }

 protected:
  ~FileStream() override = default;

 private:
  std::unique_ptr<std::FILE, FileCloser> file_;
  const bool writable_;
};

// Home thread: whichever thread uses it; not shared. Opening a stream
// gives the stream that was created under that name, rewound.
class MemoryStorage final : public ComObject<MemoryStorage, IStorage> {
 public:
  HRESULT CreateStream(const OLECHAR* name, DWORD mode, DWORD, DWORD, IStream** stream) override {
    if (!stream)
      return E_POINTER;
    *stream = nullptr;
    if (!name)
      return E_INVALIDARG;
    if (streams_.count(name) && !(mode & STGM_CREATE))
      return STG_E_FILEALREADYEXISTS;
    auto created = CreateMemoryStream();
    if (!created)
      return E_OUTOFMEMORY;
    streams_[name] = created;
    *stream = created.Detach();
    return S_OK;
  }

  HRESULT OpenStream(const OLECHAR* name, void*, DWORD, DWORD, IStream** stream) override {
    if (!stream)
      return E_POINTER;
    *stream = nullptr;
    if (!name)
      return E_INVALIDARG;
    auto found = streams_.find(name);
    if (found == streams_.end())
      return STG_E_FILENOTFOUND;
    LARGE_INTEGER start{0};
    found->second->Seek(start, STREAM_SEEK_SET, nullptr);
    return found->second.CopyTo(stream);
  }

 protected:
  ~MemoryStorage() override = default;

 private:
  std::map<std::u16string, ComPtr<IStream>> streams_;
};

}  // namespace

ComPtr<IStream> CreateMemoryStream(std::vector<BYTE> initial) {
  return MemoryStream::Create(std::move(initial));
}

std::vector<BYTE> MemoryStreamBytes(IStream* stream) {
  if (!stream)
    return {};
  void* found = nullptr;
  if (FAILED(stream->QueryInterface(MemoryStream::kMemoryStreamIid, &found)) || !found)
    return {};
  auto* memory = static_cast<MemoryStream*>(found);
  std::vector<BYTE> bytes = memory->bytes();
  memory->Release();
  return bytes;
}

Result<ComPtr<IStream>> OpenFileStream(const std::string& path, FileStreamMode mode) {
  const bool create = mode == FileStreamMode::kCreate;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), create ? "w+b" : "rb"));
  if (!file)
    return Error{create ? STG_E_ACCESSDENIED : STG_E_FILENOTFOUND, "cannot open " + path};
  auto stream = FileStream::Create(std::move(file), create);
  if (!stream)
    return Error{E_OUTOFMEMORY, "no memory for a file stream"};
  return ComPtr<IStream>(std::move(stream));
}

ComPtr<IStorage> CreateMemoryStorage() {
  return MemoryStorage::Create();
}

}  // namespace vyn
