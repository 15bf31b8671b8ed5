#pragma once
// Shows the program's message boxes as Qt dialogs. Start-up installs one with
// ScopedMessageBoxPresenter once the application object exists.
#include "korvanta/core/message_box.h"

class QtMessageBoxPresenter final : public MessageBoxPresenter {
public:
    // Modal to the whole application; Escape answers No to a question.
    MessageBoxResult Show(std::string_view text, std::string_view caption, MessageBoxButtons buttons) override;
};
