// The main window: controls, menu and the handlers that drive the core.
#include "Unit1.h"

#include "DiallelMatrixWindow.h"
#include "OptionsDialog.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "dialogs.h"
#include "grid_model.h"
#include "koravel_application.h"
#include "maize_picture.h"
#include "prediction/counts.h"
#include "progress_report_sink.h"
#include "qt_text.h"
#include "report/size_limits.h"
#include "session.h"
#include "up_down.h"
#include "widget_progress.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>

#include <algorithm>

namespace {

using koravel::sansFont;

constexpr int kClientWidth = 637;
constexpr int kClientHeight = 484;
constexpr int kStatusBarHeight = 28;
constexpr int kCellWidth = 64;
constexpr int kCellHeight = 24;

QLabel *makeLabel(
    QWidget *parent, const char *name, const QString &text, const QFont &font, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->adjustSize();
    label->move(left, top);
    return label;
}

// A count keeps its place unless its digits would run past the frame's right edge.
void placeCount(QLabel *label, int left)
{
    label->adjustSize();
    const int room = label->parentWidget()->width() - 4 - label->width();
    label->move(std::min(left, room), label->y());
}

} // namespace

TForm1::TForm1(koravel::Session &session, koravel::UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_session(session)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral(".:: Koravel v.1.1 - Predição de Híbridos Duplos e Triplos"));
    setWindowIcon(koravelIcon());
    setFont(koravel::windowFont());
    buildMenu();
    buildControls();
    buildStatusBar();
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
    FormCreate();
    wire();
}

TForm1::~TForm1()
{
    // The table's view and model read the grid, which goes before the child widgets do.
    delete StringGrid1;
    delete m_model;
}

void TForm1::setOtherWindows(TForm2 &report, TForm3 &about)
{
    m_report = &report;
    m_about = &about;
}

const QStringList &TForm1::openFilters()
{
    static const QStringList filters {
        QStringLiteral("Arquivo de texto (*txt) (*.txt)"),
        QStringLiteral("Arquivo separado por espaços (*.prn) (*.prn)"),
        QStringLiteral("Arquivo de dados (*.dat) (*.dat)"),
    };
    return filters;
}

void TForm1::buildMenu()
{
    Importardados1 = menuBar()->addAction(QStringLiteral(".:: Importar dados ::."));
    Importardados1->setObjectName(QStringLiteral("Importardados1"));
    Opcoes1 = menuBar()->addAction(QStringLiteral(".:: Opções ::."));
    Opcoes1->setObjectName(QStringLiteral("Opcoes1"));
    Matrizdialelica1 = menuBar()->addAction(QStringLiteral(".:: Matriz dialélica ::."));
    Matrizdialelica1->setObjectName(QStringLiteral("Matrizdialelica1"));
    Sobre1 = menuBar()->addAction(QStringLiteral(".:: Sobre ::."));
    Sobre1->setObjectName(QStringLiteral("Sobre1"));
    Sair1 = menuBar()->addAction(QStringLiteral(".:: Sair ::."));
    Sair1->setObjectName(QStringLiteral("Sair1"));
}

