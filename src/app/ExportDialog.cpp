// The export dialog's controls: the format, the CSV options and the two buttons.
#include "ExportDialog.h"

#include "koravel_application.h"

namespace {

// The characters behind the items of the two lists, in the order shown.
constexpr char kSeparators[] = { ';', ',', '\t' };
constexpr char kDecimalMarks[] = { ',', '.' };

template <std::size_t N> int indexOf(const char (&items)[N], char wanted)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (items[i] == wanted)
            return static_cast<int>(i);
    }
    return 0;
}

template <std::size_t N> char itemAt(const char (&items)[N], int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? items[index] : items[0];
}

} // namespace

ExportDialog::ExportDialog(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setFont(koravel::windowFont());
    setupUi(this);
    // The warning keeps its room, so that the dialog does not jump while the lists change.
    Label3->setMinimumHeight(Label3->sizeHint().height());

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(RadioButton1, &QRadioButton::toggled, this, &ExportDialog::updateControls);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &ExportDialog::updateControls);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &ExportDialog::updateControls);

    setChoice({});
}

void ExportDialog::setChoice(const koravel::SpreadsheetChoice &choice)
{
    RadioButton1->setChecked(choice.format == koravel::SpreadsheetFormat::Csv);
    RadioButton2->setChecked(choice.format == koravel::SpreadsheetFormat::Xlsx);
    ComboBox1->setCurrentIndex(indexOf(kSeparators, choice.separator));
    ComboBox2->setCurrentIndex(indexOf(kDecimalMarks, choice.decimalMark));
    updateControls();
}

koravel::SpreadsheetChoice ExportDialog::choice() const
{
    koravel::SpreadsheetChoice choice;
    choice.format = RadioButton2->isChecked() ? koravel::SpreadsheetFormat::Xlsx
                                              : koravel::SpreadsheetFormat::Csv;
    choice.separator = itemAt(kSeparators, ComboBox1->currentIndex());
    choice.decimalMark = itemAt(kDecimalMarks, ComboBox2->currentIndex());
    return choice;
}

void ExportDialog::updateControls()
{
    const koravel::SpreadsheetChoice current = choice();
    const bool csv = current.format == koravel::SpreadsheetFormat::Csv;
    const bool clash = csv && current.separator == current.decimalMark;
    GroupBox1->setEnabled(csv);
    // The warning keeps its room, so that the dialog does not jump while the lists change.
    Label3->setText(
        clash ? QStringLiteral("O separador e a marca decimal devem ser diferentes.") : QString());
    BitBtn1->setEnabled(!clash);
}
