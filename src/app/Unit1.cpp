// The main window: controls, menu and the handlers that drive the core.
#include "Unit1.h"

#include "DiallelMatrixWindow.h"
#include "HelpWindow.h"
#include "OptionsDialog.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "analysis_menu.h"
#include "dialogs.h"
#include "grid_editing.h"
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
#include "window_shortcuts.h"

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

// A count keeps its place unless its digits would come closer to the frame's right edge than
// the labels above it keep from its left one (8 pixels): the 8 digits of 100 lines move left.
void placeCount(QLabel *label, int left)
{
    constexpr int kMargin = 8;
    label->adjustSize();
    const int room = label->parentWidget()->width() - kMargin - label->width();
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
    koravel::setReportShortcuts(report);
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
    // Copy, paste, undo and redo, with their keys and the table's context menu. Pasted single
    // crosses are predicted from as imported ones are.
    auto *editing = new koravel::GridEditing(*StringGrid1, *m_model, m_session, m_dialogs);
    connect(editing, &koravel::GridEditing::pasted, this, [this] { enablePredictions(); });

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
    // The bar keeps as much room on its right as on its left: the second panel's right border
    // stays inside the window.
    StatusBar1->setContentsMargins(0, 0, 2, 0);
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
    wireCommands();
}

// The menu's commands and the keys of the two buttons, after the buttons' own handlers.
void TForm1::wireCommands()
{
    using Handler = void (TForm1::*)();
    const std::pair<QAction *, Handler> commands[] = {
        { Importardados1, &TForm1::Importardados1Click },
        { Ultimorelatorio1, &TForm1::Ultimorelatorio1Click },
        { Matrizdialelica1, &TForm1::Matrizdialelica1Click },
        { Opcoes1, &TForm1::Opcoes1Click },
        { Ajuda1, &TForm1::Ajuda1Click },
        { Sobre1, &TForm1::Sobre1Click },
        { Sair1, &TForm1::Sair1Click },
    };
    for (const auto &[action, handler] : commands)
        connect(action, &QAction::triggered, this, koravel::handled(this, m_dialogs, handler));
    // The diallel analysis and the names of the lines, beside the matrix.
    const QList<QAction *> tools = Ferramentas1->actions();
    Ferramentas1->insertActions(tools.value(tools.indexOf(Matrizdialelica1) + 1),
        koravel::analysisCommands(this, m_session, m_dialogs));
    // A key presses its button, which does nothing while it is disabled; the caption stays and
    // the key shows when the pointer rests on the button.
    for (const auto &[action, button] :
        { std::pair { PredicaoHD1, BitBtn1 }, { PredicaoHT1, BitBtn2 } }) {
        connect(action, &QAction::triggered, button, &QPushButton::click);
        button->setToolTip(QStringLiteral("Atalho: %1")
                               .arg(action->shortcut().toString(QKeySequence::NativeText)));
        // The last report can be shown again once a prediction has written one.
        connect(button, &QPushButton::clicked, this,
            [this] { Ultimorelatorio1->setEnabled(m_session.lastReport().has_value()); });
    }
    Ultimorelatorio1->setEnabled(m_session.lastReport().has_value());
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
    if (koravel::importDataFile(*this, m_session.grid(), *m_progress)
        == koravel::ImportResult::Imported)
        m_session.setDataFile(koravel::toNativePath(m_lastOpenName));
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

// Brings back the report window the user closed or left behind, as the last prediction left it.
void TForm1::Ultimorelatorio1Click()
{
    if (!m_report)
        return;
    if (!m_session.lastReport()) {
        m_dialogs.information(this,
            QStringLiteral("Ainda não há relatório: faça antes uma predição de HD's ou HT's."));
        return;
    }
    m_report->setWindowState(m_report->windowState() & ~Qt::WindowMinimized);
    m_report->show();
    m_report->raise();
    m_report->activateWindow();
}

void TForm1::Ajuda1Click()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->setWindowState(m_help->windowState() & ~Qt::WindowMinimized);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
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
