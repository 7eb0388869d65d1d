#include "wdwabout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "controls.h"
#include "pictures.h"
#include "wdwmain.h"

WdwAbout::WdwAbout(WdwMain* mainWindow) : QWidget(mainWindow, Qt::Window), mMainWindow(mainWindow)
{
    setObjectName(QStringLiteral("WdwAbout"));
    setWindowTitle(QStringLiteral("About"));
    // Closing with the window's own button destroys it; "Close" only hides it.
    setAttribute(Qt::WA_DeleteOnClose);
    QFont font = QApplication::font();
    font.setPixelSize(13);
    setFont(font);
    resize(379, 317);
    if (mainWindow) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(mainWindow->geometry().center());
        move(placed.topLeft());
    }

    Canvas1 = new Canvas(this);
    Canvas1->setObjectName(QStringLiteral("Canvas1"));
    Canvas1->setGeometry(125, 14, 128, 128);
    Canvas1->setBackdrop(Picture(QStringLiteral("DravikLogo")));

    StaticText1 = new QLabel(this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(64, 166, 250, 100);
    StaticText1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    StaticText1->setText(QStringLiteral("Dravik Studio\nVersion 1.0\n\n"
                                        "Made by the Dravik Studio team\n"
                                        "for the Zuno compass module"));
    QPalette palette = StaticText1->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    StaticText1->setPalette(palette);

    PushButton1 = new QPushButton(QStringLiteral("Close"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setGeometry(155, 268, 69, 20);
    connect(PushButton1, &QPushButton::clicked, this, &WdwAbout::PushButton1_Action);

    Canvas1_Open();
}

void WdwAbout::Canvas1_Open()
{
    // The canvas already shows the logo with white made transparent; set it through
    // the main window as every logo canvas is, and take its size.
    const QPixmap* logo = Picture(QStringLiteral("DravikLogo"));
    if (mMainWindow) mMainWindow->SetCanvasBackdrop(Canvas1, logo, 0);
    else Canvas1->setBackdrop(logo);
    if (const QPixmap* shown = Canvas1->backdrop()) Canvas1->resize(shown->size());
}

void WdwAbout::PushButton1_Action()
{
    hide();
}

void WdwAbout::closeEvent(QCloseEvent* event)
{
    emit closing();
    event->accept();
}
