// vynregsvr: registers an in-process server module in the class registry,
// or unregisters it with -u, by calling the module's DllRegisterServer or
// DllUnregisterServer.
//
//   vynregsvr [-u] path
//
// Exit status: 0 on success, 1 when the module cannot be loaded, lacks the
// entry point or the entry point fails (the HRESULT and its meaning are
// printed), 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/com/class_factory.h"
#include "platform/com/hresult.h"
#include "platform/win/format_message.h"
#include "platform/win/module.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

// What a failure means to someone registering a module.
std::string Meaning(HRESULT hr) {
  struct Known {
    HRESULT code;
    const char* text;
  };
  static constexpr Known kKnown[] = {
      {CO_E_DLLNOTFOUND, "the module cannot be loaded"},
      {CO_E_ERRORINDLL, "the module does not export the entry point"},
      {REGDB_E_WRITEREGDB, "the class registry cannot be written"},
      {REGDB_E_READREGDB, "the class registry cannot be read"},
      {TYPE_E_CANTLOADLIBRARY, "the type library cannot be loaded"},
      {TYPE_E_UNSUPFORMAT, "the type library has a format this system does not read"},
      {E_OUTOFMEMORY, "out of memory"},
      {E_UNEXPECTED, "the module cannot find its own path"},
      {E_FAIL, "unspecified failure"},
  };
  for (const Known& known : kKnown) {
    if (known.code == hr)
      return known.text;
  }
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(hr), 0, text, sizeof text, nullptr);
  std::string meaning(text, length);
  while (!meaning.empty() && (meaning.back() == '\n' || meaning.back() == '\r'))
    meaning.pop_back();
  return meaning.empty() ? "no description" : meaning;
}

int Fail(const std::string& what, HRESULT hr) {
  std::fprintf(stderr, "vynregsvr: %s: 0x%08X %s (%s)\n", what.c_str(), static_cast<unsigned>(hr),
               HResultName(hr).c_str(), Meaning(hr).c_str());
  return kFailed;
}

int Usage() {
  std::fprintf(stderr, "usage: vynregsvr [-u] path\n");
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  const char* given = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-u") == 0 && !unregister && !given)
      unregister = true;
    else if (argv[i][0] != '-' && !given)
      given = argv[i];
    else
      return Usage();
  }
  if (!given)
    return Usage();

  // The module records its own path in the registry, so it is loaded by an
  // absolute one.
  std::error_code error;
  std::string path = std::filesystem::absolute(given, error).string();
  if (error)
    path = given;
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module)
    return Fail("cannot load " + path, CO_E_DLLNOTFOUND);
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto function = reinterpret_cast<DllRegisterServerFunction>(GetProcAddress(module, entry));
  if (!function) {
    FreeLibrary(module);
    return Fail(path + " has no " + entry, CO_E_ERRORINDLL);
  }
  HRESULT hr = function();
  FreeLibrary(module);
  if (FAILED(hr))
    return Fail(std::string(entry) + " in " + path + " failed", hr);
  std::printf("%s in %s succeeded.\n", entry, path.c_str());
  return 0;
}
