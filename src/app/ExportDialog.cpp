// The export dialog's controls: the format, the CSV options and the two buttons.
#include "ExportDialog.h"

#include "button_row.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral(".:: Exportar planilha ::."));

    RadioGroup1 = new QGroupBox(QStringLiteral(" Formato "), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioButton1 = new QRadioButton(QStringLiteral("CSV (texto separado por delimitador)"));
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("XLSX (pasta de trabalho do Excel)"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto *formats = new QVBoxLayout(RadioGroup1);
    formats->addWidget(RadioButton1);
    formats->addWidget(RadioButton2);

    GroupBox1 = new QGroupBox(QStringLiteral(" Opções do CSV "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({ QStringLiteral("; (ponto e vírgula)"), QStringLiteral(", (vírgula)"),
        QStringLiteral("Tabulação") });
    ComboBox2 = new QComboBox;
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems({ QStringLiteral(", (vírgula)"), QStringLiteral(". (ponto)") });
    auto *options = new QFormLayout(GroupBox1);
    options->addRow(QStringLiteral("Separador:"), ComboBox1);
    options->addRow(QStringLiteral("Marca decimal:"), ComboBox2);

    Label3 =
        new QLabel(QStringLiteral("O separador e a marca decimal devem ser diferentes."), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setStyleSheet(QStringLiteral("color: #b00000"));
    Label3->setWordWrap(true);
    Label3->setMinimumHeight(Label3->sizeHint().height());

    QHBoxLayout *buttons = koravel::buttonRow(
        this, QStringLiteral("Exportar"), QStringLiteral("Cancelar"), BitBtn1, BitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(GroupBox1);
    layout->addWidget(Label3);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

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
