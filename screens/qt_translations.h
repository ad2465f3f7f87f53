// SPDX-License-Identifier: MIT
#pragma once

class QCoreApplication;

namespace xscatter {

// Loads Qt's own Japanese translations, so the standard menus and dialogs (a text box's context
// menu, for one) speak the screens' language whatever the locale. Without them installed those
// stay English and a warning says which file is missing.
void InstallQtTranslations(QCoreApplication& app);

}  // namespace xscatter
