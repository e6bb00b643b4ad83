// The about window: what the program is for, what it needs, and a card of its author.
#pragma once

#include <QDialog>
#include <QString>

#include "ui_UntSobre.h"

class TForm3 : public QDialog, public Ui::TForm3
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // The curriculum page the link label opens: "http://" followed by the stored address.
    static QString curriculumAddress();

public slots:
    void Sair1Click();
    void RxLabel6Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_placed = false;
};
