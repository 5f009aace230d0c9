#pragma once

#include <QString>

namespace corvelix {

// Installs Qt's own Spanish texts (standard buttons, file dialogs, library messages) in the
// running application, whatever the machine's language; `folder` empty: Qt's translations
// folder. "fichero" reads "archivo", as in our own texts. False, and nothing said, when the
// translation is not there: Qt's English stays.
bool installQtSpanish(const QString& folder = QString());

} // namespace corvelix
