#pragma once
// Small widgets that give Qt controls the behaviour the window's handlers rely on.
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>
#include <optional>

class QPainter;

// A canvas: draws its backdrop picture (if any) at its top-left corner, then lets its
// owner paint on top through the paint signal. Without autoFillBackground whatever
// lies behind it shows through.
class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    bool hasBackdrop() const { return mBackdrop.has_value(); }
    const QPixmap* backdrop() const { return mBackdrop ? &*mBackdrop : nullptr; }
    // Sets the backdrop (nullptr removes it); white pixels of it are not drawn.
    void setBackdrop(const QPixmap* picture);
    // Asks for a repaint; Qt coalesces these, so a fast stream repaints at most once
    // per frame.
    void clearBackdropAndRepaint() { update(); }
    // The indicator code last shown through SetCanvasBackdrop (for status queries).
    int backdropCode() const { return mCode; }
    void setBackdropCode(int code) { mCode = code; }

signals:
    void paint(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QPixmap> mBackdrop;
    int mCode = 0;
};

// A one-line edit field that reports when it loses the keyboard focus.
class EditField : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void lostFocus();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};
