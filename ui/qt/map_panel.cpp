#include "ui/qt/map_panel.hpp"

#include <cmath>
#include <limits>

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>

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

// Text with a halo in the background colour, readable over dots and lines.
void draw_label(QPainter& painter, QPointF at, const QString& text, const QColor& colour,
                const QColor& halo) {
  QPainterPath path;
  path.addText(at, painter.font(), text);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(halo, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
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

void draw_scale_and_north(QPainter& painter, const map::Scene& scene, const QPalette& palette) {
  const map::View& view = scene.view;
  const QColor ink = palette.color(QPalette::Text);
  const QColor halo = palette.color(QPalette::Base);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const double length = scene.scale.length / view.metres_per_pixel;
  if (length > 0.0 && std::isfinite(length)) {
    const double left = kMargin;
    const double bottom = view.height - kMargin;
    painter.setPen(QPen(ink, 2.0));
    painter.drawLine(QPointF(left, bottom), QPointF(left + length, bottom));
    painter.drawLine(QPointF(left, bottom - 5.0), QPointF(left, bottom));
    painter.drawLine(QPointF(left + length, bottom - 5.0), QPointF(left + length, bottom));
    draw_label(painter, QPointF(left, bottom - 8.0), decode(scene.scale.label), ink, halo);
  }
  // North is always up: the arrow says so.
  const QPointF tip(view.width - kMargin - 8.0, kMargin);
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

  const QPointF row1 = pixel_of(view, scene.markers[0].position);
  const QPointF row2 = pixel_of(view, scene.markers[1].position);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QColor fill = kRadiusColour;
  fill.setAlpha(28);
  painter.setBrush(fill);
  painter.setPen(QPen(kRadiusColour, 2.0));
  const double radius = scene.circle.radius / view.metres_per_pixel;
  painter.drawEllipse(pixel_of(view, scene.circle.centre), radius, radius);

  const QColor ink = palette.color(QPalette::Text);
  painter.setPen(QPen(ink, 1.5, Qt::DashLine));
  painter.drawLine(row1, row2);
  // Labels where the line is not: a steep line has the names to the right of
  // the markers, the upper one raised and the lower one lowered, and its
  // length to the left; a flat one has each name on its outer side and its
  // length above.
  const QFontMetricsF metrics(painter.font());
  const QString separation = decode(scene.line.label);
  const QString names[2] = {decode(scene.markers[0].name), decode(scene.markers[1].name)};
  const QPointF middle = (row1 + row2) / 2.0;
  const QPointF across = row2 - row1;
  const double gap = kMarkerRadius + 4.0;
  const double centred = metrics.ascent() / 2.0 - 1.0;
  QPointF name_at[2];
  if (std::abs(across.y()) >= std::abs(across.x())) {
    draw_label(painter, middle + QPointF(-gap - metrics.horizontalAdvance(separation), centred),
               separation, ink, base);
    const double lower = across.y() >= 0.0 ? 1.0 : -1.0;
    name_at[0] = row1 + QPointF(gap, centred - lower * kMarkerRadius);
    name_at[1] = row2 + QPointF(gap, centred + lower * kMarkerRadius);
  } else {
    draw_label(painter, middle + QPointF(-metrics.horizontalAdvance(separation) / 2.0, -gap),
               separation, ink, base);
    const int left = across.x() > 0.0 ? 0 : 1;
    const QPointF at[2] = {row1, row2};
    name_at[left] = at[left] + QPointF(-gap - metrics.horizontalAdvance(names[left]), centred);
    name_at[1 - left] = at[1 - left] + QPointF(gap, centred);
  }
  draw_label(painter, name_at[0], names[0], kRow1Colour.darker(130), base);
  draw_label(painter, name_at[1], names[1], kRow2Colour.darker(130), base);
  draw_marker(painter, row1, QStringLiteral("1"), kRow1Colour, base);
  draw_marker(painter, row2, QStringLiteral("2"), kRow2Colour, base);

  draw_scale_and_north(painter, scene, palette);
}

MapPanel::MapPanel(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void MapPanel::set_input(const std::optional<map::SceneInput>& input) {
  input_.reset();
  points_.clear();
  moved_ = false;
  drag_from_.reset();
  if (input) {
    input_.emplace(*input);
    show_view(map::fit_view({input->row1.longitude, input->row1.latitude},
                            {input->row2.longitude, input->row2.latitude}, input->radius, width(),
                            height()));
  }
  update();
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
  for (const map::Marker& marker : scene_.markers)
    consider(pixel_of(scene_.view, marker.position), marker.name, marker.entry);
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
    set_input(std::optional<map::SceneInput>(*input_));
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

}  // namespace pinwright::ui::qt
