#include "qtprompter.h"

#include <QFileDialog>
#include <QMessageBox>

void QtPrompter::message(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, mParent);
    box.exec();
}

bool QtPrompter::question(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No, mParent);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompter::saveFileName(const QString& defaultName)
{
    // The one file type "text": plain text files, no extension added.
    return QFileDialog::getSaveFileName(mParent, QString(), defaultName,
                                        QStringLiteral("text (*)"));
}
