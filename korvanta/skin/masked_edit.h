#pragma once
// A single-line edit whose text always has the shape of its mask (see
// edit_mask.h): the caret stays on input positions, typing overwrites, and an
// empty input position shows the placeholder "_". The capture window uses it
// for its own scene length, "[0-9][0-9][0-9]d [0-2][0-9]h [0-5][0-9]m [0-5][0-9]s".
#include <QLineEdit>

#include <string>
#include <vector>

#include "korvanta/skin/edit_mask.h"

class MaskedEdit final : public QLineEdit {
public:
    static constexpr char kPlaceholder = '_';
    static constexpr const char* kInitFailed = "Init failed.";
    static constexpr const char* kSetValidCharsFailed = "SetValidChars failed.";

    // Created disabled, with a tab stop; Init enables it.
    explicit MaskedEdit(QWidget* parent = nullptr);

    // Takes the mask and shows initial through it, puts the caret on the
    // first input position and takes the focus. A mask whose brackets do not
    // balance shows "Init failed.", one whose sets cannot be read
    // "SetValidChars failed."; both leave the control disabled and return false.
    bool Init(const std::string& mask, const std::string& initial);
    // Shows text through the mask (see MaskedText).
    void SetText(const std::string& text);
    // The shown text, placeholders included.
    std::string Text() const { return text().toStdString(); }
    bool IsInitialised() const { return initialised_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int PositionCount() const { return static_cast<int>(positions_.size()); }
    bool IsInput(int index) const { return index >= 0 && index < PositionCount() && !positions_[index].literal; }
    // The first input position at or after index; PositionCount() when none.
    int InputAtOrAfter(int index) const;
    // The last input position before index; -1 when none.
    int InputBefore(int index) const;
    // Just behind the last input position.
    int EndOfInput() const;
    void MoveCaret(int index);
    void ReplaceAt(int index, char c);
    void ClearSelection();
    void TypeCharacter(char c);
    void Backspace();
    void Delete();

    std::vector<MaskPosition> positions_;
    bool initialised_ = false;
};
