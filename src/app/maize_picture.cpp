// Painter code for the program's pictures: a maize plant, an ear of maize, a portrait frame.
#include "maize_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

const QColor kLeafDark(46, 110, 34);
const QColor kLeafLight(110, 170, 62);
const QColor kStalk(78, 138, 46);
const QColor kStalkLight(130, 180, 80);
const QColor kNode(52, 96, 30);
const QColor kTasselStem(150, 128, 52);
const QColor kSpikelet(214, 190, 96);
const QColor kSpikeletEdge(150, 122, 44);
const QColor kKernel(244, 196, 48);
const QColor kKernelEdge(196, 142, 24);
const QColor kHusk(96, 158, 58);
const QColor kHuskEdge(50, 104, 32);
const QColor kSilk(190, 120, 60);
const QColor kRoot(150, 116, 70);
const QColor kSoil(120, 84, 48, 150);

QPointF cubic(const QPointF &p0, const QPointF &p1, const QPointF &p2, const QPointF &p3, double t)
{
    const double u = 1.0 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// A leaf blade along a cubic centre line: narrow where it leaves the sheath, widest a little
// further on, pointed at the tip; a lighter midrib runs along it.
void drawLeaf(QPainter &painter, const QPointF &p0, const QPointF &p1, const QPointF &p2,
    const QPointF &p3, double width)
{
    constexpr int kSteps = 40;
    std::vector<QPointF> centre;
    std::vector<QPointF> upper;
    std::vector<QPointF> lower;
    for (int step = 0; step <= kSteps; ++step) {
        const double t = double(step) / kSteps;
        centre.push_back(cubic(p0, p1, p2, p3, t));
    }
    for (int step = 0; step <= kSteps; ++step) {
        const double t = double(step) / kSteps;
        const QPointF ahead = centre[std::min(step + 1, kSteps)];
        const QPointF behind = centre[std::max(step - 1, 0)];
        QPointF tangent = ahead - behind;
        const double length = std::hypot(tangent.x(), tangent.y());
        if (length > 0)
            tangent /= length;
        const QPointF normal(-tangent.y(), tangent.x());
        const double half = 0.5 * width * std::pow(1.0 - t, 0.7) * std::min(1.0, 0.45 + t * 5.0);
        upper.push_back(centre[step] + normal * half);
        lower.push_back(centre[step] - normal * half);
    }
    QPainterPath blade(upper.front());
    for (const QPointF &point : upper)
        blade.lineTo(point);
    for (auto point = lower.rbegin(); point != lower.rend(); ++point)
        blade.lineTo(*point);
    blade.closeSubpath();

    QLinearGradient shade(p0, p3);
    shade.setColorAt(0.0, kLeafDark);
    shade.setColorAt(0.45, kLeafLight);
    shade.setColorAt(1.0, kLeafDark);
    painter.setPen(QPen(kLeafDark.darker(115), 0.8));
    painter.setBrush(shade);
    painter.drawPath(blade);

    QPainterPath midrib(centre.front());
    for (int step = 1; step <= kSteps * 9 / 10; ++step)
        midrib.lineTo(centre[step]);
    painter.setPen(QPen(QColor(196, 226, 150), 0.9));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(midrib);
}

// An ear standing on its base at the origin, pointing up (negative y), length by width, its
// husk open at the top to show rows of kernels, silk hanging from the tip.
void drawEar(QPainter &painter, double length, double width, bool withShank)
{
    const double half = width / 2;
    if (withShank) {
        painter.setPen(QPen(kHuskEdge, 1.0));
        painter.setBrush(kHusk);
        painter.drawRoundedRect(QRectF(-half * 0.45, -2, width * 0.45, length * 0.18), 2, 2);
    }

    // The cob with its kernels, clipped to the ear's outline.
    QPainterPath cob;
    cob.moveTo(0, -length);
    cob.cubicTo(half * 1.1, -length * 0.96, half * 1.05, -length * 0.25, half * 0.8, 0);
    cob.lineTo(-half * 0.8, 0);
    cob.cubicTo(-half * 1.05, -length * 0.25, -half * 1.1, -length * 0.96, 0, -length);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kKernel);
    painter.drawPath(cob);
    painter.save();
    painter.setClipPath(cob);
    const double kernelHeight = std::max(2.2, length / 16);
    const double kernelWidth = std::max(2.4, width / 5);
    painter.setPen(QPen(kKernelEdge, std::max(0.6, width / 30)));
    QRadialGradient shine(QPointF(-half * 0.3, -length * 0.6), width);
    shine.setColorAt(0, kKernel.lighter(125));
    shine.setColorAt(1, kKernel);
    painter.setBrush(shine);
    for (int row = 0; row * kernelHeight < length; ++row) {
        const double y = -length + row * kernelHeight;
        const double offset = (row % 2) * kernelWidth / 2;
        for (double x = -half - kernelWidth + offset; x < half; x += kernelWidth)
            painter.drawRoundedRect(QRectF(x, y, kernelWidth, kernelHeight), 1, 1);
    }
    painter.restore();

    // Silk from the tip.
    painter.setBrush(Qt::NoBrush);
    for (int strand = -2; strand <= 2; ++strand) {
        QPainterPath silk(QPointF(strand * width / 14, -length * 0.97));
        silk.cubicTo(strand * width / 6, -length * 1.12, strand * width / 3.5 + width / 6,
            -length * 1.18, strand * width / 3 + width / 3, -length * 1.08);
        painter.setPen(QPen(strand % 2 ? kSilk : kSilk.darker(130), std::max(0.7, width / 22)));
        painter.drawPath(silk);
    }

    // Two husk leaves wrapping the cob from the base, open at the top.
    auto husk = [&](double side) {
        QPainterPath leaf;
        leaf.moveTo(side * half * 0.9, 0);
        leaf.cubicTo(side * half * 1.45, -length * 0.3, side * half * 1.3, -length * 0.7,
            side * half * 0.9, -length * 0.92);
        leaf.cubicTo(side * half * 0.6, -length * 0.7, side * half * 0.2, -length * 0.45,
            -side * half * 0.1, -length * 0.3);
        leaf.cubicTo(-side * half * 0.3, -length * 0.15, -side * half * 0.3, -length * 0.05,
            -side * half * 0.2, 0);
        leaf.closeSubpath();
        QLinearGradient shade(QPointF(side * half * 1.4, 0), QPointF(-side * half * 0.4, 0));
        shade.setColorAt(0, kHuskEdge);
        shade.setColorAt(0.6, kHusk);
        shade.setColorAt(1, kHusk.lighter(120));
        painter.setPen(QPen(kHuskEdge, std::max(0.6, width / 25)));
        painter.setBrush(shade);
        painter.drawPath(leaf);
    };
    husk(-1);
    husk(1);
}