void TForm1::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
    setCentralWidget(client);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 0, 153, 265);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(maizePicture());

    StringGrid1 = new QTableView(client);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(160, 0, 297, 417);
    m_model = new koravel::GridModel(m_session.grid(), this);
    StringGrid1->setModel(m_model);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
        | QAbstractItemView::SelectedClicked);
    StringGrid1->setCornerButtonEnabled(false);
    StringGrid1->setShowGrid(true);
    StringGrid1->setWordWrap(false);
    for (QHeaderView *header : { StringGrid1->horizontalHeader(), StringGrid1->verticalHeader() }) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(1);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->setHighlightSections(false);
        header->setSectionsClickable(false);
    }
    // Fixed cells draw their text close to the edge, as the data cells do, a pixel smaller:
    // "PRODUÇÃO" fits its 64 pixels.
    StringGrid1->setStyleSheet(QStringLiteral("QHeaderView::section { padding: 0px 2px; }"));
    StringGrid1->horizontalHeader()->setFont(sansFont(10));
    StringGrid1->verticalHeader()->setFont(sansFont(10));
    StringGrid1->horizontalHeader()->setDefaultSectionSize(kCellWidth);
    StringGrid1->horizontalHeader()->setFixedHeight(kCellHeight);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kCellHeight);
    StringGrid1->verticalHeader()->setFixedWidth(kCellWidth);

    BitBtn1 = new QPushButton(QStringLiteral("Predição de HD's"), client);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(472, 0, 153, 49);
    BitBtn1->setEnabled(false);
    BitBtn2 = new QPushButton(QStringLiteral("Predição de HT's"), client);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(472, 56, 153, 49);
    BitBtn2->setEnabled(false);

    Label1 = makeLabel(
        client, "Label1", QStringLiteral(".:: número de linhagens"), sansFont(13, true), 464, 112);

    Edit1 = new QLineEdit(QStringLiteral("0"), client);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(496, 144, 65, 25);
    Edit1->setFrame(false);
    Edit1->setFont(sansFont(16, true));

    UpDown1 = new koravel::UpDown(client);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(568, 136, 25, 41);
    UpDown1->setRange(1, 100);
    UpDown1->setPosition(1);

    RadioGroup1 = new QGroupBox(QStringLiteral(" Considera Recíprocos ? "), client);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(472, 192, 153, 65);
    m_sim = new QRadioButton(QStringLiteral("Sim"), RadioGroup1);
    m_sim->setGeometry(8, 28, 68, 24);
    m_nao = new QRadioButton(QStringLiteral("Não"), RadioGroup1);
    m_nao->setGeometry(80, 28, 68, 24);
    auto *items = new QButtonGroup(RadioGroup1);
    items->addButton(m_sim, 0);
    items->addButton(m_nao, 1);

    GroupBox1 = new QGroupBox(QStringLiteral(".:: Resumo dos dados ::."), client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(472, 264, 153, 161);
    const QFont captionFont = sansFont(16, true);
    const QFont countFont = sansFont(19, true, QStringLiteral("Arial"));
    Label2 = makeLabel(
        GroupBox1, "Label2", QStringLiteral("número de HD's \npossiveis:"), captionFont, 8, 24);
    Label3 = makeLabel(GroupBox1, "Label3", QStringLiteral("0"), countFont, 72, 64);
    Label4 = makeLabel(
        GroupBox1, "Label4", QStringLiteral("número de HT's: \npossiveis"), captionFont, 8, 88);
    Label5 = makeLabel(GroupBox1, "Label5", QStringLiteral("0"), countFont, 72, 128);

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 432, 625, 17);
    ProgressBar1->setTextVisible(false);
    m_progress = std::make_unique<koravel::WidgetProgress>(*ProgressBar1);
}

void TForm1::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    auto *credits = new QLabel(
        QStringLiteral("Desenvolvido por Vescarin - compilado em " KORAVEL_BUILD_DATE), StatusBar1);
    credits->setObjectName(QStringLiteral("StatusPanel1"));
    credits->setFixedWidth(350);
    credits->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *note = new QLabel(QStringLiteral("Distribuição livre e gratuita"), StatusBar1);
    note->setObjectName(QStringLiteral("StatusPanel2"));
    note->setAlignment(Qt::AlignCenter);
    note->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(credits);
    StatusBar1->addWidget(note, 1);
    setStatusBar(StatusBar1);
}

// The session wrote the table's headings; the controls show what it holds.
void TForm1::FormCreate()
{
    Edit1->setText(koravel::toQt(m_session.lines().text()));
    (m_session.reciprocals() == koravel::Reciprocals::Distinct ? m_sim : m_nao)->setChecked(true);
}

