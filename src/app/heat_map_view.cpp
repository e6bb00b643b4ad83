// Painting of the diallel matrix, its headers and its legend, and the tooltips of its cells.
#include "heat_map_view.h"

#include "colour_scale.h"
#include "koravel_application.h"
#include "qt_text.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace koravel {

namespace {

    constexpr int kMargin = 10;
    constexpr int kTitleHeight = 24;
    constexpr int kLegendGap = 12;
    constexpr int kLegendHeight = 58;
    constexpr int kLegendMinWidth = 360;
    constexpr int kMinCell = 4;
    constexpr int kMaxCell = 56;
    constexpr int kPreferredSide = 560;

    const QColor kMissingFill(0xD9, 0xD9, 0xD9);
    const QColor kMissingHatch(0xA6, 0xA6, 0xA6);
    const QColor kMissingCross(0x59, 0x59, 0x59);
    const QColor kZeroFill(0xF4, 0xCC, 0xCC);
    const QColor kZeroText(0x99, 0x00, 0x00);
    const QColor kDiagonalLine(0x80, 0x80, 0x80);

    const QFont &headerFont()
    {
        static const QFont font = koravel::sansFont(11);
        return font;
    }

    void paintMissing(QPainter &painter, const QRect &r)
    {
        painter.fillRect(r, kMissingFill);
        painter.fillRect(r, QBrush(kMissingHatch, Qt::BDiagPattern));
        const int inset = std::max(1, r.width() / 4);
        painter.setPen(QPen(kMissingCross, r.width() >= 24 ? 2 : 1));
        const QRect x = r.adjusted(inset, inset, -inset, -inset);
        painter.drawLine(x.topLeft(), x.bottomRight());
        painter.drawLine(x.topRight(), x.bottomLeft());
    }

    // White with a grey stroke from corner to corner: together the diagonal cells draw the
    // matrix's diagonal, and no colour of the scale looks like them.
    void paintDiagonal(QPainter &painter, const QRect &r)
    {
        painter.fillRect(r, Qt::white);
        painter.setPen(QPen(kDiagonalLine, r.width() >= 24 ? 2 : 1));
        painter.drawLine(r.topLeft(), r.bottomRight());
    }

    // A label every step lines, so that neighbouring labels do not overlap.
    int labelStep(int cell, int room)
    {
        return std::max(1, (room + cell - 1) / std::max(1, cell));
    }

} // namespace

HeatMapView::HeatMapView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void HeatMapView::setMatrix(std::shared_ptr<const DiallelMatrix> matrix,
    const FormatSettings &settings, const QString &title)
{
    m_matrix = std::move(matrix);
    m_settings = settings;
    m_title = title;
    updateGeometry();
    update();
}

QSize HeatMapView::sizeFor(int cell) const
{
    const int n = m_matrix ? m_matrix->size() : 0;
    const QFontMetrics metrics(headerFont());
    const int headerWidth = metrics.horizontalAdvance(QString::number(std::max(n, 10))) + 12;
    const int headerHeight = metrics.height() + 8;
    const int width = std::max(headerWidth + n * cell, kLegendMinWidth) + 2 * kMargin;
    const int height =
        kMargin + kTitleHeight + headerHeight + n * cell + kLegendGap + kLegendHeight + kMargin;
    return { width, height };
}

QSize HeatMapView::sizeHint() const
{
    const int n = m_matrix ? std::max(1, m_matrix->size()) : 1;
    return sizeFor(std::clamp(kPreferredSide / n, kMinCell, kMaxCell));
}

QSize HeatMapView::minimumSizeHint() const
{
    return sizeFor(kMinCell);
}

HeatMapView::Geometry HeatMapView::geometry() const
{
    Geometry g;
    const int n = m_matrix ? m_matrix->size() : 0;
    const QFontMetrics metrics(headerFont());
    g.headerWidth = metrics.horizontalAdvance(QString::number(std::max(n, 10))) + 12;
    g.headerHeight = metrics.height() + 8;
    const int roomWidth = width() - 2 * kMargin - g.headerWidth;
    const int roomHeight =
        height() - 2 * kMargin - kTitleHeight - g.headerHeight - kLegendGap - kLegendHeight;
    g.cell = n > 0 ? std::max(kMinCell, std::min(roomWidth, roomHeight) / n) : 0;
    // The matrix with its headers is centred across the view.
    const int blockWidth = g.headerWidth + n * g.cell;
    const int left = std::max(kMargin, (width() - blockWidth) / 2);
    g.origin = QPoint(left + g.headerWidth, kMargin + kTitleHeight + g.headerHeight);
    const int legendWidth = std::min(width() - 2 * kMargin, std::max(blockWidth, kLegendMinWidth));
    g.legend = QRect((width() - legendWidth) / 2, g.origin.y() + n * g.cell + kLegendGap,
        legendWidth, kLegendHeight);
    return g;
}

