#include "ui/qt/map_panel.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include "map/pair_layout.hpp"
#include "ui/text_encoding.hpp"

namespace pinwright::ui::qt {

namespace {

constexpr double kMarkerRadius = 8.0;
constexpr double kDotRadius = 2.5;
// How near the pointer must be to a dot or marker for its tooltip, in pixels.
constexpr double kHoverReach = 6.0;
// One notch of a mouse wheel (120 eighths of a degree) zooms by this much.
constexpr double kZoomPerNotch = 1.25;
constexpr int kMargin = 12;
// Behind the scale bar, the north arrow and the separation: dots show through faintly.
constexpr int kBackdropAlpha = 230;
constexpr double kBackdropPadding = 3.0;
constexpr double kHaloWidth = 4.0;

QString decode(std::string_view bytes) {
  return QString::fromStdString(decode_to_utf8(bytes, detect_encoding(bytes)));
}

QPointF pixel_of(const map::View& view, map::Point point) {
  const map::Pixel pixel = map::to_pixel(view, point);
  return {pixel.x, pixel.y};
}

QString described(std::string_view name, std::int32_t entry) {
  return decode(name) + QStringLiteral("\nEntry %1").arg(entry);
}

map::TextSize size_of(const QFontMetricsF& metrics, const QString& text) {
  return {metrics.horizontalAdvance(text), metrics.height()};
}

// Text with a halo in the background colour, readable over dots and lines.
void draw_label(QPainter& painter, QPointF at, const QString& text, const QColor& colour,
                const QColor& halo) {
  QPainterPath path;
  path.addText(at, painter.font(), text);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(halo, kHaloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  painter.fillPath(path, colour);
  painter.restore();
}

void draw_dots(QPainter& painter, const map::Scene& scene, const std::vector<QPointF>& points,
               const QPalette& palette, QImage& layer) {
  const QColor colour = palette.color(QPalette::Mid).darker(140);
  if (!scene.dot_labels) {
    // Crowded: one point each, two pixels square, written straight into an
    // image laid over the map; tens of thousands cost less than a
    // millisecond this way.
    const int width = scene.view.width;
    const int height = scene.view.height;
    if (layer.size() != QSize(width, height) ||
        layer.format() != QImage::Format_ARGB32_Premultiplied)
      layer = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    const QRgb pixel = qPremultiply(colour.rgba());
    const auto bytes_per_line = static_cast<std::size_t>(layer.bytesPerLine());
    uchar* const bits = layer.bits();
    for (const QPointF& point : points) {
      const int x = static_cast<int>(point.x());
      const int y = static_cast<int>(point.y());
      if (x < 0 || y < 0) continue;
      for (int row = y; row <= y + 1 && row < height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(bits + static_cast<std::size_t>(row) * bytes_per_line);
        for (int column = x; column <= x + 1 && column < width; ++column) line[column] = pixel;
      }
    }
    painter.drawImage(QPointF(0, 0), layer);
    return;
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  for (const QPointF& point : points) painter.drawEllipse(point, kDotRadius, kDotRadius);
  const QColor text = palette.color(QPalette::Text);
  const QColor halo = palette.color(QPalette::Base);
  for (std::size_t k = 0; k < scene.dots.size(); ++k) {
    draw_label(painter, points[k] + QPointF(kDotRadius + 3.0, 4.0),
               decode(scene.name(scene.dots[k])), text, halo);
  }
}

void draw_marker(QPainter& painter, QPointF at, const QString& number, const QColor& colour,
                 const QColor& halo) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(halo, 2.0));
  painter.setBrush(colour);
  painter.drawEllipse(at, kMarkerRadius, kMarkerRadius);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setBold(true);
  painter.save();
  painter.setFont(font);
  painter.drawText(
      QRectF(at.x() - kMarkerRadius, at.y() - kMarkerRadius, 2 * kMarkerRadius, 2 * kMarkerRadius),
      Qt::AlignCenter, number);
  painter.restore();
}

// A plain ground of the background colour under what is drawn next.
void draw_backdrop(QPainter& painter, const QRectF& area, const QColor& base) {
  QColor ground = base;
  ground.setAlpha(kBackdropAlpha);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  painter.setBrush(ground);
  painter.drawRoundedRect(
      area.adjusted(-kBackdropPadding, -kBackdropPadding, kBackdropPadding, kBackdropPadding), 3.0,
      3.0);
  painter.restore();
}

void draw_scale_and_north(QPainter& painter, const map::Scene& scene, const QPalette& palette) {
  const map::View& view = scene.view;
  const QColor ink = palette.color(QPalette::Text);
  const QColor halo = palette.color(QPalette::Base);
  const QFontMetricsF metrics(painter.font());
  const double length = scene.scale.length / view.metres_per_pixel;
  if (length > 0.0 && std::isfinite(length)) {
    const double left = kMargin;
    const double bottom = view.height - kMargin;
    const QString label = decode(scene.scale.label);
    const double top = bottom - 8.0 - metrics.ascent();
    draw_backdrop(
        painter,
        QRectF(left, top, std::max(length, metrics.horizontalAdvance(label)), bottom + 1.0 - top),
        halo);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink, 2.0));
    painter.drawLine(QPointF(left, bottom), QPointF(left + length, bottom));
    painter.drawLine(QPointF(left, bottom - 5.0), QPointF(left, bottom));
    painter.drawLine(QPointF(left + length, bottom - 5.0), QPointF(left + length, bottom));
    draw_label(painter, QPointF(left, bottom - 8.0), label, ink, halo);
  }
  // North is always up: the arrow says so.
  const QPointF tip(view.width - kMargin - 8.0, kMargin);
  draw_backdrop(painter, QRectF(tip.x() - 8.0, tip.y(), 16.0, 30.0 + metrics.descent()), halo);
  QPainterPath arrow;
  arrow.moveTo(tip);
  arrow.lineTo(tip + QPointF(6.0, 16.0));
  arrow.lineTo(tip + QPointF(0.0, 12.0));
  arrow.lineTo(tip + QPointF(-6.0, 16.0));
  arrow.closeSubpath();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.fillPath(arrow, ink);
  draw_label(painter, tip + QPointF(-4.0, 30.0), QStringLiteral("N"), ink, halo);
}

}  // namespace

