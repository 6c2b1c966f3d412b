#include "platform/scsi/linux_pass_through.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/win/last_error.h"
#include "tests/drive/test_support.h"

namespace vyn {
namespace {

// Catches letters mapped to the wrong node.
TEST(LinuxPassThroughTest, LettersCToZAreTheCdNodes) {
  LinuxPassThroughSystem system;
  EXPECT_EQ(system.NodeOfLetter('C'), "/dev/sr0");
  EXPECT_EQ(system.NodeOfLetter('E'), "/dev/sr2");
  EXPECT_EQ(system.NodeOfLetter('Z'), "/dev/sr23");
  EXPECT_EQ(system.NodeOfLetter('A'), "");
  EXPECT_EQ(system.NodeOfLetter('B'), "");
  EXPECT_EQ(system.TypeOfDrive('A'), DriveType::kOther);
  SystemVersion version = system.Version();
  EXPECT_EQ(version.platform_id, 2u);
  EXPECT_GT(version.major, 4u);
}

// Catches a node that is not a CD drive taken for one, and system errors
// that reach the caller in the wrong numbering.
TEST(LinuxPassThroughTest, NonCdNodesAndTheirErrors) {
  testing::TempFolder folder;
  std::string prefix = (folder.path() / "sr").string();
  std::ofstream(prefix + "0") << "not a device";
  LinuxPassThroughSystem system(prefix);

  EXPECT_EQ(system.TypeOfDrive('C'), DriveType::kOther);  // a plain file
  EXPECT_EQ(system.TypeOfDrive('D'), DriveType::kOther);  // no node

  auto missing = system.OpenDevice('D', {kGenericRead, kFileShareRead});
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(SystemErrorCode(missing.error()), ERROR_FILE_NOT_FOUND);

  auto device = system.OpenDevice('C', {kGenericRead, kFileShareRead});
  ASSERT_TRUE(device.ok());
  auto address = (*device)->QueryAddress();
  ASSERT_FALSE(address.ok());
  EXPECT_EQ(SystemErrorCode(address.error()), ERROR_NOT_SUPPORTED);
  const BYTE test_unit_ready[6] = {};
  auto reply = (*device)->PassThrough({test_unit_ready, DataDirection::kUnspecified, {}, 15});
  ASSERT_FALSE(reply.ok());
  EXPECT_EQ(SystemErrorCode(reply.error()), ERROR_INVALID_FUNCTION);
}

}  // namespace
}  // namespace vyn
