#include "button_row.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace koravel {

QHBoxLayout *buttonRow(QWidget *parent, const QString &action, const QString &other,
    QPushButton *&BitBtn1, QPushButton *&BitBtn2)
{
    BitBtn1 = new QPushButton(action, parent);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    // Only a dialog has a default button, the one Enter presses.
    BitBtn1->setDefault(qobject_cast<QDialog *>(parent) != nullptr);
    BitBtn2 = new QPushButton(other, parent);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    return row;
}

} // namespace koravel
