#include "korvanta/skin/masked_edit.h"

#include "toolkit_test.h"

namespace {

constexpr const char* kThresholdMask = "[0-9][0-9][0-9]d [0-2][0-9]h [0-5][0-9]m [0-5][0-9]s";

class MaskedEditTest : public kvtest::ToolkitTest {
protected:
    MaskedEditTest() {
        window_.resize(300, 40);
        edit_.setGeometry(10, 10, 200, 24);
    }
    void Type(const char* keys) { QTest::keyClicks(&edit_, keys); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&edit_, key, modifiers); }

    QWidget window_;
    MaskedEdit edit_{&window_};
};

TEST_F(MaskedEditTest, ShowsTextThroughTheMask) {
    ASSERT_TRUE(edit_.Init(kThresholdMask, ""));
    EXPECT_EQ(edit_.Text(), "___d __h __m __s");
    edit_.SetText("001123045");
    EXPECT_EQ(edit_.Text(), "001d 12h 30m 45s");
    // Literals consume nothing, so a text written with them is misread.
    edit_.SetText("001d 12h");
    EXPECT_EQ(edit_.Text(), "001d __h 12m __s");
}

TEST_F(MaskedEditTest, TypingOverwritesInputPositionsOnlyAndRefusesOtherCharacters) {
    ASSERT_TRUE(edit_.Init(kThresholdMask, "000000000"));
    Key(Qt::Key_Home);
    EXPECT_EQ(edit_.cursorPosition(), 0);
    Key(Qt::Key_Backspace);  // at the first input position: nothing happens
    EXPECT_EQ(edit_.Text(), "000d 00h 00m 00s");
    EXPECT_EQ(edit_.cursorPosition(), 0);

    Type("a12x3");  // letters are refused; the caret skips the literals
    EXPECT_EQ(edit_.Text(), "123d 00h 00m 00s");
    EXPECT_EQ(edit_.cursorPosition(), 5);
    Type("3");  // the hours' first digit takes 0 to 2 only
    EXPECT_EQ(edit_.Text(), "123d 00h 00m 00s");
    Type("2359599");  // the last digit has no room left
    EXPECT_EQ(edit_.Text(), "123d 23h 59m 59s");
    EXPECT_EQ(edit_.cursorPosition(), 15);

    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit_.Text(), "123d 23h 59m 5_s");
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(edit_.cursorPosition(), 10);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit_.Text(), "123d 23h 5_m 5_s");
    EXPECT_EQ(edit_.cursorPosition(), 13);
    Key(Qt::Key_End);
    EXPECT_EQ(edit_.cursorPosition(), 15);
    Key(Qt::Key_Right);
    EXPECT_EQ(edit_.cursorPosition(), 15);

    // A selection is cleared to placeholders before the typed character lands.
    Key(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(edit_.selectedText(), "123d 23h 5_m 5_");
    Type("9");
    EXPECT_EQ(edit_.Text(), "9__d __h __m __s");
    EXPECT_EQ(edit_.cursorPosition(), 1);

    edit_.setReadOnly(true);
    Type("1");
    EXPECT_EQ(edit_.Text(), "9__d __h __m __s");
}

TEST_F(MaskedEditTest, ABadMaskDisablesTheControlWithItsFailureText) {
    EXPECT_FALSE(edit_.Init("[0-[9]]", ""));  // nested brackets
    EXPECT_EQ(edit_.Text(), "Init failed.");
    EXPECT_FALSE(edit_.isEnabled());
    EXPECT_FALSE(edit_.Init("[0-9", ""));
    EXPECT_EQ(edit_.Text(), "Init failed.");
    EXPECT_FALSE(edit_.Init("[-09]", ""));  // a set beginning with a hyphen
    EXPECT_EQ(edit_.Text(), "SetValidChars failed.");
    EXPECT_FALSE(edit_.Init("[9-0]", ""));  // a range running backwards
    EXPECT_EQ(edit_.Text(), "SetValidChars failed.");
    EXPECT_FALSE(edit_.Init(std::string(257, 'x'), ""));
    EXPECT_EQ(edit_.Text(), "SetValidChars failed.");
    Type("x");
    EXPECT_EQ(edit_.Text(), "SetValidChars failed.");

    // Escaped members and literal hyphens and backslashes.
    ASSERT_TRUE(edit_.Init("[\\-+]-\\[a\\\\]", "-\\"));
    EXPECT_TRUE(edit_.isEnabled());
    EXPECT_EQ(edit_.Text(), "--\\\\");
}

}  // namespace
