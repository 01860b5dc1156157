#pragma once

#include <QWidget>
#include <memory>

namespace vistrel {

struct SceneBitmap;

// The picture on show. Owns exactly one scene bitmap, the last one handed to it, and paints it
// unscaled at its own size from the top-left corner; the rest of its area stays black.
class ScenePicture : public QWidget {
    Q_OBJECT

  public:
    explicit ScenePicture(QWidget* parent = nullptr);
    ~ScenePicture() override;

    // Takes the bitmap, drops the previous one and repaints at once. A null bitmap, or one whose
    // pixels do not fill its recorded size, is ignored: the old picture stays on show.
    void SetBitmap(std::unique_ptr<SceneBitmap> bitmap);

    const SceneBitmap* Bitmap() const { return bitmap.get(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::unique_ptr<SceneBitmap> bitmap;
};

}  // namespace vistrel
