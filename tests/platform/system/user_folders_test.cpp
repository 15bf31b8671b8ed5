#include "platform/system/user_folders.h"

#include <gtest/gtest.h>

namespace {

TEST(UserDirsEntry, ReadsTheFormatXdgUserDirsWrites) {
    const std::string_view file =
        "# This file is written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_DOCUMENTS_DIR=\"/data/docs/\"\n"
        "  XDG_VIDEOS_DIR=\"$HOME/Videos\"\n";
    EXPECT_EQ(ParseUserDirsEntry(file, "XDG_VIDEOS_DIR", "/home/me"), "/home/me/Videos");
    EXPECT_EQ(ParseUserDirsEntry(file, "XDG_DOCUMENTS_DIR", "/home/me"), "/data/docs");
    EXPECT_EQ(ParseUserDirsEntry(file, "XDG_MUSIC_DIR", "/home/me"), "");
}

TEST(UserDirsEntry, MalformedEntriesGiveNoFolder) {
    EXPECT_EQ(ParseUserDirsEntry("XDG_VIDEOS_DIR=\"relative/path\"\n", "XDG_VIDEOS_DIR", "/h"), "");
    EXPECT_EQ(ParseUserDirsEntry("XDG_VIDEOS_DIR=\"$HOME/unterminated\n", "XDG_VIDEOS_DIR", "/h"), "");
    EXPECT_EQ(ParseUserDirsEntry("XDG_VIDEOS_DIR=$HOME/Videos\n", "XDG_VIDEOS_DIR", "/h"), "");
    EXPECT_EQ(ParseUserDirsEntry("XDG_VIDEOS_DIR=\"$HOME/Videos\"", "XDG_VIDEOS_DIR", ""), "");
    EXPECT_EQ(ParseUserDirsEntry(std::string_view("\0\xFF\n", 3), "XDG_VIDEOS_DIR", "/h"), "");
}

}  // namespace
