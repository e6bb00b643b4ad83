// The about window's small turning globe: frames drawn by the program, played by a timer.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <vector>

class GlobeAnimation : public QWidget
{
    Q_OBJECT
public:
    explicit GlobeAnimation(QWidget *parent = nullptr);

    int frameCount() const { return kFrameCount; }
    int currentFrame() const { return m_frame; }
    bool isPlaying() const { return m_timer.isActive(); }

    // Frame index of count of one full turn: a sphere with its meridians and continents turned
    // by index / count of a revolution, on a transparent background.
    static QPixmap drawFrame(int index, int count, QSize size);

public slots:
    void advance();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static constexpr int kFrameCount = 24;
    static constexpr int kFrameMilliseconds = 90;

    const QPixmap &frame(int index);

    QTimer m_timer;
    std::vector<QPixmap> m_frames;
    int m_frame = 0;
};
