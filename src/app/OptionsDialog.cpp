// The options window: three exclusive choices of decimal separator, OK and Cancelar.
#include "OptionsDialog.h"

#include "koravel_application.h"

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
    setFont(koravel::windowFont());
    setupUi(this);
    // Under its item, smaller and grey: a hint, not a choice.
    Label1->setContentsMargins(24, 0, 0, 4);
    Label1->setFont(koravel::sansFont(10));
    Label1->setForegroundRole(QPalette::PlaceholderText);

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
