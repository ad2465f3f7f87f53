// SPDX-License-Identifier: MIT
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

// The program's message box: modal, warning or error icon, one OK button without an icon, the
// program's title shown whole, the screens' font.
void ShowMessageBox(MessageKind kind, const QString& text);

// Width a window needs for its title bar to show `title` whole: the title in the title-bar font
// and room for the frame's icon and buttons.
int TitleBarWidth(const QString& title);

}  // namespace xscatter
