// Draws the frames of the turning globe and plays them while the widget is visible.
#include "globe_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace {

struct LatLon
{
    double lat;
    double lon;
};

// Coarse continents, in degrees; the outline is walked edge by edge.
const std::vector<std::vector<LatLon>> &continents()
{
    static const std::vector<std::vector<LatLon>> shapes {
        { { 10, -80 }, { 8, -62 }, { -5, -36 }, { -22, -41 }, { -38, -57 }, { -54, -70 },
            { -30, -72 }, { -5, -81 } },
        { { 35, -8 }, { 32, 32 }, { 12, 44 }, { -12, 40 }, { -34, 20 }, { -18, 11 }, { 4, 8 },
            { 6, -14 }, { 20, -17 } },
        { { 70, 25 }, { 72, 100 }, { 62, 160 }, { 40, 140 }, { 22, 108 }, { 8, 78 }, { 25, 57 },
            { 40, 28 }, { 55, 10 } },
        { { 68, -165 }, { 70, -100 }, { 52, -60 }, { 30, -80 }, { 18, -97 }, { 30, -115 },
            { 55, -130 } },
        { { -14, 128 }, { -18, 146 }, { -38, 147 }, { -33, 116 }, { -22, 114 } },
    };
    return shapes;
}

constexpr double kDegree = std::numbers::pi / 180.0;

// Orthographic view of a point turned by the phase; a point behind the globe is put on its rim.
QPointF project(double lat, double lon, double phase, double radius, bool *front = nullptr)
{
    const double turned = (lon + phase) * kDegree;
    const double x = radius * std::cos(lat * kDegree) * std::sin(turned);
    const double y = -radius * std::sin(lat * kDegree);
    const double z = std::cos(lat * kDegree) * std::cos(turned);
    if (front)
        *front = z > 0;
    if (z > 0)
        return { x, y };
    const double length = std::hypot(x, y);
    if (length == 0)
        return { radius, 0 };
    return { x * radius / length, y * radius / length };
}

} // namespace

GlobeAnimation::GlobeAnimation(QWidget *parent)
    : QWidget(parent)
{
    m_timer.setInterval(kFrameMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &GlobeAnimation::advance);
}

QPixmap GlobeAnimation::drawFrame(int index, int count, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = std::min(size.width(), size.height()) / 2.0 - 1.5;
    painter.translate(size.width() / 2.0, size.height() / 2.0);
    const double phase = 360.0 * index / std::max(count, 1);

    QRadialGradient sea(QPointF(-radius * 0.35, -radius * 0.4), radius * 1.6);
    sea.setColorAt(0, QColor(140, 196, 240));
    sea.setColorAt(0.55, QColor(48, 112, 190));
    sea.setColorAt(1, QColor(18, 52, 110));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sea);
    painter.drawEllipse(QPointF(0, 0), radius, radius);

    QPainterPath disc;
    disc.addEllipse(QPointF(0, 0), radius, radius);
    painter.setClipPath(disc);

    painter.setBrush(QColor(86, 150, 60));
    painter.setPen(QPen(QColor(52, 100, 36), 0.6));
    for (const auto &shape : continents()) {
        QPainterPath land;
        bool anyFront = false;
        for (std::size_t corner = 0; corner < shape.size(); ++corner) {
            const LatLon &from = shape[corner];
            const LatLon &to = shape[(corner + 1) % shape.size()];
            for (int step = 0; step < 6; ++step) {
                const double t = step / 6.0;
                bool front = false;
                const QPointF point = project(from.lat + (to.lat - from.lat) * t,
                    from.lon + (to.lon - from.lon) * t, phase, radius, &front);
                anyFront = anyFront || front;
                if (land.elementCount() == 0)
                    land.moveTo(point);
                else
                    land.lineTo(point);
            }
        }
        land.closeSubpath();
        if (anyFront)
            painter.drawPath(land);
    }

    // Parallels stay in place; meridians turn with the globe.
    painter.setPen(QPen(QColor(255, 255, 255, 120), 0.7));
    painter.setBrush(Qt::NoBrush);
    for (double lat : { -60.0, -30.0, 0.0, 30.0, 60.0 }) {
        const double y = -radius * std::sin(lat * kDegree);
        const double half = radius * std::cos(lat * kDegree);
        painter.drawLine(QPointF(-half, y), QPointF(half, y));
    }
    for (double lon = 0; lon < 360; lon += 30) {
        if (std::cos((lon + phase) * kDegree) <= 0)
            continue;
        QPainterPath meridian;
        for (double lat = -90; lat <= 90; lat += 7.5) {
            const QPointF point = project(lat, lon, phase, radius);
            if (meridian.elementCount() == 0)
                meridian.moveTo(point);
            else
                meridian.lineTo(point);
        }
        painter.drawPath(meridian);
    }
    painter.setClipping(false);

    QRadialGradient gloss(QPointF(-radius * 0.4, -radius * 0.45), radius * 0.6);
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(QPen(QColor(16, 40, 86), 1));
    painter.setBrush(gloss);
    painter.drawEllipse(QPointF(0, 0), radius, radius);
    return pixmap;
}

void GlobeAnimation::advance()
{
    m_frame = (m_frame + 1) % kFrameCount;
    update();
}

const QPixmap &GlobeAnimation::frame(int index)
{
    if (m_frames.empty() || m_frames.front().size() != size()) {
        m_frames.clear();
        for (int each = 0; each < kFrameCount; ++each)
            m_frames.push_back(drawFrame(each, kFrameCount, size()));
    }
    return m_frames[static_cast<std::size_t>(index)];
}

void GlobeAnimation::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, frame(m_frame));
}

void GlobeAnimation::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void GlobeAnimation::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}
