// Capture files are never overwritten: a taken name gets " (2)", " (3)", ...
#include "platform/media/filters/avi/unique_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "media_tools.h"
#include "support/temp_dir.h"

namespace {

constexpr DWORD ERROR_PATH_NOT_FOUND = 3;

TEST(UniqueFileTest, TakenNamesGetTheNextFreeNumberAndKeepTheirContents) {
    kvtest::TempDir dir;
    const auto wanted = dir / "Tape 2004-07-14 10.22.31.avi";
    kvtest::WriteFileBytes(wanted, {1, 2, 3});

    NewFile second;
    ASSERT_EQ(CreateNewFile(wanted, second), S_OK);
    EXPECT_EQ(second.path, dir / "Tape 2004-07-14 10.22.31 (2).avi");
    EXPECT_TRUE(second.file);
    NewFile third;
    ASSERT_EQ(CreateNewFile(wanted, third), S_OK);
    EXPECT_EQ(third.path, dir / "Tape 2004-07-14 10.22.31 (3).avi");
    EXPECT_EQ(kvtest::ReadFileBytes(wanted), (std::vector<BYTE>{1, 2, 3}));

    NewFile fresh;
    ASSERT_EQ(CreateNewFile(dir / "fresh.avi", fresh), S_OK);
    EXPECT_EQ(fresh.path, dir / "fresh.avi");
    NewFile bare;
    ASSERT_EQ(CreateNewFile(dir / "fresh", bare), S_OK);
    EXPECT_EQ(bare.path, dir / "fresh");
    ASSERT_EQ(CreateNewFile(dir / "fresh", bare), S_OK);
    EXPECT_EQ(bare.path, dir / "fresh (2)");
}

TEST(UniqueFileTest, FoldersThatCannotTakeTheFileSaySo) {
    kvtest::TempDir dir;
    NewFile file;
    EXPECT_EQ(CreateNewFile(dir / "missing" / "a.avi", file), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CreateNewFile("", file), E_INVALIDARG);
    EXPECT_FALSE(file.file);
    if (::geteuid() != 0) {  // root writes anywhere
        std::filesystem::create_directory(dir / "locked");
        ::chmod((dir / "locked").c_str(), 0500);
        EXPECT_EQ(CreateNewFile(dir / "locked" / "a.avi", file), E_ACCESSDENIED);
    }
}

}  // namespace
