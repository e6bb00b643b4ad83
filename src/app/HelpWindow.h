// The help window: how to use the program, in Portuguese, from the text kept with the program's
// resources.
#pragma once

#include <QMainWindow>

#include "ui_HelpWindow.h"

class HelpWindow : public QMainWindow, public Ui::HelpWindow
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

public slots:
    void Sair1Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_placed = false;
};
