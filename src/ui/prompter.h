#pragma once
// Everything that asks or tells the user in a modal box goes through this interface,
// so that tests and the scenario runner can answer without a dialog.
#include <QString>

class QWidget;

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with an OK button.
    virtual void message(const QString& text) = 0;
    // A question box with a question icon, Yes and No and no title; true means Yes.
    virtual bool question(const QString& text) = 0;
    // A save dialog for the file type "text"; returns the chosen path or an empty
    // string when the user cancels.
    virtual QString saveFileName(const QString& defaultName) = 0;
};
