#include "platform/win/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win/registry_store.h"
#include "tests/platform/win/registry_test_env.h"

namespace {

class RegistryApiTest : public vyn::testing::RegistryTest {
 protected:
  // A key below HKEY_CLASSES_ROOT, created with the given rights.
  HKEY Create(const char16_t* path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                              nullptr, &key, disposition),
              ERROR_SUCCESS);
    return key;
  }

  static LSTATUS Set(HKEY key, const char16_t* name, std::u16string_view text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
  }
};

// Catches size arithmetic faults: sizes in bytes with the terminator, a
// size-only query, and a short buffer that must not be overrun.
TEST_F(RegistryApiTest, QueryReportsSizesInBytesAndRefusesShortBuffers) {
  DWORD disposition = 0;
  HKEY key = Create(u"CLSID\\{X}\\InprocServer32", KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  ASSERT_EQ(Set(key, nullptr, u"/usr/lib/libvynctl.so ü"), ERROR_SUCCESS);
  ASSERT_EQ(Set(key, u"ThreadingModel", u"Apartment"), ERROR_SUCCESS);

  DWORD type = REG_NONE, size = 0;
  ASSERT_EQ(RegQueryValueExW(key, u"", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 24u * sizeof(char16_t));

  char16_t buffer[40];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  size = 10 * sizeof(char16_t);
  EXPECT_EQ(
      RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
      ERROR_MORE_DATA);
  EXPECT_EQ(size, 24u * sizeof(char16_t));
  EXPECT_EQ(buffer[0], u'#');
  size = sizeof buffer;
  ASSERT_EQ(RegQueryValueExW(key, u"threadingmodel", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(buffer), u"Apartment");
  EXPECT_EQ(size, 10u * sizeof(char16_t));
  EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  HKEY again = Create(u"clsid\\{x}\\inprocserver32", KEY_READ, &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
}

// Catches open succeeding on a missing key, rights not being enforced, and
// text the store cannot hold being accepted.
TEST_F(RegistryApiTest, OpenChecksExistenceRightsAndText) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"Nope", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  RegCloseKey(Create(u"A"));
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"a", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(Set(key, nullptr, u"x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueW(key, nullptr), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteTreeW(key, nullptr), ERROR_ACCESS_DENIED);
  RegCloseKey(key);

  key = Create(u"A");
  const char16_t lone_surrogate[] = {u'a', char16_t(0xD800), 0};
  EXPECT_EQ(Set(key, lone_surrogate, u"x"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Set(key, nullptr, u"line\nbreak"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExW(key, nullptr, 0, 4 /* REG_DWORD */, nullptr, 0),
            ERROR_INVALID_PARAMETER);
  HKEY sub = nullptr;
  EXPECT_EQ(RegCreateKeyExW(key, u"\\Lead", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
  EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CLASSES_ROOT), ERROR_SUCCESS);
}

// Catches enumeration that skips or repeats names or overruns the buffer.
TEST_F(RegistryApiTest, EnumeratesSubkeysInCreationOrder) {
  HKEY parent = Create(u"Parent");
  RegCloseKey(Create(u"Parent\\Zeta"));
  RegCloseKey(Create(u"Parent\\Alpha\\Deeper"));
  char16_t name[16];
  DWORD length = 16;
  ASSERT_EQ(RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"Zeta");
  EXPECT_EQ(length, 4u);
  length = 5;  // "Alpha" needs 6 with its terminator
  EXPECT_EQ(RegEnumKeyExW(parent, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  length = 6;
  ASSERT_EQ(RegEnumKeyExW(parent, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"Alpha");
  length = 16;
  EXPECT_EQ(RegEnumKeyExW(parent, 2, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  RegCloseKey(parent);
}

// Catches RegDeleteTreeW confusing "this key's contents" with "this key",
// and a handle to a deleted key still reading old data.
TEST_F(RegistryApiTest, DeleteTreeWithAndWithoutSubkeyName) {
  HKEY key = Create(u"Nuvex.CDRipper");
  RegCloseKey(Create(u"Nuvex.CDRipper\\CLSID"));
  ASSERT_EQ(Set(key, nullptr, u"CDRipper Class"), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTreeW(key, nullptr), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(vyn::RegistryStore(store_path_).KeyExists("Nuvex.CDRipper").value());
  EXPECT_FALSE(vyn::RegistryStore(store_path_).KeyExists("Nuvex.CDRipper\\CLSID").value());

  ASSERT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, u"NUVEX.CDRIPPER"), ERROR_SUCCESS);
  EXPECT_EQ(Set(key, nullptr, u"x"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, u"Nuvex.CDRipper"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

// Catches a corrupt store being treated as an empty one by the API.
TEST_F(RegistryApiTest, CorruptStoreGivesBadDb) {
  WriteStoreFile("not a registry\n");
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"A", 0, KEY_READ, &key), ERROR_BADDB);
  EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"A", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_BADDB);
  EXPECT_EQ(ReadStoreFile(), "not a registry\n");
}

}  // namespace
