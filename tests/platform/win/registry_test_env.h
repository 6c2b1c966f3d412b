// A private store for one test: a fresh temporary directory, with
// VYN_REGISTRY pointing at "classes.reg" inside it while the test runs.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace vyn::testing {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "/vyn-registry-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    store_path_ = directory_ + "/classes.reg";
    if (const char* old = std::getenv("VYN_REGISTRY"))
      saved_ = old;
    ::setenv("VYN_REGISTRY", store_path_.c_str(), 1);
  }

  void TearDown() override {
    if (saved_)
      ::setenv("VYN_REGISTRY", saved_->c_str(), 1);
    else
      ::unsetenv("VYN_REGISTRY");
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  void WriteStoreFile(const std::string& bytes) const {
    std::ofstream(store_path_, std::ios::binary) << bytes;
  }

  std::string ReadStoreFile() const {
    std::ifstream in(store_path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string directory_;
  std::string store_path_;

 private:
  std::optional<std::string> saved_;
};

}  // namespace vyn::testing
