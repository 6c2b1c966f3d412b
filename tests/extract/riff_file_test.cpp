#include "platform/riff/riff_file.h"

#include <gtest/gtest.h>

#include "tests/drive/test_support.h"
#include "tests/extract/wav_file.h"

namespace vyn {
namespace {

using testing::FileBytes;

// Catches sizes left unpatched, a size that counts the header, a missing
// pad byte after an odd chunk, or a RIFF length that is not file − 8.
TEST(RiffFileTest, AscendPatchesSizesAndPadsOddChunks) {
  testing::TempFolder folder;
  const auto path = (folder.path() / "x.riff").string();
  auto file = RiffFile::Create(path);
  ASSERT_TRUE(file.ok());
  RiffChunk form{.form_type = MakeFourCC("TEST")};
  RiffChunk odd{.id = MakeFourCC("odd ")};
  ASSERT_TRUE(file->CreateChunk(form, ChunkKind::kRiffForm).ok());
  ASSERT_TRUE(file->CreateChunk(odd, ChunkKind::kPlain).ok());
  const BYTE three[] = {1, 2, 3};
  ASSERT_TRUE(file->Write(three).ok());
  ASSERT_TRUE(file->Ascend(odd).ok());
  ASSERT_TRUE(file->Ascend(form).ok());
  ASSERT_TRUE(file->Close().ok());
  EXPECT_EQ(FileBytes(path),
            (std::vector<BYTE>{'R', 'I', 'F', 'F', 16, 0, 0, 0, 'T', 'E', 'S', 'T',
                               'o', 'd', 'd', ' ', 3,  0, 0, 0, 1,   2,   3,   0}));
  EXPECT_EQ(odd.size, 3u);
  EXPECT_EQ(form.size, 16u);
}

}  // namespace
}  // namespace vyn
