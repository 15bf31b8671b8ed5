// korvanta-screenshots draws every scene of the real windows into a PNG.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

TEST(Screenshots, EverySceneIsWrittenAsAPicture) {
    kvtest::TempDir out;
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 " KORVANTA_BINARY_DIR "/bin/korvanta-screenshots " +
                                out.path().string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* scene : {"settings-general", "settings-preview", "settings-capture", "context-menu", "tooltip",
                              "progress-50", "masked-edit"}) {
        const QImage picture((out.path() / (std::string(scene) + ".png")).c_str());
        EXPECT_GT(picture.width(), 200) << scene;
        EXPECT_GT(picture.height(), 100) << scene;
    }
}
