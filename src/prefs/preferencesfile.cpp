// Reading and writing "DravikStudio.pref" in the user's preferences folder.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTreeWidget>

#include "../ui/wdwmain.h"
#include "preferences.h"

namespace {
QString preferencesPath(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(prefs::kFileName));
}
}  // namespace

bool WdwMain::CheckPreferenceFile(bool linkSettings)
{
    QFile file(preferencesPath(mEnv.preferencesFolder));
    if (!file.exists()) return false;
    // A file that exists but cannot be read counts as read and empty: nothing changes.
    QByteArray text;
    if (file.open(QIODevice::ReadOnly)) text = file.readAll();
    file.close();

    if (linkSettings) {
        // A rate row outside the list is ignored: the rate stays as it was.
        const prefs::LinkSettings link = prefs::parseLinkSettings(text, mComputerBaudRate.size());
        if (link.serialPort) mSerialPort = *link.serialPort;
        if (link.baudRateRow) mBaudRate = mComputerBaudRate[*link.baudRateRow];
        return true;
    }

    // Set from here, the boxes and the list raise their handlers as a user change does.
    const prefs::DisplaySettings display =
        prefs::parseDisplaySettings(text, ListData->topLevelItemCount());
    if (display.contrast) CheckContrast->setChecked(*display.contrast);
    if (display.autoScroll) CheckDataLogAutoScroll->setChecked(*display.autoScroll);
    if (display.dataRows) {
        for (int r = 0; r < display.dataRows->size(); ++r)
            ListData->topLevelItem(r)->setSelected(display.dataRows->at(r));
    }
    return true;
}

void WdwMain::UpdatePreferenceFile()
{
    prefs::Preferences preferences;
    preferences.serialPort = mSerialPort;
    preferences.baudRateRow = PopupComputerBaudRate->currentIndex();
    preferences.contrast = CheckContrast->isChecked();
    preferences.autoScroll = CheckDataLogAutoScroll->isChecked();
    for (int r = 0; r < ListData->topLevelItemCount(); ++r)
        if (ListData->topLevelItem(r)->isSelected()) preferences.dataRows.append(r);

    const QString path = preferencesPath(mEnv.preferencesFolder);
    // The config folder may not exist yet on a fresh account.
    QString why;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        why = QStringLiteral("the folder cannot be created");
    } else {
        // QSaveFile: a failed write leaves the earlier file whole.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            why = file.errorString();
        } else {
            const QByteArray text = prefs::write(preferences);
            // Flushed by hand: commit() does not check its own last flush (QTBUG-75077),
            // so a full disk would otherwise commit a cut-off file.
            if (file.write(text) != text.size() || !file.flush() || !file.commit()) why = file.errorString();
        }
    }
    if (!why.isEmpty())
        NewSystemLogEvent(QStringLiteral("Could not write preferences file %1: %2").arg(path, why));
}
