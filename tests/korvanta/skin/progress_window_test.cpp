#include "korvanta/skin/progress_window.h"

#include "toolkit_test.h"

namespace {

using ProgressWindowTest = kvtest::ToolkitTest;

// The columns of the bar's middle row that carry the bar colour.
std::pair<int, int> FilledColumns(const QImage& picture) {
    int first = -1, last = -1;
    for (int x = 0; x < picture.width(); ++x) {
        if (picture.pixel(x, 86) == qRgb(0x00, 0x93, 0xDD)) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return {first, last};
}

TEST_F(ProgressWindowTest, FillsTheBarFromTheLeftByThePercentage) {
    ProgressWindow progress;
    ASSERT_TRUE(progress.Create(nullptr));
    EXPECT_EQ(progress.size(), QSize(320, 304));  // the client area is bitmap 203
    EXPECT_EQ(FilledColumns(progress.Render()), std::make_pair(-1, -1));
    progress.SetPercent(50);
    EXPECT_EQ(FilledColumns(progress.Render()), std::make_pair(21, 50));
    progress.SetPercent(100);
    EXPECT_EQ(FilledColumns(progress.Render()), std::make_pair(21, 81));
    progress.SetPercent(250);  // held to 100: the bar never leaves its trough
    EXPECT_EQ(FilledColumns(progress.Render()), std::make_pair(21, 81));
    progress.SetPercent(-5);
    EXPECT_EQ(FilledColumns(progress.Render()), std::make_pair(-1, -1));
}

}  // namespace