// A tassel branch: a stem from the top of the stalk, arching out and down, with spikelets.
void drawTasselBranch(
    QPainter &painter, const QPointF &from, const QPointF &bend, const QPointF &to)
{
    QPainterPath stem(from);
    stem.quadTo(bend, to);
    painter.setPen(QPen(kTasselStem, 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(stem);
    painter.setPen(QPen(kSpikeletEdge, 0.6));
    painter.setBrush(kSpikelet);
    for (double t = 0.3; t <= 1.0001; t += 0.14) {
        const QPointF point = stem.pointAtPercent(t);
        painter.drawEllipse(point + QPointF(0, 0.8), 1.5, 2.1);
    }
}

void drawRoots(QPainter &painter, double x, double ground)
{
    // Soil around the foot of the plant.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSoil);
    painter.drawEllipse(QPointF(x, ground + 2), 58, 5);

    // Brace roots from the lowest nodes down into the soil.
    painter.setPen(QPen(kRoot, 1.9, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const double braces[][4] = {
        { -3, -14, -22, 6 },
        { 3, -14, 22, 6 },
        { -2, -7, -13, 7 },
        { 2, -7, 13, 7 },
        { 0, -10, -4, 8 },
    };
    for (const auto &root : braces) {
        QPainterPath path(QPointF(x + root[0], ground + root[1]));
        path.quadTo(QPointF(x + root[2] * 0.8, ground + root[1] + 2),
            QPointF(x + root[2], ground + root[3]));
        painter.drawPath(path);
    }

    // Fibrous roots below the ground, branching as they go down.
    painter.setPen(QPen(kRoot, 1.2, Qt::SolidLine, Qt::RoundCap));
    const double fibrous[][4] = {
        { -30, 30, -44, 36 },
        { -16, 36, -22, 41 },
        { -5, 38, -9, 41 },
        { 6, 37, 10, 41 },
        { 18, 35, 26, 40 },
        { 31, 29, 45, 35 },
        { -24, 22, -40, 26 },
        { 24, 21, 40, 26 },
    };
    for (const auto &root : fibrous) {
        QPainterPath path(QPointF(x + root[0] * 0.25, ground + 5));
        path.cubicTo(QPointF(x + root[0] * 0.6, ground + root[1] * 0.4),
            QPointF(x + root[0], ground + root[1] * 0.8), QPointF(x + root[2], ground + root[3]));
        painter.drawPath(path);
        const QPointF fork = path.pointAtPercent(0.6);
        painter.drawLine(fork, fork + QPointF(root[0] > 0 ? -5 : 5, 7));
    }
}

void paintMaizePlant(QPainter &painter)
{
    constexpr double kGround = 228;
    constexpr double kBaseX = 76;
    constexpr double kTopX = 80;
    constexpr double kTop = 40;
    auto stalkX = [&](double y) {
        return kBaseX + (kTopX - kBaseX) * (kGround - y) / (kGround - kTop);
    };
    auto stalkHalfWidth = [&](double y) { return 2.2 + 2.8 * (y - kTop) / (kGround - kTop); };

    drawRoots(painter, kBaseX, kGround);

    // Leaves behind the stalk: node height, side, rise, reach, droop.
    struct Leaf
    {
        double node;
        int side;
        double rise;
        double reach;
        double droop;
        double width;
    };
    const Leaf leaves[] = {
        { 200, -1, 18, 56, 30, 7.5 },
        { 178, 1, 26, 66, 20, 8.5 },
        { 154, -1, 30, 70, 14, 9.0 },
        { 104, -1, 34, 70, 6, 8.5 },
        { 128, 1, 34, 70, 10, 9.0 },
        { 80, 1, 30, 64, 0, 7.5 },
        { 58, -1, 26, 52, -6, 6.5 },
    };
    for (const Leaf &leaf : leaves) {
        const QPointF base(stalkX(leaf.node) + leaf.side * stalkHalfWidth(leaf.node), leaf.node);
        const QPointF p1 = base + QPointF(leaf.side * leaf.reach * 0.12, -leaf.rise * 1.2);
        const QPointF p2 = base + QPointF(leaf.side * leaf.reach * 0.55, -leaf.rise * 1.1);
        const QPointF tip = base + QPointF(leaf.side * leaf.reach, leaf.droop);
        drawLeaf(painter, base, p1, p2, tip, leaf.width);
    }

    // The stalk, thick at the foot and thin under the tassel.
    QPainterPath stalk;
    stalk.moveTo(stalkX(kGround) - stalkHalfWidth(kGround), kGround);
    for (double y = kGround; y >= kTop; y -= 4)
        stalk.lineTo(stalkX(y) - stalkHalfWidth(y), y);
    for (double y = kTop; y <= kGround; y += 4)
        stalk.lineTo(stalkX(y) + stalkHalfWidth(y), y);
    stalk.closeSubpath();
    QLinearGradient shade(QPointF(kBaseX - 5, 0), QPointF(kBaseX + 5, 0));
    shade.setColorAt(0, kStalk.darker(120));
    shade.setColorAt(0.45, kStalkLight);
    shade.setColorAt(1, kStalk.darker(130));
    painter.setPen(QPen(kNode, 0.8));
    painter.setBrush(shade);
    painter.drawPath(stalk);

    // Nodes, closer together near the foot.
    painter.setPen(QPen(kNode, 1.6));
    for (double node : { 220.0, 212.0, 200.0, 178.0, 154.0, 128.0, 104.0, 80.0, 58.0 }) {
        const double half = stalkHalfWidth(node) + 0.6;
        painter.drawLine(QPointF(stalkX(node) - half, node), QPointF(stalkX(node) + half, node));
    }

    // The ear, from a node on the right, leaning away from the stalk.
    painter.save();
    painter.translate(stalkX(140) + stalkHalfWidth(140) + 1, 140);
    painter.rotate(24);
    drawEar(painter, 42, 15, true);
    painter.restore();

    // The tassel: a central spike and branches arching out from the top of the stalk.
    drawTasselBranch(
        painter, QPointF(kTopX, kTop + 2), QPointF(kTopX + 1, 20), QPointF(kTopX - 1, 3));
    // Each branch: where it leaves the spike, the bend (out, up) and the drooping end (out, y).
    const double branches[][5] = {
        { 34, -14, 10, -31, 46 },
        { 34, 14, 10, 31, 46 },
        { 29, -11, 12, -26, 33 },
        { 29, 11, 12, 26, 33 },
        { 24, -8, 10, -18, 22 },
        { 24, 8, 10, 18, 22 },
    };
    for (const auto &branch : branches) {
        drawTasselBranch(painter, QPointF(kTopX, branch[0]),
            QPointF(kTopX + branch[1], branch[0] - branch[2]),
            QPointF(kTopX + branch[3], branch[4]));
    }
}

} // namespace

QPixmap maizePicture()
{
    QPixmap picture(154, 267);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paintMaizePlant(painter);
    return picture;
}

QIcon koravelIcon()
{
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64, 128 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 64.0, size / 64.0);
        painter.translate(24, 60);
        painter.rotate(28);
        drawEar(painter, 46, 20, false);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap authorPortrait()
{
    constexpr int kWidth = 89;
    constexpr int kHeight = 121;
    QPixmap portrait(kWidth, kHeight);
    portrait.fill(Qt::transparent);
    QPainter painter(&portrait);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(QPointF(0, 0), QPointF(0, kHeight));
    background.setColorAt(0, QColor(222, 230, 240));
    background.setColorAt(1, QColor(176, 190, 208));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRect(0, 0, kWidth, kHeight);

    const QColor figure(112, 126, 144);
    painter.setBrush(figure);
    QPainterPath shoulders;
    shoulders.moveTo(6, kHeight);
    shoulders.cubicTo(8, 86, 24, 78, 44.5, 78);
    shoulders.cubicTo(65, 78, 81, 86, 83, kHeight);
    shoulders.closeSubpath();
    painter.drawPath(shoulders);
    painter.drawRect(QRectF(38, 62, 13, 20));
    painter.drawEllipse(QPointF(44.5, 46), 19, 23);

    painter.setPen(QPen(QColor(90, 100, 116), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1));
    return portrait;
}
