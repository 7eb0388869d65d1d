#pragma once
#include "prompter.h"

class QWidget;

// Real message boxes and save dialogs over a parent window.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : mParent(parent) {}
    void setParent(QWidget* parent) { mParent = parent; }
    void message(const QString& text) override;
    bool question(const QString& text) override;
    QString saveFileName(const QString& defaultName) override;

private:
    QWidget* mParent;
};
