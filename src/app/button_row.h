// The two buttons at the bottom right of the program's small windows, "BitBtn1" (the action)
// and "BitBtn2" (Cancelar or Fechar), as the other windows name them.
#pragma once

class QHBoxLayout;
class QPushButton;
class QString;
class QWidget;

namespace koravel {

// Makes both buttons on parent and returns their row; when parent is a dialog, the first is its
// default button.
QHBoxLayout *buttonRow(QWidget *parent, const QString &action, const QString &other,
    QPushButton *&BitBtn1, QPushButton *&BitBtn2);

} // namespace koravel
