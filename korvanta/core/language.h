#pragma once
// Every text the program shows comes from the language document, by section
// and key. A missing file or key gives empty text and is not reported.
#include <span>
#include <string>
#include <string_view>

#include "korvanta/core/message_box.h"

// "ToolTips", "Messages" and "Errors" decode line breaks ("|" is a new line);
// "Labels" and "ContextMenu" show their text as stored.
std::string TooltipText(std::string_view key);
std::string LabelText(std::string_view key);
std::string MessageText(std::string_view key);
std::string ErrorText(std::string_view key);

// The text of a context-menu command (1001 to 1053); empty for other ids.
std::string ContextMenuText(int commandId);
// The key of a context-menu command, or empty.
std::string_view ContextMenuKey(int commandId);

// Shows message n of the message table with its buttons and returns the
// button pressed; a number without a key shows nothing and returns Ok.
MessageBoxResult ShowMessage(int n);
// Shows error n of the error table with an OK button; a number without a key
// shows nothing and returns Ok.
MessageBoxResult ShowError(int n);
// Shows the error text of key (plus extra, appended as it is) with an OK button.
MessageBoxResult ShowErrorText(std::string_view key, std::string_view extra = {});

// The keys of the tables, for checking a language file against them.
struct NumberedText {
    int number;
    std::string_view key;
    MessageBoxButtons buttons;
};
std::span<const NumberedText> MessageTable();
std::span<const NumberedText> ErrorTable();
