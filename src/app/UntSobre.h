// The about window: what the program is for, what it needs, and a card of its author.
#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QMenuBar;
class QAction;
class QPlainTextEdit;
class GlobeAnimation;

class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // The curriculum page the link label opens: "http://" followed by the stored address.
    static QString curriculumAddress();

    QMenuBar *MainMenu1;
    QAction *Sair1;
    QGroupBox *GroupBox1;
    QPlainTextEdit *Memo1;
    QGroupBox *GroupBox2;
    QLabel *Image1;
    QLabel *RxLabel1;
    QLabel *RxLabel2;
    QLabel *RxLabel3;
    QLabel *RxLabel4;
    QLabel *RxLabel5;
    QLabel *RxLabel6;
    GlobeAnimation *Animate1;
    QPlainTextEdit *Memo2;
    QPlainTextEdit *Memo3;

public slots:
    void Sair1Click();
    void RxLabel6Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_placed = false;
};
