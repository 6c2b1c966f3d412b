// Sets or clears environment variables for one test and restores them.
// Use before any thread that reads them starts.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vyn::testing {

class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
  }

  // Null clears the variable.
  ScopedEnvironment& Set(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
      setenv(name.c_str(), value, 1);
    else
      unsetenv(name.c_str());
    return *this;
  }
  ScopedEnvironment& Set(const std::string& name, const std::string& value) {
    return Set(name, value.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace vyn::testing
