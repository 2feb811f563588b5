#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QWidget>

#include "map/scene.hpp"

class QPainter;
class QShortcut;
class QToolButton;

namespace pinwright::ui::qt {

// The colours that tie the map to the review rows: row 1's marker, row 2's,
// and the Match radius around row 1.
inline const QColor kRow1Colour{192, 57, 43};
inline const QColor kRow2Colour{36, 113, 163};
inline const QColor kRadiusColour{39, 174, 96};

// Paints `scene` into a rectangle of the scene's view size at the painter's
// origin: the dots (one point each when crowded, small discs with names when
// few), the Match radius, the line and its label, the two numbered markers
// with their names, a scale bar and a north arrow. A pair too close for two
// markers has them side by side, each tied to the spot, and the label names
// the true separation. Labels have halos; the separation, the scale bar and
// the arrow lie on a ground of their own, so dense dots never hide them.
// Nothing is fetched; the background is the window's. `points` are the dots' pixel centres in the
// order of scene.dots (see dot_pixels); `layer` is the crowded dots' image,
// kept by the caller from one paint to the next.
void paint_scene(QPainter& painter, const map::Scene& scene, const std::vector<QPointF>& points,
                 const QPalette& palette, QImage& layer);

// The dots' places in the view, computed once per scene into `points`.
void dot_pixels(const map::Scene& scene, std::vector<QPointF>& points);

// The map of the pair under review. It fits the view to its size whenever it
// is given a pair, and after that the wheel zooms about the cursor and a drag
// pans; its Fit button, the key F and a double-click fit the view again.
// Hovering a dot or a marker shows its name and entry number. Without a pair
// it is empty.
class MapPanel : public QWidget {
  Q_OBJECT

 public:
  explicit MapPanel(QWidget* parent = nullptr);

  void set_input(const std::optional<map::SceneInput>& input);
  // The view a new pair gets, after zooming or panning.
  void fit();
  QToolButton* fit_button() const { return fit_button_; }

  // What the panel paints now; none without a pair.
  const map::Scene* scene() const { return input_ ? &scene_ : nullptr; }
  // The entry under a place in the panel: its name and entry number, as the
  // tooltip shows them; empty when none is near.
  QString entry_at(QPoint place) const;

  QSize sizeHint() const override { return {440, 420}; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void show_view(const map::View& view);

  std::optional<map::SceneInput> input_;
  // Built anew at every step of a zoom or drag, in the storage of the last.
  map::Scene scene_;
  map::SceneScratch scratch_;
  std::vector<QPointF> points_;
  QImage layer_;
  // The user zoomed or panned: a new size keeps the scale and centre.
  bool moved_ = false;
  std::optional<QPointF> drag_from_;
  QToolButton* fit_button_ = nullptr;
  QShortcut* fit_key_ = nullptr;
};

}  // namespace pinwright::ui::qt
