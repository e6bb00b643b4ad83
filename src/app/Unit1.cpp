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
#include "numtext/error.h"
#include "numtext/numtext.h"
#include "prediction/counts.h"
#include "progress_report_sink.h"
#include "qt_text.h"
#include "report/size_limits.h"
#include "session.h"
#include "up_down.h"
#include "widget_progress.h"

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
    setFont(koravel::windowFont());
    setupUi(this);
    setWindowIcon(koravelIcon());
    buildControls();
    buildStatusBar();
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
    FormCreate();
    wire();
}

TForm1::~TForm1()
{
    // The table's view and model read the session's grid: they go first, before anything else.
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

// The layout is the form's; here the picture, the table's model and headers, the fonts in
// pixels and the spin control's range.
void TForm1::buildControls()
{
    centralWidget()->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
    Image1->setPixmap(maizePicture());

    m_model = new koravel::GridModel(m_session.grid(), this);
    StringGrid1->setModel(m_model);
    for (QHeaderView *header : { StringGrid1->horizontalHeader(), StringGrid1->verticalHeader() }) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->setSectionsClickable(false);
        // A pixel smaller than the data cells.
        header->setFont(sansFont(10));
    }
    StringGrid1->horizontalHeader()->setFixedHeight(kCellHeight);
    StringGrid1->verticalHeader()->setFixedWidth(kCellWidth);

    Label1->setFont(sansFont(13, true));
    Edit1->setFont(sansFont(16, true));
    Label2->setFont(sansFont(16, true));
    Label4->setFont(sansFont(16, true));
    Label3->setFont(sansFont(19, true, QStringLiteral("Arial")));
    Label5->setFont(sansFont(19, true, QStringLiteral("Arial")));
    for (QLabel *label : { Label1, Label2, Label3, Label4, Label5 })
        label->adjustSize();

    UpDown1->setRange(1, 100);
    UpDown1->setPosition(1);
    m_progress = std::make_unique<koravel::WidgetProgress>(*ProgressBar1);
}

void TForm1::buildStatusBar()
{
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
}

void TForm1::FormCreate()
{
    Edit1->setText(koravel::toQt(m_session.lines().text()));
    (m_session.reciprocals() == koravel::Reciprocals::Distinct ? RadioSim : RadioNao)
        ->setChecked(true);
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
    connect(RadioSim, &QRadioButton::toggled, this, [this](bool sim) {
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
    try {
        // A report that stops at an error is shown as it stands; input made while it loads into
        // the window is dropped with the rest of the run's.
        const auto finish = qScopeGuard([this] {
            m_report->publishReport();
            m_progress->settle();
        });
        m_report->expectReport(kind, m_session.lines());
        koravel::ProgressReportSink report(m_report->reportSink(), *m_progress);
        m_session.predict(kind, report, *m_progress, *this);
    } catch (const koravel::Error &error) {
        // A value written with the other decimal separator: the error as always, then the way out.
        const std::string hint =
            koravel::decimalSeparatorHint(error.message(), m_session.formatSettings());
        if (hint.empty())
            throw;
        koravel::showHandlerError(this, m_dialogs, std::current_exception());
        m_dialogs.information(this, koravel::toQt(hint));
    }
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