void dot_pixels(const map::Scene& scene, std::vector<QPointF>& points) {
  points.clear();
  points.reserve(scene.dots.size());
  for (const map::Dot& dot : scene.dots) points.push_back(pixel_of(scene.view, dot.position));
}

void paint_scene(QPainter& painter, const map::Scene& scene, const std::vector<QPointF>& points,
                 const QPalette& palette, QImage& layer) {
  const map::View& view = scene.view;
  const QColor base = palette.color(QPalette::Base);
  painter.fillRect(QRectF(0, 0, view.width, view.height), base);
  draw_dots(painter, scene, points, palette, layer);

  const map::MarkerPlaces markers = map::place_markers(scene, kMarkerRadius);
  const QPointF places[2] = {{markers.places[0].x, markers.places[0].y},
                             {markers.places[1].x, markers.places[1].y}};
  const QPointF drawn[2] = {{markers.markers[0].x, markers.markers[0].y},
                            {markers.markers[1].x, markers.markers[1].y}};
  painter.setRenderHint(QPainter::Antialiasing, true);
  QColor fill = kRadiusColour;
  fill.setAlpha(28);
  painter.setBrush(fill);
  painter.setPen(QPen(kRadiusColour, 2.0));
  const double radius = scene.circle.radius / view.metres_per_pixel;
  painter.drawEllipse(pixel_of(view, scene.circle.centre), radius, radius);

  const QColor ink = palette.color(QPalette::Text);
  const QColor colours[2] = {kRow1Colour, kRow2Colour};
  if (markers.set_apart) {
    // Too close for two markers: each drawn beside the spot, tied to it by a
    // thin line, and the label says the length the map cannot show.
    painter.setBrush(Qt::NoBrush);
    for (int row = 0; row < 2; ++row) {
      painter.setPen(QPen(colours[row], 1.5));
      painter.drawLine(drawn[row], places[row]);
    }
    painter.setPen(QPen(ink, 1.5));
    painter.drawEllipse((places[0] + places[1]) / 2.0, 2.5, 2.5);
  } else {
    painter.setPen(QPen(ink, 1.5, Qt::DashLine));
    painter.drawLine(drawn[0], drawn[1]);
  }
  const QFontMetricsF metrics(painter.font());
  const QString length = decode(scene.line.label);
  const QString separation =
      markers.set_apart ? QStringLiteral("true separation %1").arg(length) : length;
  const QString names[2] = {decode(scene.markers[0].name), decode(scene.markers[1].name)};
  const map::LabelPlaces labels =
      map::place_labels(view, markers, kMarkerRadius, size_of(metrics, separation),
                        {size_of(metrics, names[0]), size_of(metrics, names[1])});
  const auto baseline = [&metrics](const map::Box& box) {
    return QPointF(box.left, box.top + metrics.ascent());
  };
  draw_backdrop(painter,
                QRectF(labels.separation.left, labels.separation.top, labels.separation.width,
                       labels.separation.height),
                base);
  draw_label(painter, baseline(labels.separation), separation, ink, base);
  draw_label(painter, baseline(labels.names[0]), names[0], kRow1Colour.darker(130), base);
  draw_label(painter, baseline(labels.names[1]), names[1], kRow2Colour.darker(130), base);
  draw_marker(painter, drawn[0], QStringLiteral("1"), kRow1Colour, base);
  draw_marker(painter, drawn[1], QStringLiteral("2"), kRow2Colour, base);

  draw_scale_and_north(painter, scene, palette);
}

