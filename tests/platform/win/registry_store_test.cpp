#include "platform/win/registry_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>

#include "tests/platform/win/registry_test_env.h"

namespace vyn {
namespace {

class RegistryStoreTest : public testing::RegistryTest {
 protected:
  RegistryStore store() const {
    auto current = RegistryStore::ForCurrentUser();
    EXPECT_TRUE(current.ok());
    return current.value();
  }
};

// Catches escaping faults that show only after the text went through the
// file: quotes, backslashes, '=', ']' and non-ASCII in key names, value
// names and values.
TEST_F(RegistryStoreTest, RoundTripsAwkwardTextThroughTheFile) {
  const std::string key = "Ke\"y = [1]]\\Süb ]\\日本";
  ASSERT_TRUE(store().CreateKey(key).ok());
  ASSERT_TRUE(store().SetString(key, "", "C:\\Program Files\\\"x\"\\").ok());
  ASSERT_TRUE(store().SetString(key, "a=b]\"\\", "[HKEY_CLASSES_ROOT\\Fake]").ok());
  ASSERT_TRUE(store().SetString(key, "ü", "é = \\\\ \"").ok());
  ASSERT_TRUE(store().SetString(key, "empty", "").ok());

  RegistryStore reopened(store_path_);
  EXPECT_EQ(reopened.QueryString(key, "").value(), "C:\\Program Files\\\"x\"\\");
  EXPECT_EQ(reopened.QueryString(key, "a=b]\"\\").value(), "[HKEY_CLASSES_ROOT\\Fake]");
  EXPECT_EQ(reopened.QueryString(key, "ü").value(), "é = \\\\ \"");
  EXPECT_EQ(reopened.QueryString(key, "empty").value(), "");
  EXPECT_EQ(reopened.EnumSubkeys("Ke\"y = [1]]").value(), std::vector<std::string>{"Süb ]"});
  EXPECT_EQ(reopened.EnumSubkeys("").value(), std::vector<std::string>{"Ke\"y = [1]]"});
}

// Catches case-sensitive lookups, and a later write that renames a key or
// value to the case it was last spelled in.
TEST_F(RegistryStoreTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  ASSERT_TRUE(store().CreateKey("CLSID\\{ABC}\\ProgID").ok());
  EXPECT_EQ(store().CreateKey("clsid\\{abc}\\PROGID").value(), KeyDisposition::Existed);
  ASSERT_TRUE(store().SetString("clsid\\{abc}", "ThreadingModel", "Both").ok());
  ASSERT_TRUE(store().SetString("CLSID\\{ABC}", "THREADINGMODEL", "Apartment").ok());
  EXPECT_EQ(store().QueryString("Clsid\\{Abc}", "threadingmodel").value(), "Apartment");
  EXPECT_EQ(store().EnumSubkeys("").value(), std::vector<std::string>{"CLSID"});
  EXPECT_EQ(store().EnumSubkeys("clsid").value(), std::vector<std::string>{"{ABC}"});
  auto values = store().EnumValues("CLSID\\{ABC}").value();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, "ThreadingModel");
}

// Catches a tree deletion that takes siblings with a common prefix or the
// parent along, or leaves grandchildren behind.
TEST_F(RegistryStoreTest, DeleteTreeRemovesOnlyTheKeyAndWhatIsBelowIt) {
  for (const char* key :
       {"CLSID\\{A}\\InprocServer32", "CLSID\\{A}\\MiscStatus\\1", "CLSID\\{A}X", "CLSID\\{B}"})
    ASSERT_TRUE(store().CreateKey(key).ok());
  ASSERT_TRUE(store().SetString("CLSID", "", "root of classes").ok());

  ASSERT_TRUE(store().DeleteTree("clsid\\{a}").ok());
  EXPECT_EQ(store().EnumSubkeys("CLSID").value(), (std::vector<std::string>{"{A}X", "{B}"}));
  EXPECT_FALSE(store().KeyExists("CLSID\\{A}\\MiscStatus\\1").value());
  EXPECT_EQ(store().QueryString("CLSID", "").value(), "root of classes");
  EXPECT_EQ(store().DeleteTree("CLSID\\{A}").code(), REGDB_E_KEYMISSING);
  EXPECT_EQ(store().DeleteTree("").code(), E_INVALIDARG);

  ASSERT_TRUE(store().DeleteContents("CLSID").ok());
  EXPECT_TRUE(store().KeyExists("CLSID").value());
  EXPECT_TRUE(store().EnumSubkeys("CLSID")->empty());
  EXPECT_TRUE(store().EnumValues("CLSID")->empty());
}

// Catches missing-key and missing-value failures reported as success or
// as an empty string, and text the file cannot hold being written anyway.
TEST_F(RegistryStoreTest, ReportsWhatIsMissingOrUnstorable) {
  EXPECT_FALSE(store().KeyExists("A").value());
  EXPECT_EQ(store().QueryString("A", "").code(), REGDB_E_KEYMISSING);
  EXPECT_FALSE(std::filesystem::exists(store_path_));  // reading creates no store
  EXPECT_EQ(store().SetString("A", "n", "v").code(), REGDB_E_KEYMISSING);
  ASSERT_TRUE(store().CreateKey("A").ok());
  EXPECT_EQ(store().QueryString("A", "").code(), REGDB_E_KEYMISSING);
  EXPECT_EQ(store().DeleteValue("A", "n").code(), REGDB_E_KEYMISSING);
  EXPECT_EQ(store().SetString("A", "n", "two\nlines").code(), E_INVALIDARG);
  EXPECT_EQ(store().SetString("A", "n\r", "v").code(), E_INVALIDARG);
  EXPECT_EQ(store().SetString("A", "n", "caf\xE9").code(), E_INVALIDARG);
  EXPECT_EQ(store().CreateKey("A\\\\B").code(), E_INVALIDARG);
  EXPECT_EQ(store().CreateKey("\\A").code(), E_INVALIDARG);
  EXPECT_EQ(store().CreateKey("A\\line\nbreak").code(), E_INVALIDARG);
  ASSERT_TRUE(store().SetString("A", "n", "v").ok());
  ASSERT_TRUE(store().DeleteValue("A", "N").ok());
  EXPECT_TRUE(store().EnumValues("A")->empty());
}

// Catches a store that fails, or writes elsewhere, when its directory
// does not exist yet.
TEST_F(RegistryStoreTest, CreatesMissingDirectories) {
  RegistryStore nested(directory_ + "/a/b/c/classes.reg");
  EXPECT_FALSE(nested.KeyExists("K").value());
  ASSERT_TRUE(nested.CreateKey("K").ok());
  EXPECT_TRUE(std::filesystem::is_regular_file(nested.path()));
  EXPECT_TRUE(RegistryStore(nested.path()).KeyExists("k").value());
}

// Catches values of other kinds being dropped or rewritten when the system
// changes something else in the same file.
TEST_F(RegistryStoreTest, KeepsOtherValueKindsOnRewrite) {
  const std::string raw =
      "[HKEY_CLASSES_ROOT\\A]\n\"flags\"=dword:0000002a\n\"data\"=hex:01,02,\\\n  03\n";
  WriteStoreFile("Windows Registry Editor Version 5.00\n\n" + raw);
  ASSERT_TRUE(store().SetString("A", "text", "t").ok());
  EXPECT_NE(ReadStoreFile().find(raw), std::string::npos) << ReadStoreFile();
  EXPECT_EQ(store().QueryString("A", "flags").code(), REGDB_E_INVALIDVALUE);
  ASSERT_TRUE(store().SetString("A", "flags", "now a string").ok());
  EXPECT_EQ(store().QueryString("A", "flags").value(), "now a string");
}

// Catches a corrupt file being read as empty (and then overwritten, losing
// every registration) or an error that does not say where the fault is.
TEST_F(RegistryStoreTest, CorruptFileFailsClearlyAndIsNeverOverwritten) {
  static const struct {
    const char* name;
    std::string bytes;
    int line;
  } kFiles[] = {
      {"foreign text", "hello\nworld\n", 1},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), 1},
      {"malformed line", "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\A]\n@=oops\n",
       4},
      {"invalid UTF-8",
       "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\A]\n\"n\"=\"\xFF\xFE\"\n", 3},
  };
  const std::vector<std::pair<const char*, std::function<HRESULT(const RegistryStore&)>>> kOps = {
      {"create", [](const RegistryStore& s) { return s.CreateKey("B").code(); }},
      {"set", [](const RegistryStore& s) { return s.SetString("A", "n", "v").code(); }},
      {"delete value", [](const RegistryStore& s) { return s.DeleteValue("A", "n").code(); }},
      {"delete tree", [](const RegistryStore& s) { return s.DeleteTree("A").code(); }},
      {"query", [](const RegistryStore& s) { return s.QueryString("A", "").code(); }},
      {"exists", [](const RegistryStore& s) { return s.KeyExists("A").code(); }},
      {"enumerate", [](const RegistryStore& s) { return s.EnumSubkeys("").code(); }},
  };
  for (const auto& file : kFiles) {
    SCOPED_TRACE(file.name);
    WriteStoreFile(file.bytes);
    for (const auto& [op_name, op] : kOps) {
      SCOPED_TRACE(op_name);
      EXPECT_EQ(op(store()), REGDB_E_READREGDB);
      EXPECT_EQ(ReadStoreFile(), file.bytes);
    }
    auto failure = store().SetString("A", "n", "v");
    EXPECT_EQ(
        failure.error().message.rfind(store_path_ + ":" + std::to_string(file.line) + ": ", 0), 0u)
        << failure.error().message;
  }
  // Only the store file and its lock file: no temporary left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_), {}), 2);
}

// Catches the wrong precedence between VYN_REGISTRY and the XDG location.
TEST_F(RegistryStoreTest, FindsTheStoreFromTheEnvironment) {
  EXPECT_EQ(store().path(), store_path_);
  const char* home = std::getenv("HOME");
  const char* data_home = std::getenv("XDG_DATA_HOME");
  std::string saved_home = home ? home : "", saved_data_home = data_home ? data_home : "";
  ::unsetenv("VYN_REGISTRY");
  ::setenv("HOME", "/home/someone", 1);
  ::setenv("XDG_DATA_HOME", "/data", 1);
  EXPECT_EQ(RegistryStore::ForCurrentUser()->path(), "/data/vyn/classes.reg");
  ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
  EXPECT_EQ(RegistryStore::ForCurrentUser()->path(), "/home/someone/.local/share/vyn/classes.reg");
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(RegistryStore::ForCurrentUser()->path(), "/home/someone/.local/share/vyn/classes.reg");
  if (home)
    ::setenv("HOME", saved_home.c_str(), 1);
  else
    ::unsetenv("HOME");
  if (data_home)
    ::setenv("XDG_DATA_HOME", saved_data_home.c_str(), 1);
}

}  // namespace
}  // namespace vyn
