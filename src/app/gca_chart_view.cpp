// Painting of the GCA bar chart: labels, bars, the zero axis and the scale below.
#include "gca_chart_view.h"

#include "analysis/diallel_tables.h"
#include "koravel_application.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace koravel {

namespace {

    constexpr int kMargin = 10;
    constexpr int kTitleHeight = 24;
    constexpr int kRowHeight = 22;
    constexpr int kBarInset = 4; // above and below each bar
    constexpr int kGap = 6; // between a label or value and its bar
    constexpr int kMaxLabelWidth = 200;
    constexpr int kPlotWidth = 360;
    constexpr int kAxisHeight = 22;

    const QColor kPositive(0x21, 0x66, 0xAC);
    const QColor kNegative(0xE0, 0x7B, 0x39);
    const QColor kGrid(0xDD, 0xDD, 0xDD);

    const QFont &labelFont()
    {
        static const QFont font = sansFont(11);
        return font;
    }

    // 1, 2 or 5 times a power of ten, about a fifth of the range.
    double tickStep(double range)
    {
        const double rough = range / 5;
        const double power = std::pow(10.0, std::floor(std::log10(rough)));
        for (const double factor : { 1.0, 2.0, 5.0 }) {
            if (factor * power >= rough)
                return factor * power;
        }
        return 10 * power;
    }

} // namespace

GcaChartView::GcaChartView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GcaChartView::setBars(QList<GcaBar> bars, const QString &title, char decimalMark)
{
    m_bars = std::move(bars);
    m_title = title;
    m_decimalMark = decimalMark;
    updateGeometry();
    update();
}

QColor GcaChartView::colourOf(double value)
{
    return value < 0 ? kNegative : kPositive;
}

QString GcaChartView::valueText(double value) const
{
    return QString::fromStdString(fourDecimals(value, m_decimalMark));
}

int GcaChartView::labelWidth() const
{
    const QFontMetrics metrics(labelFont());
    int widest = 0;
    for (const GcaBar &bar : m_bars)
        widest = std::max(widest, metrics.horizontalAdvance(bar.label));
    // A few pixels to spare, so that a label as wide as the widest is never elided.
    return std::min(widest + 4, kMaxLabelWidth);
}

int GcaChartView::valueWidth() const
{
    const QFontMetrics metrics(labelFont());
    int widest = 0;
    for (const GcaBar &bar : m_bars)
        widest = std::max(widest, metrics.horizontalAdvance(valueText(bar.value)));
    return widest;
}

QSize GcaChartView::sizeHint() const
{
    const int width = 2 * kMargin + labelWidth() + 2 * (kGap + valueWidth()) + kGap + kPlotWidth;
    const int height = 2 * kMargin + kTitleHeight
        + int(std::max<qsizetype>(m_bars.size(), 1)) * kRowHeight + kAxisHeight;
    return { width, height };
}

QSize GcaChartView::minimumSizeHint() const
{
    return { sizeHint().width() - kPlotWidth + 120, sizeHint().height() };
}

GcaChartView::Scale GcaChartView::scale(int width) const
{
    Scale s;
    double low = 0, high = 0;
    for (const GcaBar &bar : m_bars) {
        low = std::min(low, bar.value);
        high = std::max(high, bar.value);
    }
    if (!(high > low))
        high = low + 1;
    s.step = tickStep(high - low);
    s.low = std::floor(low / s.step) * s.step;
    s.high = std::ceil(high / s.step) * s.step;
    // A value is written beyond its bar's end: room on both sides.
    s.labelRight = kMargin + labelWidth();
    const int values = valueWidth() + kGap;
    s.left = s.labelRight + kGap + (s.low < 0 ? values : 0);
    s.right = std::max(s.left + 40, width - kMargin - (s.high > 0 ? values : 0));
    s.top = kMargin + kTitleHeight;
    return s;
}

QRect GcaChartView::barRect(int i) const
{
    if (i < 0 || i >= m_bars.size())
        return {};
    return barRect(scale(width()), i);
}

QRect GcaChartView::barRect(const Scale &s, int i) const
{
    const double value = m_bars[i].value;
    const int zero = int(std::lround(s.x(0)));
    const int end = int(std::lround(s.x(value)));
    const int top = s.top + i * kRowHeight + kBarInset;
    return QRect(QPoint(std::min(zero, end), top),
        QPoint(std::max(zero, end), top + kRowHeight - 2 * kBarInset - 1));
}

QImage GcaChartView::picture() const
{
    // The title, the rows and the scale, at least as wide as the chart likes to be, without
    // the room a taller view leaves below them.
    QImage image(std::max(width(), sizeHint().width()), sizeHint().height(), QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, image.width(), image.height());
    return image;
}

void GcaChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, width(), height());
}

void GcaChartView::paint(QPainter &painter, int width, int height) const
{
    painter.fillRect(0, 0, width, height, Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(sansFont(14, true));
    painter.drawText(QRect(kMargin, kMargin, width - 2 * kMargin, kTitleHeight),
        Qt::AlignLeft | Qt::AlignTop, m_title);
    painter.setFont(labelFont());
    if (m_bars.isEmpty()) {
        painter.drawText(QRect(kMargin, kMargin + kTitleHeight, width - 2 * kMargin, kRowHeight),
            Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Nenhum efeito GCA estimável."));
        return;
    }
    const Scale s = scale(width);
    const QFontMetrics metrics(labelFont());
    const int bottom = s.top + int(m_bars.size()) * kRowHeight;

    // The grid and the scale below the rows.
    for (double tick = s.low; tick <= s.high + s.step / 2; tick += s.step) {
        const int x = int(std::lround(s.x(tick)));
        painter.setPen(kGrid);
        painter.drawLine(x, s.top, x, bottom);
        painter.setPen(Qt::black);
        painter.drawLine(x, bottom, x, bottom + 3);
        QString text = QString::number(std::abs(tick) < s.step / 2 ? 0.0 : tick, 'g', 10);
        text.replace(QLatin1Char('.'), QLatin1Char(m_decimalMark));
        painter.drawText(
            QRect(x - 40, bottom + 4, 80, kAxisHeight - 4), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    painter.drawLine(s.left, bottom, s.right, bottom);

    for (int i = 0; i < m_bars.size(); ++i) {
        const GcaBar &bar = m_bars[i];
        const QRect row(0, s.top + i * kRowHeight, width, kRowHeight);
        painter.setPen(Qt::black);
        painter.drawText(QRect(kMargin, row.top(), s.labelRight - kMargin, kRowHeight),
            Qt::AlignRight | Qt::AlignVCenter,
            metrics.elidedText(bar.label, Qt::ElideRight, s.labelRight - kMargin));
        const QRect r = barRect(s, i);
        painter.fillRect(r, colourOf(bar.value));
        const QString value = valueText(bar.value);
        const int valueWidth = metrics.horizontalAdvance(value);
        const int x = bar.value < 0 ? r.left() - kGap - valueWidth : r.right() + kGap;
        painter.drawText(QRect(x, row.top(), valueWidth + 2, kRowHeight),
            Qt::AlignLeft | Qt::AlignVCenter, value);
    }
    // The zero axis over the bars' ends.
    painter.setPen(QPen(Qt::black, 2));
    const int zero = int(std::lround(s.x(0)));
    painter.drawLine(zero, s.top - 2, zero, bottom);
}

} // namespace koravel
