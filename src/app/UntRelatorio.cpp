// The report window's wiring: its menu commands call the core on the text as the user left it.
#include "UntRelatorio.h"

#include "dialogs.h"
#include "editor_report_sink.h"
#include "error.h"
#include "koravel_application.h"
#include "qt_text.h"
#include "report_document.h"
#include "report_editor.h"
#include "report_file.h"

#include <QFile>
#include <QMenuBar>

#include <string>

namespace {

constexpr int kClientWidth = 582;
constexpr int kClientHeight = 452;
// More than the three summary lines of a clean-up take, line breaks included.
constexpr std::size_t kSummaryRoom = 256;

// The window's sans font at the size of the 8-point font of the original screens.
QFont windowFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// Writes the bytes to the file the dialog returned. The file system takes the name in its own
// encoding; an error message names the file in the product's single-byte text.
void writeReportFile(const QString &fileName, std::string_view bytes)
{
    const std::string systemName = QFile::encodeName(fileName).toStdString();
    try {
        koravel::saveReportFile(systemName, bytes);
    } catch (const koravel::Error &error) {
        const std::string productName = koravel::fromQt(fileName);
        std::string message = error.message();
        if (systemName != productName) {
            const auto at = message.find(systemName);
            if (at != std::string::npos)
                message.replace(at, systemName.size(), productName);
        }
        throw koravel::Error(std::move(message));
    }
}

} // namespace

TForm2::TForm2(koravel::UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral(".:: Koravel v.1.1.2010 - RELATÓRIO DE DADOS"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(windowFont());

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    Memo1 = new ReportEditor(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 16, 561, 417);
    // Scintilla takes sizes in points: the same font, given as 8 points.
    QFont textFont = windowFont();
    textFont.setPointSize(8);
    Memo1->setTextFont(textFont);
    m_sink = std::make_unique<EditorReportSink>(*Memo1);

    Salvar1 = menuBar()->addAction(QStringLiteral(".:: Salvar ::."));
    Salvar1->setObjectName(QStringLiteral("Salvar1"));
    Sair1 = menuBar()->addAction(QStringLiteral(".:: Sair ::."));
    Sair1->setObjectName(QStringLiteral("Sair1"));
    LIMPAR1 = menuBar()->addAction(QStringLiteral(".:: LIMPAR ::."));
    LIMPAR1->setObjectName(QStringLiteral("LIMPAR1"));
    connect(Salvar1, &QAction::triggered, this,
        [this] { koravel::runHandler(this, m_dialogs, [this] { Salvar1Click(); }); });
    connect(Sair1, &QAction::triggered, this,
        [this] { koravel::runHandler(this, m_dialogs, [this] { Sair1Click(); }); });
    connect(LIMPAR1, &QAction::triggered, this,
        [this] { koravel::runHandler(this, m_dialogs, [this] { LIMPAR1Click(); }); });

    // Fixed size: the client area below the menu bar.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(292, 225);
}

TForm2::~TForm2() = default;

koravel::ReportSink &TForm2::reportSink()
{
    return *m_sink;
}

void TForm2::publishReport()
{
    const bool showWindow = m_sink->takeShowRequest();
    koravel::runHandler(this, m_dialogs, [this] { m_sink->publish(); });
    if (showWindow) {
        show();
        raise();
        activateWindow();
    }
}

QString TForm2::reportText() const
{
    return koravel::toQt(Memo1->bytes());
}

const QStringList &TForm2::saveFilters()
{
    static const QStringList filters {
        QStringLiteral("Arquivo texto (*.txt)"),
        QStringLiteral("Arquivo separado por espaços (*.prn)"),
        QStringLiteral("Arquivo de dados (*.dat)"),
    };
    return filters;
}

void TForm2::Salvar1Click()
{
    koravel::FileDialogRequest request;
    request.filters = saveFilters();
    request.proposedName = m_lastSaveName;
    request.selectedFilter = m_lastSaveFilter.isEmpty() ? saveFilters().first() : m_lastSaveFilter;
    request.defaultSuffix = QStringLiteral("txt");
    const auto answer = m_dialogs.saveFile(this, request);
    if (!answer) {
        m_dialogs.information(this, koravel::toQt(koravel::kNotSavedMessage));
        return;
    }
    m_lastSaveName = answer->fileName;
    if (saveFilters().contains(answer->selectedFilter))
        m_lastSaveFilter = answer->selectedFilter;
    writeReportFile(answer->fileName, Memo1->bytes());
    m_dialogs.information(this, koravel::toQt(koravel::savedMessage({})) + answer->fileName);
}

void TForm2::Sair1Click()
{
    close();
}

void TForm2::LIMPAR1Click()
{
    // Room for the summary lines up front: growing a copy of a huge report would double it.
    const std::string_view shown = Memo1->bytes();
    std::string text;
    text.reserve(shown.size() + kSummaryRoom);
    text.assign(shown);
    koravel::ReportDocument document;
    document.setText(std::move(text));
    koravel::cleanUpReport(document);
    const int firstLine = Memo1->firstVisibleLine();
    Memo1->updateLatin1Text(document.text());
    Memo1->setFirstVisibleLine(firstLine);
}