QRect HeatMapView::cellRect(int i, int j) const
{
    const int n = m_matrix ? m_matrix->size() : 0;
    if (i < 1 || j < 1 || i > n || j > n)
        return {};
    const Geometry g = geometry();
    return { g.origin.x() + (j - 1) * g.cell, g.origin.y() + (i - 1) * g.cell, g.cell, g.cell };
}

std::pair<int, int> HeatMapView::cellAt(const QPoint &point) const
{
    const int n = m_matrix ? m_matrix->size() : 0;
    const Geometry g = geometry();
    if (n == 0 || point.x() < g.origin.x() || point.y() < g.origin.y())
        return { 0, 0 };
    const int i = (point.y() - g.origin.y()) / g.cell + 1;
    const int j = (point.x() - g.origin.x()) / g.cell + 1;
    if (i > n || j > n)
        return { 0, 0 };
    return { i, j };
}

QString HeatMapView::toolTipAt(const QPoint &point) const
{
    const auto [i, j] = cellAt(point);
    if (i == 0)
        return {};
    const QString pair = QStringLiteral("%1 x %2").arg(i).arg(j);
    const DiallelMatrix::Cell &cell = m_matrix->cell(i, j);
    switch (cell.state) {
    case CrossState::Present:
        return pair + QStringLiteral(" = ") + toQt(cell.text);
    case CrossState::Zero:
        return pair + QStringLiteral(" = ") + toQt(cell.text)
            + QStringLiteral(" (zero: a predição o toma como ausente)");
    case CrossState::Missing:
        return pair + QStringLiteral(": ausente");
    case CrossState::Diagonal:
        return pair + QStringLiteral(": diagonal, fora das predições");
    }
    return {};
}

QColor HeatMapView::colourOf(double value) const
{
    if (!m_matrix || !m_matrix->minimum())
        return scaleColour(0.5);
    const double low = *m_matrix->minimum();
    const double high = *m_matrix->maximum();
    return scaleColour(high > low ? (value - low) / (high - low) : 0.5);
}

QString HeatMapView::valueText(double value) const
{
    return toQt(floatToStr(value, m_settings));
}

QString HeatMapView::heldText(double value) const
{
    const int n = m_matrix->size();
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const DiallelMatrix::Cell &cell = m_matrix->cell(i, j);
            if (cell.state == CrossState::Present && cell.value == value)
                return toQt(cell.text);
        }
    }
    return valueText(value);
}

QImage HeatMapView::picture()
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    render(&image);
    return image;
}

void HeatMapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(koravel::sansFont(14, true));
    painter.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, kTitleHeight),
        Qt::AlignLeft | Qt::AlignTop, m_title);
    if (!m_matrix || m_matrix->size() == 0)
        return;
    const Geometry g = geometry();
    paintHeaders(painter, g);
    paintCells(painter, g);
    paintLegend(painter, g);
}

void HeatMapView::paintHeaders(QPainter &painter, const Geometry &g) const
{
    const int n = m_matrix->size();
    painter.setFont(headerFont());
    painter.setPen(Qt::black);
    const QFontMetrics metrics(headerFont());
    // The corner says which parent runs down and which across.
    painter.drawText(QRect(g.origin.x() - g.headerWidth, g.origin.y() - g.headerHeight,
                         g.headerWidth - 2, g.headerHeight),
        Qt::AlignCenter, QStringLiteral("A\\B"));
    const int rowStep = labelStep(g.cell, metrics.height());
    const int columnStep = labelStep(g.cell, metrics.horizontalAdvance(QString::number(n)) + 4);
    for (int k = 1; k <= n; ++k) {
        const QString number = QString::number(k);
        if ((k - 1) % rowStep == 0) {
            painter.drawText(QRect(g.origin.x() - g.headerWidth, g.origin.y() + (k - 1) * g.cell,
                                 g.headerWidth - 4, g.cell),
                Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, number);
        }
        if ((k - 1) % columnStep == 0) {
            painter.drawText(QRect(g.origin.x() + (k - 1) * g.cell, g.origin.y() - g.headerHeight,
                                 g.cell, g.headerHeight - 2),
                Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip, number);
        }
    }
}

