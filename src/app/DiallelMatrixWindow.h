// The diallel matrix window: the single-cross table as an n x n heat map, exportable as PNG.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;
class QScrollArea;

namespace koravel {
class HeatMapView;
class Session;
class UserDialogs;
} // namespace koravel

class DiallelMatrixWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DiallelMatrixWindow(koravel::UserDialogs &dialogs, QWidget *parent = nullptr);

    // Reads every single cross of the session's table as a prediction would now (the lines of the field
    // when it holds 2 or more, else up to the largest parent) and shows the window in front.
    // Raises the lookup's conversion Error; the window then stays as it was. A table with fewer
    // than two lines is told in a message and shows nothing.
    void showMatrix(const koravel::Session &session);

    static const QStringList &pictureFilters();

    QLabel *Label1; // the number of lines, where it came from, and the counts
    QScrollArea *ScrollBox1;
    koravel::HeatMapView *PaintBox1;
    QPushButton *BitBtn1; // "Exportar PNG..."
    QPushButton *BitBtn2; // "Fechar"

public slots:
    void BitBtn1Click();
    void BitBtn2Click();

private:
    koravel::UserDialogs &m_dialogs;
    QString m_lastSaveName;
};
