#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

namespace vistrel {

struct SceneBitmap;

// The picture on show. Owns exactly one scene bitmap, the last one handed to it, and paints it
// at its own size from the top-left corner; the rest of its area stays black. Each bitmap is
// turned into screen pixels once, when it arrives, so a paint is a single copy.
class ScenePicture : public QWidget {
    Q_OBJECT

  public:
    explicit ScenePicture(QWidget* parent = nullptr);
    ~ScenePicture() override;

    // Takes the bitmap, drops the previous one and repaints at once. A null bitmap, or one whose
    // pixels do not fill its recorded size, is ignored: the old picture stays on show. Returns
    // whether the bitmap was taken.
    bool SetBitmap(std::unique_ptr<SceneBitmap> bitmap);

    const SceneBitmap* Bitmap() const { return bitmap.get(); }

  signals:
    void DoubleClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // The bitmap in device pixels for the screen the control is on now.
    void BuildScreenImage();

    std::unique_ptr<SceneBitmap> bitmap;
    QImage screenImage;
};

}  // namespace vistrel
