// What the converters between encodings share: the outcome of one conversion
// and a bounded output that can also just count. Internal to platform/text.
#pragma once

#include <cstddef>

namespace vyn::text {

enum class OnInvalid { kReplace, kFail };

struct [[nodiscard]] Transcoded {
  enum class Status { kOk, kOverflow, kInvalid };
  Status status = Status::kOk;
  // Units the whole input needs when kOk; units written so far otherwise.
  std::size_t length = 0;
  // Some input had no exact counterpart and was replaced.
  bool replaced = false;
};

// Writes into [dst, dst + capacity), or only counts when dst is null.
template <class Unit>
class Output {
 public:
  Output(Unit* dst, std::size_t capacity) : dst_(dst), capacity_(capacity) {}

  // False when the buffer is full; nothing is written then.
  bool Put(Unit unit) {
    if (dst_) {
      if (length_ == capacity_)
        return false;
      dst_[length_] = unit;
    }
    ++length_;
    return true;
  }
  std::size_t length() const { return length_; }

 private:
  Unit* dst_;
  std::size_t capacity_;
  std::size_t length_ = 0;
};

}  // namespace vyn::text
