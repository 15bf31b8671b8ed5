#include "korvanta/core/message_box.h"

#include <iostream>

namespace {

// The installed presenter, the stand-in for the platform's one message-box call.
MessageBoxPresenter*& CurrentPresenter() {
    static MessageBoxPresenter* presenter = nullptr;
    return presenter;
}

constexpr std::string_view kCaption = "Korvanta";

}  // namespace

ScopedMessageBoxPresenter::ScopedMessageBoxPresenter(MessageBoxPresenter& presenter)
    : previous_(CurrentPresenter()) {
    CurrentPresenter() = &presenter;
}

ScopedMessageBoxPresenter::~ScopedMessageBoxPresenter() {
    CurrentPresenter() = previous_;
}

MessageBoxResult ShowMessageBox(std::string_view text, MessageBoxButtons buttons) {
    if (MessageBoxPresenter* presenter = CurrentPresenter()) return presenter->Show(text, kCaption, buttons);
    std::cerr << kCaption << ": " << text << '\n';
    return buttons == MessageBoxButtons::YesNo ? MessageBoxResult::No : MessageBoxResult::Ok;
}
