#pragma once
// File > Send...: the directory's lists as a text attachment to a new mail, through the
// desktop's mail handler (xdg-email). Where there is no handler the command is not offered.

#include <QString>
#include <QStringList>

#include <functional>

class CVorlaPro5App;

// Starts a program detached; false when it could not be started.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

// The handler's path, or empty when the desktop has none.
QString MailHandler();
// Writes the lists to "Vorla Pro directory.txt" in the user's cache folder and hands it to
// `handler`. Says why when the file cannot be written or the handler cannot be started.
bool MailDirectory(CVorlaPro5App& app, const QString& handler, const ProgramStarter& start);
