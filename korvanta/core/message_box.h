#pragma once
// The platform's message box, behind an interface: the window layer installs
// a presenter that shows real boxes, tests install one that answers.
#include <string_view>

// The Windows button sets and results, with their Windows numbers.
enum class MessageBoxButtons : unsigned { Ok = 0x0, YesNo = 0x4 };
enum class MessageBoxResult : int { Ok = 1, Yes = 6, No = 7 };

class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    virtual MessageBoxResult Show(std::string_view text, std::string_view caption, MessageBoxButtons buttons) = 0;
};

// Makes presenter the one that shows boxes while this object lives; the
// previous presenter returns afterwards. Install and remove on the
// user-interface thread.
class ScopedMessageBoxPresenter {
public:
    explicit ScopedMessageBoxPresenter(MessageBoxPresenter& presenter);
    ~ScopedMessageBoxPresenter();
    ScopedMessageBoxPresenter(const ScopedMessageBoxPresenter&) = delete;
    ScopedMessageBoxPresenter& operator=(const ScopedMessageBoxPresenter&) = delete;

private:
    MessageBoxPresenter* previous_;
};

// Shows a box with the program's caption "Korvanta" and returns the button
// pressed. Without a presenter the text goes to the standard error stream and
// the answer is the one that changes nothing (OK, or No for a question).
MessageBoxResult ShowMessageBox(std::string_view text, MessageBoxButtons buttons);
