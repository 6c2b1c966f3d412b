// vynregsvr as a process: what it registers, and how it fails.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <fstream>
#include <string>

#include "control/class_ids.h"
#include "platform/com/registry_keys.h"
#include "tests/platform/win/registry_test_env.h"

namespace vyn::testing {
namespace {

struct ToolRun {
  int status = -1;
  std::string output;
};

// Runs vynregsvr with `arguments`; a hung tool fails the test after 60 s.
ToolRun RunTool(const std::string& arguments) {
  std::string command = "timeout 60 " + std::string(VYN_REGSVR) + " " + arguments + " 2>&1";
  ToolRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe)
    return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe))
    run.output += buffer;
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class VynRegSvrTest : public RegistryTest {};

// A script checks the exit status; a failure reported as success would
// leave a host without its class.
TEST_F(VynRegSvrTest, RegistersUnregistersAndReportsFailures) {
  const std::u16string class_key = u"CLSID\\" + CLSID_VynCDRipper.ToWide() + u"\\InprocServer32";
  ToolRun registered = RunTool(VYN_CONTROL_MODULE);
  EXPECT_EQ(registered.status, 0) << registered.output;
  EXPECT_TRUE(reg::KeyExists(class_key));

  ToolRun unregistered = RunTool(std::string("-u ") + VYN_CONTROL_MODULE);
  EXPECT_EQ(unregistered.status, 0) << unregistered.output;
  EXPECT_FALSE(reg::KeyExists(class_key));

  const struct {
    std::string arguments;
    int status;
    std::string says;
  } kFailures[] = {
      {"", 2, "usage"},
      {"-u", 2, "usage"},
      {"a.so b.so", 2, "usage"},
      {"/nonexistent/libnothing.so", 1,
       "0x800401F8 CO_E_DLLNOTFOUND (the module cannot be loaded)"},
      {VYN_VIRTUAL_LIBRARY, 1, "CO_E_ERRORINDLL (the module does not export the entry point)"},
  };
  for (const auto& failure : kFailures) {
    SCOPED_TRACE(failure.arguments);
    ToolRun run = RunTool(failure.arguments);
    EXPECT_EQ(run.status, failure.status);
    EXPECT_NE(run.output.find(failure.says), std::string::npos) << run.output;
  }
}

// A registry that cannot be written makes registration fail with the
// registry's HRESULT, not succeed.
TEST_F(VynRegSvrTest, UnwritableRegistryFailsWithItsHresult) {
  // The store's folder is a plain file, so the store can never be written.
  std::ofstream(directory_ + "/not-a-folder") << "x";
  ::setenv("VYN_REGISTRY", (directory_ + "/not-a-folder/classes.reg").c_str(), 1);
  ToolRun run = RunTool(VYN_CONTROL_MODULE);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("0x80040151 REGDB_E_WRITEREGDB"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace vyn::testing