MapPanel::MapPanel(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  fit_button_ = new QToolButton(this);
  fit_button_->setText(QStringLiteral("Fit"));
  fit_button_->setToolTip(
      QStringLiteral("Bring the pair back into view (F, or double-click the map)"));
  // The key F reaches it from anywhere in the window; Tab need not stop here.
  fit_button_->setFocusPolicy(Qt::NoFocus);
  fit_button_->move(kMargin / 2, kMargin / 2);
  fit_button_->hide();
  connect(fit_button_, &QToolButton::clicked, this, &MapPanel::fit);
  // A field being typed in keeps the letter for itself.
  fit_key_ = new QShortcut(QKeySequence(Qt::Key_F), this);
  fit_key_->setContext(Qt::WindowShortcut);
  fit_key_->setEnabled(false);
  connect(fit_key_, &QShortcut::activated, this, &MapPanel::fit);
}

void MapPanel::set_input(const std::optional<map::SceneInput>& input) {
  input_.reset();
  points_.clear();
  drag_from_.reset();
  if (input) input_.emplace(*input);
  fit_button_->setVisible(input_.has_value());
  fit_key_->setEnabled(input_.has_value());
  fit();
  update();
}

void MapPanel::fit() {
  moved_ = false;
  if (!input_) return;
  show_view(map::fit_view({input_->row1.longitude, input_->row1.latitude},
                          {input_->row2.longitude, input_->row2.latitude}, input_->radius, width(),
                          height()));
}

void MapPanel::show_view(const map::View& view) {
  if (!input_) return;
  map::SceneInput input = *input_;
  input.view = view;
  map::build_scene(input, scene_, scratch_);
  dot_pixels(scene_, points_);
  update();
}

QString MapPanel::entry_at(QPoint place) const {
  if (!input_) return {};
  const QPointF at(place.x() + 0.5, place.y() + 0.5);
  double nearest = kHoverReach * kHoverReach;
  QString found;
  const auto consider = [&](QPointF point, std::string_view name, std::int32_t entry) {
    const QPointF d = point - at;
    const double distance = d.x() * d.x() + d.y() * d.y();
    if (distance > nearest) return;
    nearest = distance;
    found = described(name, entry);
  };
  for (std::size_t k = 0; k < scene_.dots.size(); ++k)
    consider(points_[k], scene_.name(scene_.dots[k]), scene_.dots[k].entry);
  // The markers lie over the dots: they win at equal distance.
  nearest = std::nextafter(nearest, std::numeric_limits<double>::infinity());
  const map::MarkerPlaces markers = map::place_markers(scene_, kMarkerRadius);
  for (std::size_t row = 0; row < 2; ++row) {
    const map::Marker& marker = scene_.markers[row];
    consider({markers.markers[row].x, markers.markers[row].y}, marker.name, marker.entry);
  }
  return found;
}

bool MapPanel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = entry_at(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  return QWidget::event(event);
}

void MapPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!input_) {
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No pair under review"));
    return;
  }
  paint_scene(painter, scene_, points_, palette(), layer_);
}

void MapPanel::resizeEvent(QResizeEvent*) {
  if (!input_) return;
  if (!moved_) {
    fit();
    return;
  }
  map::View view = scene_.view;
  view.width = std::max(width(), 1);
  view.height = std::max(height(), 1);
  show_view(view);
}

void MapPanel::wheelEvent(QWheelEvent* event) {
  if (!input_) return;
  const double notches = event->angleDelta().y() / 120.0;
  const QPointF at = event->position();
  moved_ = true;
  show_view(map::zoom_about(scene_.view, {at.x(), at.y()}, std::pow(kZoomPerNotch, notches)));
  event->accept();
}

void MapPanel::mousePressEvent(QMouseEvent* event) {
  if (input_ && event->button() == Qt::LeftButton) drag_from_ = event->position();
}

void MapPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!input_ || !drag_from_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPointF moved = event->position() - *drag_from_;
  drag_from_ = event->position();
  moved_ = true;
  show_view(map::pan(scene_.view, moved.x(), moved.y()));
}

void MapPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) drag_from_.reset();
}

void MapPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) fit();
}

}  // namespace pinwright::ui::qt
