#pragma once

#include <QString>
#include <functional>

namespace xscatter {

enum class MessageKind {
  kWarning,  // a rejected entry
  kError,    // a table, model or file failure
};

// Shows a message; the screens call exactly one of these for every warning and error.
using MessageFunction = std::function<void(MessageKind kind, const QString& text)>;

// The program's message box: modal, warning or error icon, one OK button, the program's title.
void ShowMessageBox(MessageKind kind, const QString& text);

}  // namespace xscatter
