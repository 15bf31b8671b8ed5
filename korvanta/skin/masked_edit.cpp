#include "korvanta/skin/masked_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>

MaskedEdit::MaskedEdit(QWidget* parent) : QLineEdit(parent) {
    setObjectName("CmEdit");
    setFocusPolicy(Qt::StrongFocus);
    setEnabled(false);
}

bool MaskedEdit::Init(const std::string& mask, const std::string& initial) {
    initialised_ = false;
    positions_.clear();
    const char* failure = nullptr;
    if (!MaskBracketsBalance(mask)) {
        failure = kInitFailed;
    } else if (auto positions = BuildMaskPositions(mask)) {
        positions_ = std::move(*positions);
    } else {
        failure = kSetValidCharsFailed;
    }
    if (failure) {
        setMaxLength(32767);
        setText(failure);
        setEnabled(false);
        return false;
    }
    setMaxLength(std::max(1, PositionCount()));
    SetText(initial);
    MoveCaret(InputAtOrAfter(0));
    setEnabled(true);
    setFocus();
    initialised_ = true;
    return true;
}

void MaskedEdit::SetText(const std::string& text) {
    setText(QString::fromStdString(MaskedText(positions_, text, kPlaceholder)));
}

int MaskedEdit::InputAtOrAfter(int index) const {
    for (int i = std::max(0, index); i < PositionCount(); ++i) {
        if (IsInput(i))
            return i;
    }
    return PositionCount();
}

int MaskedEdit::InputBefore(int index) const {
    for (int i = std::min(index, PositionCount()) - 1; i >= 0; --i) {
        if (IsInput(i))
            return i;
    }
    return -1;
}

int MaskedEdit::EndOfInput() const { return InputBefore(PositionCount()) + 1; }

void MaskedEdit::MoveCaret(int index) {
    deselect();
    setCursorPosition(index);  // QLineEdit keeps the caret in view
}

void MaskedEdit::ReplaceAt(int index, char c) {
    QString shown = text();
    if (index < 0 || index >= shown.size())
        return;
    shown[index] = QChar::fromLatin1(c);
    setText(shown);
}

void MaskedEdit::ClearSelection() {
    if (!hasSelectedText())
        return;
    const int start = selectionStart();
    const int end = start + selectionLength();
    QString shown = text();
    for (int i = start; i < end && i < shown.size(); ++i) {
        if (IsInput(i))
            shown[i] = QChar::fromLatin1(kPlaceholder);
    }
    setText(shown);
    MoveCaret(InputAtOrAfter(start));
}

void MaskedEdit::TypeCharacter(char c) {
    ClearSelection();
    const int caret = cursorPosition();
    if (!IsInput(caret) || !positions_[caret].Accepts(c))
        return;
    ReplaceAt(caret, c);
    const int next = InputAtOrAfter(caret + 1);
    MoveCaret(next < PositionCount() ? next : caret + 1);
}

void MaskedEdit::Backspace() {
    const int previous = InputBefore(cursorPosition());
    if (previous < 0)
        return;
    ReplaceAt(previous, kPlaceholder);
    MoveCaret(previous);
}

void MaskedEdit::Delete() {
    if (hasSelectedText()) {
        ClearSelection();
        return;
    }
    const int caret = cursorPosition();
    if (caret >= EndOfInput())
        return;
    const int at = InputAtOrAfter(caret);
    ReplaceAt(at, kPlaceholder);
    const int next = InputAtOrAfter(at + 1);
    MoveCaret(next < PositionCount() ? next : EndOfInput());
}

void MaskedEdit::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly() || !initialised_) {
        event->ignore();
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Backspace:
        Backspace();
        return;
    case Qt::Key_Delete:
        Delete();
        return;
    case Qt::Key_Left: {
        const int previous = InputBefore(cursorPosition());
        if (previous >= 0)
            MoveCaret(previous);
        return;
    }
    case Qt::Key_Right: {
        const int next = InputAtOrAfter(cursorPosition() + 1);
        MoveCaret(next < PositionCount() ? next : EndOfInput());
        return;
    }
    case Qt::Key_Home: {
        const int caret = cursorPosition();
        if (shift)
            setSelection(caret, -caret);  // from the start of the text to the caret
        else
            MoveCaret(InputAtOrAfter(0));
        return;
    }
    case Qt::Key_End: {
        const int caret = cursorPosition();
        if (shift)
            setSelection(caret, EndOfInput() - caret);
        else
            MoveCaret(EndOfInput());
        return;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        event->ignore();  // the dialog moves the focus along its tab order
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0].isPrint() && typed[0].unicode() < 0x80 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        TypeCharacter(typed[0].toLatin1());
        return;
    }
    event->ignore();
}

void MaskedEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // A click places the caret itself; focus from the keyboard selects all.
    if (event->reason() != Qt::MouseFocusReason)
        selectAll();
}
