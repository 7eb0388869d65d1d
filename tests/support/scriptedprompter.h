#pragma once
// Answers message boxes, questions and save dialogs from a script, and records them.
#include <QQueue>
#include <QStringList>

#include "ui/prompter.h"

class ScriptedPrompter : public Prompter {
public:
    void prepareAnswer(bool yes) { mAnswers.enqueue(yes); }
    // An empty path stands for Cancel.
    void prepareSave(const QString& path) { mSaves.enqueue(path); }

    // Texts of every message box and question box, in the order they were shown.
    QStringList shown;
    // Set when a question or save dialog came without a prepared answer.
    QString unprepared;

    void message(const QString& text) override { shown << text; }
    bool question(const QString& text) override
    {
        shown << text;
        if (mAnswers.isEmpty()) {
            unprepared = QStringLiteral("question \"%1\" without a prepared answer").arg(text);
            return false;
        }
        return mAnswers.dequeue();
    }
    QString saveFileName(const QString& defaultName) override
    {
        lastDefaultName = defaultName;
        if (mSaves.isEmpty()) {
            unprepared = QStringLiteral("save dialog \"%1\" without a prepared answer").arg(defaultName);
            return {};
        }
        return mSaves.dequeue();
    }
    QString lastDefaultName;

private:
    QQueue<bool> mAnswers;
    QQueue<QString> mSaves;
};
