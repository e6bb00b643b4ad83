// The painted bar chart of the general combining ability: one horizontal bar per line, in the
// order given, from a zero axis, positive effects in blue to the right and negative ones in
// orange to the left, each labelled with its line and its value.
#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

class QPainter;

namespace koravel {

struct GcaBar
{
    QString label; // "7  B73", or the number alone
    double value = 0;
};

class GcaChartView : public QWidget
{
    Q_OBJECT
public:
    explicit GcaChartView(QWidget *parent = nullptr);

    // The bars top to bottom; values are written with 4 decimals and the decimal mark. The
    // title heads the picture, so an exported image says what it shows.
    void setBars(QList<GcaBar> bars, const QString &title, char decimalMark);
    const QList<GcaBar> &bars() const { return m_bars; }

    // Where bar i (from 0) is painted at the view's present size; empty outside the chart.
    QRect barRect(int i) const;
    static QColor colourOf(double value);

    // The chart at the view's width or the one it prefers, whichever is larger, down to the
    // scale below the bars.
    QImage picture() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Scale
    {
        double low = 0, high = 1, step = 1; // the axis's ends and its tick step
        int left = 0, right = 0; // pixels of low and high
        int top = 0; // top of the first row
        int labelRight = 0; // the labels end here
        double x(double value) const
        {
            return left + (value - low) / (high - low) * (right - left);
        }
    };
    Scale scale(int width) const;
    QRect barRect(const Scale &scale, int i) const;
    void paint(QPainter &painter, int width, int height) const;
    QString valueText(double value) const;
    int labelWidth() const;
    int valueWidth() const;

    QList<GcaBar> m_bars;
    QString m_title;
    char m_decimalMark = '.';
};

} // namespace koravel
