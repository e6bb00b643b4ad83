// The diallel matrix window: the single-cross table as an n x n heat map, exportable as PNG.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "analysis/line_names.h"
#include "ui_DiallelMatrixWindow.h"

namespace koravel {
class Session;
class UserDialogs;
} // namespace koravel

class DiallelMatrixWindow : public QMainWindow, public Ui::DiallelMatrixWindow
{
    Q_OBJECT
public:
    explicit DiallelMatrixWindow(koravel::UserDialogs &dialogs, QWidget *parent = nullptr);

    // Reads every single cross of the session's table as a prediction would now (the lines of
    // the field when it holds 2 or more, else up to the largest parent) and shows the window.
    // Raises the lookup's conversion Error; the window then stays as it was. A table with fewer
    // than two lines is told in a message and shows nothing.
    void showMatrix(const koravel::Session &session);

    // The heat map's tooltip with the names of the two lines, when they have names:
    //   "1 x 2 = 240.0\n1: B73\n2: Mo17"
    QString toolTipAt(const QPoint &point) const;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    koravel::UserDialogs &m_dialogs;
    koravel::LineNames m_names; // the session's when the matrix was shown
    QString m_lastSaveName = QStringLiteral("matriz_dialelica.png");
};