void HeatMapView::paintCells(QPainter &painter, const Geometry &g) const
{
    const int n = m_matrix->size();
    const int gap = g.cell >= 10 ? 1 : 0;
    const QFont valueFont = koravel::sansFont(std::clamp(g.cell / 3, 8, 12));
    const QFontMetrics metrics(valueFont);
    painter.setFont(valueFont);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const QRect r(g.origin.x() + (j - 1) * g.cell, g.origin.y() + (i - 1) * g.cell,
                g.cell - gap, g.cell - gap);
            const DiallelMatrix::Cell &cell = m_matrix->cell(i, j);
            QString text;
            switch (cell.state) {
            case CrossState::Diagonal:
                paintDiagonal(painter, r);
                break;
            case CrossState::Missing:
                paintMissing(painter, r);
                break;
            case CrossState::Zero:
                painter.fillRect(r, kZeroFill);
                painter.setPen(kZeroText);
                text = toQt(cell.text);
                break;
            case CrossState::Present: {
                const QColor colour = colourOf(cell.value);
                painter.fillRect(r, colour);
                painter.setPen(textColourOn(colour));
                text = toQt(cell.text);
                break;
            }
            }
            // Values are printed where they fit whole; the tooltip has them all.
            if (!text.isEmpty() && metrics.horizontalAdvance(text) <= r.width() - 4
                && metrics.height() <= r.height() - 2)
                painter.drawText(r, Qt::AlignCenter, text);
        }
    }
}

void HeatMapView::paintLegend(QPainter &painter, const Geometry &g) const
{
    const QRect &legend = g.legend;
    painter.setFont(headerFont());
    const QFontMetrics metrics(headerFont());
    const QRect bar(legend.left(), legend.top(), legend.width(), 14);
    if (m_matrix->minimum()) {
        QLinearGradient gradient(bar.topLeft(), bar.topRight());
        for (int step = 0; step <= 20; ++step)
            gradient.setColorAt(step / 20.0, scaleColour(step / 20.0));
        painter.fillRect(bar, gradient);
        const double low = *m_matrix->minimum();
        const double high = *m_matrix->maximum();
        const QRect values(bar.left(), bar.bottom() + 3, bar.width(), metrics.height());
        painter.setPen(Qt::black);
        painter.drawText(values, Qt::AlignLeft, QStringLiteral("mín. ") + heldText(low));
        painter.drawText(values, Qt::AlignHCenter, valueText((low + high) / 2));
        painter.drawText(values, Qt::AlignRight, QStringLiteral("máx. ") + heldText(high));
    } else {
        painter.setPen(Qt::black);
        painter.drawText(bar, Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("Nenhum cruzamento com valor na tabela."));
    }

    // The marks that are not on the scale.
    const int top = legend.top() + 38;
    int x = legend.left();
    const auto swatch = [&](const QString &label, auto paintMark) {
        const QRect mark(x, top, 16, 16);
        paintMark(mark);
        painter.setPen(Qt::black);
        painter.setFont(headerFont());
        const int labelWidth = metrics.horizontalAdvance(label);
        painter.drawText(QRect(mark.right() + 5, top, labelWidth + 2, 16),
            Qt::AlignLeft | Qt::AlignVCenter, label);
        x = mark.right() + 5 + labelWidth + 18;
    };
    swatch(QStringLiteral("ausente"), [&](const QRect &r) { paintMissing(painter, r); });
    swatch(QStringLiteral("zero (FALSO)"), [&](const QRect &r) {
        painter.fillRect(r, kZeroFill);
        painter.setPen(kZeroText);
        painter.setFont(koravel::sansFont(10));
        painter.drawText(r, Qt::AlignCenter, QStringLiteral("0"));
    });
    swatch(QStringLiteral("diagonal (i x i)"), [&](const QRect &r) {
        paintDiagonal(painter, r);
        painter.setPen(kDiagonalLine);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    });
}

bool HeatMapView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this,
                cellRect(cellAt(help->pos()).first, cellAt(help->pos()).second));
        return true;
    }
    return QWidget::event(event);
}

} // namespace koravel
