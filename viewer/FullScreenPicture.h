#pragma once

#include <QImage>
#include <QWidget>

namespace vistrel {

struct SceneBitmap;

// The picture alone on a black screen, centred and enlarged by the largest whole factor that
// fits, every scene pixel a solid block. Escape and a double-click ask to leave; the shortcuts
// of the actions added to it work here as in the window.
class FullScreenPicture : public QWidget {
    Q_OBJECT

  public:
    explicit FullScreenPicture(QWidget* parent = nullptr);

    // Covers the screen and shows the bitmap's frame on it.
    void ShowOn(QScreen* screen, const SceneBitmap& bitmap);

    // Shows another picture, converted once for the screen it covers.
    void SetBitmap(const SceneBitmap& bitmap);

    // How many device pixels wide and high each scene pixel is.
    int Scale() const { return scale; }

  signals:
    void LeaveRequested();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage screenImage;
    // Where the image's top-left corner goes, in device pixels.
    QPoint offset;
    int scale = 1;
};

}  // namespace vistrel
