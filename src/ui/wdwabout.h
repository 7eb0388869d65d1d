#pragma once
// The About window: the communication board's logo, the program's name and version
// and who made it.
#include <QWidget>

class Canvas;
class QLabel;
class QPushButton;
class WdwMain;

class WdwAbout : public QWidget {
    Q_OBJECT
public:
    // Placed over the main window, which also lends it SetCanvasBackdrop.
    explicit WdwAbout(WdwMain* mainWindow);

    Canvas* Canvas1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QPushButton* PushButton1 = nullptr;

    void Canvas1_Open();
    void PushButton1_Action();

signals:
    // The window's own close button was used; it is destroyed next.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    WdwMain* mMainWindow;
};
