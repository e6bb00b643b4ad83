// The painted diallel matrix: line numbers along the top and the left, one coloured square per
// single cross, missing crosses hatched grey with a cross, and a legend of the colour scale.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>
#include <utility>

#include "export/diallel_matrix.h"

namespace koravel {

class HeatMapView : public QWidget
{
    Q_OBJECT
public:
    explicit HeatMapView(QWidget *parent = nullptr);

    // The matrix to paint; values are written with the settings' separator. The title heads the
    // picture, so an exported image says what it shows.
    void setMatrix(std::shared_ptr<const DiallelMatrix> matrix, const FormatSettings &settings,
        const QString &title);
    const DiallelMatrix *matrix() const { return m_matrix.get(); }

    // Where the cross i x j (row i, column j) is painted at the view's present size; an empty
    // rectangle outside the matrix.
    QRect cellRect(int i, int j) const;
    // The cross under a point as (i, j), or (0, 0) off the matrix.
    std::pair<int, int> cellAt(const QPoint &point) const;
    //   "3 x 7 = 268.8", "7 x 3: ausente", "2 x 5 = 0 (zero: a predição o toma como ausente)"
    QString toolTipAt(const QPoint &point) const;
    // The colour of a value on the scale from the smallest to the largest value present.
    QColor colourOf(double value) const;

    // The view as it is painted, at its present size.
    QImage picture();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    struct Geometry
    {
        int cell = 0; // side of a square
        QPoint origin; // top left of cross 1 x 1
        int headerWidth = 0;
        int headerHeight = 0;
        QRect legend;
    };
    Geometry geometry() const;
    QSize sizeFor(int cell) const;
    QString valueText(double value) const;
    // A value of the table as the table writes it (the first cell that holds it): the scale's
    // ends are values of the table, its middle is not.
    QString heldText(double value) const;
    void paintHeaders(QPainter &painter, const Geometry &g) const;
    void paintCells(QPainter &painter, const Geometry &g) const;
    void paintLegend(QPainter &painter, const Geometry &g) const;

    std::shared_ptr<const DiallelMatrix> m_matrix;
    FormatSettings m_settings;
    QString m_title;
};

} // namespace koravel
