// What the user may touch: leaving a tab ends what it was doing, and the controls that
// talk to the module follow the link.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

#include "wdwmain.h"

namespace {
constexpr int kCalibrationTab = 2;
constexpr int kTestTab = 3;
constexpr int kDataLoggerTab = 4;

// Where the 3D view lives while the Test tab is shown, in window coordinates.
constexpr QRect kView3DShown(479, 155, 378, 414);

}  // namespace

void WdwMain::TabMain_Change()
{
    // The handler's own assignments of the tab come back here, nested.
    if (mSkipThisTabChange) return;
    mNewTab = TabMain->currentIndex();

    switch (mPrevTab) {
    case kCalibrationTab:
        if (!mUserCalibration) break;
        // The question is asked over the Calibration tab, where the calibration runs.
        mSkipThisTabChange = true;
        TabMain->setCurrentIndex(mPrevTab);
        TabMain->repaint();
        if (!(mEnv.prompter &&
              mEnv.prompter->question(QStringLiteral(
                  "Calibration is not complete. Do you want to stop the calibration?")))) {
            mNewTab = mPrevTab;
            mSkipThisTabChange = false;
            return;
        }
        // Yes: stop it as its Stop button does, then go where the user asked.
        PushCalibrationStart_Action();
        TabMain->setCurrentIndex(mNewTab);
        mSkipThisTabChange = false;
        break;

    case kTestTab:
        mSkipThisTabChange = true;
        TabMain->setCurrentIndex(kTestTab);
        TabMain->repaint();
        // A 3D view can draw over its siblings, so it is parked as a single pixel in
        // the inner bottom-right corner of its group box rather than hidden.
        if (View3DHelicopter) {
            const QRect group = contentGeometry(Group3DModel);
            setContentGeometry(View3DHelicopter, QRect(group.left() + group.width() - 2,
                                                       group.top() + group.height() - 2, 1, 1));
        }
        TabMain->repaint();
        TabMain->setCurrentIndex(mNewTab);
        mSkipThisTabChange = false;
        // Lighter than the Stop button: the module is not halted and nothing is logged.
        PushTestGo->setText(QStringLiteral("Go"));
        mTestGoing = false;
        break;

    case kDataLoggerTab:
        // mDataLoggingNow stays set: sentences still arriving are still logged.
        PushDataLogGo->setText(QStringLiteral("Go"));
        mDataLogging = false;
        ListData->setEnabled(mConnected);
        break;

    default:
        break;
    }

    if (mNewTab == kTestTab) {
        if (View3DHelicopter) setContentGeometry(View3DHelicopter, kView3DShown);
        if (mView3D) {
            mView3D->setBackgroundColor(WindowBackgroundColour());
            mView3D->redraw();
        }
        TabMain->repaint();
    }

    mPrevTab = TabMain->currentIndex();
}

void WdwMain::ModuleControls(bool enabled)
{
    // A group box carries its contents with it.
    QWidget* const controls[] = {
        GroupModuleBaudRate, GroupNorthReference, GroupReadingUnits, GroupConfigurationOptions,
        PushConfigurationDefault, GroupDamping, PushCalibrationStart, PushCalibrationClear,
        GroupReadings, Group3DModel, ListData, ListDataLog,
        StaticHeading, StaticDataLogHeading, CheckDataLogAutoScroll, PushDataLogClear,
        PushDataLogGo, PushDataLogExport,
    };
    for (QWidget* control : controls) control->setEnabled(enabled);
}
