// The options window: three exclusive choices of decimal separator, OK and Cancelar.
#include "OptionsDialog.h"

#include "button_row.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString separatorName(char separator)
{
    switch (separator) {
    case '.':
        return QStringLiteral("o ponto (2.5)");
    case ',':
        return QStringLiteral("a vírgula (2,5)");
    default:
        return QStringLiteral("\"%1\"").arg(QChar(uchar(separator)));
    }
}

} // namespace

OptionsDialog::OptionsDialog(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(QStringLiteral(".:: Koravel - OPÇÕES"));

    RadioGroup1 = new QGroupBox(QStringLiteral(" Separador decimal dos dados "), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioButton1 = new QRadioButton(QStringLiteral("Configuração regional"), RadioGroup1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Ponto"), RadioGroup1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3 = new QRadioButton(QStringLiteral("Vírgula"), RadioGroup1);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    Label1 = new QLabel(RadioGroup1);
    Label1->setObjectName(QStringLiteral("Label1"));
    // Under its item, smaller and grey: a hint, not a choice.
    Label1->setContentsMargins(24, 0, 0, 4);
    QFont hint = Label1->font();
    hint.setPointSizeF(hint.pointSizeF() * 0.9);
    Label1->setFont(hint);
    Label1->setForegroundRole(QPalette::PlaceholderText);
    auto *items = new QVBoxLayout(RadioGroup1);
    items->addWidget(RadioButton1);
    items->addWidget(Label1);
    items->addWidget(RadioButton2);
    items->addWidget(RadioButton3);

    Label2 = new QLabel(QStringLiteral("Vale para a leitura das células e para os números do "
                                       "relatório até o programa ser fechado."),
        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);

    QHBoxLayout *buttons = koravel::buttonRow(
        this, QStringLiteral("OK"), QStringLiteral("Cancelar"), BitBtn1, BitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(Label2);
    layout->addLayout(buttons);
    setFixedWidth(340);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    setChoice(koravel::DecimalChoice::Regional, '.');
}

void OptionsDialog::setChoice(koravel::DecimalChoice choice, char regionalSeparator)
{
    Label1->setText(QStringLiteral("neste computador: %1").arg(separatorName(regionalSeparator)));
    switch (choice) {
    case koravel::DecimalChoice::Regional:
        RadioButton1->setChecked(true);
        break;
    case koravel::DecimalChoice::Point:
        RadioButton2->setChecked(true);
        break;
    case koravel::DecimalChoice::Comma:
        RadioButton3->setChecked(true);
        break;
    }
}

koravel::DecimalChoice OptionsDialog::choice() const
{
    if (RadioButton2->isChecked())
        return koravel::DecimalChoice::Point;
    if (RadioButton3->isChecked())
        return koravel::DecimalChoice::Comma;
    return koravel::DecimalChoice::Regional;
}
