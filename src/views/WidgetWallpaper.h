#pragma once

#include <QWidget>

namespace plannery {

// A dark gradient standing for a lock screen's picture, behind the panel faces in the gallery.
class WidgetWallpaper final : public QWidget {
    Q_OBJECT

  public:
    explicit WidgetWallpaper(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace plannery