void TForm1::wire()
{
    using koravel::handled;
    connect(Importardados1, &QAction::triggered, this,
        handled(this, m_dialogs, &TForm1::Importardados1Click));
    connect(Opcoes1, &QAction::triggered, this, handled(this, m_dialogs, &TForm1::Opcoes1Click));
    connect(Matrizdialelica1, &QAction::triggered, this,
        handled(this, m_dialogs, &TForm1::Matrizdialelica1Click));
    connect(Sobre1, &QAction::triggered, this, handled(this, m_dialogs, &TForm1::Sobre1Click));
    connect(Sair1, &QAction::triggered, this, handled(this, m_dialogs, &TForm1::Sair1Click));
    connect(BitBtn1, &QPushButton::clicked, this, handled(this, m_dialogs, &TForm1::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, handled(this, m_dialogs, &TForm1::BitBtn2Click));
    connect(UpDown1, &koravel::UpDown::stepped, this,
        handled(this, m_dialogs, &TForm1::UpDown1Changing));
    connect(Edit1, &QLineEdit::textChanged, this,
        [this](const QString &text) { m_session.setLines(koravel::fromQt(text)); });
    connect(m_sim, &QRadioButton::toggled, this, [this](bool sim) {
        m_session.setReciprocals(
            sim ? koravel::Reciprocals::Distinct : koravel::Reciprocals::Either);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &TForm1::showFixedCells);
    showFixedCells();
}

// The grid's fixed row and column are the view's headers until the grid lowers them to 0.
void TForm1::showFixedCells()
{
    StringGrid1->horizontalHeader()->setVisible(m_model->hasHeadingRow());
    StringGrid1->verticalHeader()->setVisible(m_model->hasLabelColumn());
}

void TForm1::Importardados1Click()
{
    // chooseFile tells the model once a file is chosen; the views read the grid anew after
    // the import, whether it completed or not.
    const auto finish = qScopeGuard([this] {
        m_model->endGridChange();
        m_progress->settle();
    });
    koravel::importDataFile(*this, m_session.grid(), *m_progress);
}

void TForm1::BitBtn1Click()
{
    runPrediction(koravel::HybridKind::DoubleCross);
}

void TForm1::BitBtn2Click()
{
    runPrediction(koravel::HybridKind::ThreeWayCross);
}

void TForm1::runPrediction(koravel::HybridKind kind)
{
    // A report the window could not hold is refused before anything changes.
    koravel::checkWindowReport(kind, m_session.lines(), koravel::windowMemoryLimit());
    if (!m_report)
        return;
    // A report that stops at an error is shown as it stands.
    const auto finish = qScopeGuard([this] {
        m_progress->settle();
        m_report->publishReport();
    });
    koravel::ProgressReportSink report(m_report->reportSink(), *m_progress);
    m_session.predict(kind, report, *m_progress, *this);
}

void TForm1::UpDown1Changing()
{
    Edit1->setText(koravel::toQt(koravel::intToStr(UpDown1->position())));
    const koravel::HybridCounts counts =
        koravel::hybridCounts(m_session.lines(), m_session.formatSettings());
    Label3->setText(koravel::toQt(counts.doubleCrosses));
    Label5->setText(koravel::toQt(counts.threeWayCrosses));
    placeCount(Label3, 72);
    placeCount(Label5, 72);
}

// The separator chosen holds for the cells and the report until the program ends.
void TForm1::Opcoes1Click()
{
    m_session.setRegionalSeparator(koravel::regionalDecimalSeparator());
    OptionsDialog options(this);
    options.setChoice(m_session.decimalChoice(), m_session.regionalSeparator());
    if (options.exec() == QDialog::Accepted)
        m_session.setDecimalChoice(options.choice());
}

void TForm1::Matrizdialelica1Click()
{
    // The prediction buttons come on with the first import.
    if (!BitBtn1->isEnabled()) {
        m_dialogs.information(
            this, QStringLiteral("Importe os dados para ver a matriz dialélica."));
        return;
    }
    if (!m_matrixWindow)
        m_matrixWindow = new DiallelMatrixWindow(m_dialogs, this);
    m_matrixWindow->showMatrix(m_session);
}

void TForm1::Sobre1Click()
{
    if (m_about)
        m_about->exec();
}

void TForm1::Sair1Click()
{
    close();
}

std::optional<std::string> TForm1::chooseFile()
{
    const koravel::FileDialogRequest request { openFilters(), m_lastOpenName,
        m_lastOpenFilter.isEmpty() ? openFilters().constFirst() : m_lastOpenFilter, QString() };
    const std::optional<koravel::FileDialogAnswer> answer = m_dialogs.openFile(this, request);
    if (!answer)
        return std::nullopt;
    m_lastOpenName = answer->fileName;
    if (!answer->selectedFilter.isEmpty())
        m_lastOpenFilter = answer->selectedFilter;
    m_model->beginGridChange();
    return koravel::toNativePath(answer->fileName);
}

void TForm1::setLineBuffer(std::string text)
{
    m_lineBuffer = std::move(text);
}

void TForm1::enablePredictions()
{
    BitBtn1->setEnabled(true);
    BitBtn2->setEnabled(true);
}

void TForm1::information(const std::string &message)
{
    // The message box takes the user's input: the run gives it back first.
    m_progress->settle();
    m_dialogs.information(this, koravel::toQt(message));
}

void TForm1::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *shown = screen()) {
        const QRect available = shown->availableGeometry();
        move(
            available.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}
