// The diallel matrix window: wiring between the core matrix, its painted view and the PNG file.
#include "DiallelMatrixWindow.h"

#include "dialogs.h"
#include "export/diallel_matrix.h"
#include "heat_map_view.h"
#include "koravel_application.h"
#include "maize_picture.h"
#include "named_file_writer.h"
#include "numtext/error.h"
#include "qt_text.h"
#include "session.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QToolTip>

#include <memory>

namespace {

QString describe(const koravel::DiallelMatrix &matrix, koravel::Reciprocals reciprocals)
{
    QString text = matrix.lineCountSource() == koravel::LineCountSource::Field
        ? QStringLiteral("%1 linhagens, do campo número de linhagens.").arg(matrix.size())
        : QStringLiteral("%1 linhagens: o maior pai da tabela, pois o campo número de linhagens "
                         "não traz um inteiro de 2 ou mais.")
              .arg(matrix.size());
    text += reciprocals == koravel::Reciprocals::Distinct
        ? QStringLiteral("\nRecíprocos considerados: linha = pai A, coluna = pai B.")
        : QStringLiteral("\nRecíprocos não considerados: a matriz é simétrica.");
    text += QStringLiteral("\n%1 cruzamentos com valor, %2 ausentes, %3 com valor zero.")
                .arg(matrix.count(koravel::CrossState::Present))
                .arg(matrix.count(koravel::CrossState::Missing))
                .arg(matrix.count(koravel::CrossState::Zero));
    return text;
}

// The names of the first lines that have one, for the line under the counts.
QString namesText(const koravel::LineNames &names, int lines)
{
    constexpr int kShown = 12;
    QStringList shown;
    int named = 0;
    for (int line = 1; line <= lines; ++line) {
        const std::string_view name = names.name(line);
        if (name.empty())
            continue;
        if (++named <= kShown)
            shown << QStringLiteral("%1 %2").arg(line).arg(koravel::toQt(name));
    }
    if (named == 0)
        return {};
    if (named > kShown)
        shown << QStringLiteral("... (os nomes também nas dicas de cada cruzamento)");
    return QStringLiteral("\nNomes: ") + shown.join(QStringLiteral(", "));
}

} // namespace

DiallelMatrixWindow::DiallelMatrixWindow(koravel::UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
{
    setupUi(this);
    setWindowIcon(koravelIcon());

    connect(BitBtn1, &QPushButton::clicked, this,
        koravel::handled(this, m_dialogs, &DiallelMatrixWindow::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, &DiallelMatrixWindow::BitBtn2Click);
    PaintBox1->installEventFilter(this);
    // The names of the lines may run longer than the window is wide.
    Label1->setWordWrap(true);
}

void DiallelMatrixWindow::showMatrix(const koravel::Session &session)
{
    const koravel::Reciprocals reciprocals = session.reciprocals();
    const koravel::FormatSettings settings = session.formatSettings();
    auto matrix = std::make_shared<const koravel::DiallelMatrix>(
        session.grid(), session.lines(), reciprocals, settings);
    if (matrix->size() == 0) {
        m_dialogs.information(this,
            QStringLiteral("A tabela não tem cruzamentos entre duas ou mais linhagens: "
                           "não há matriz a mostrar."));
        return;
    }
    m_names = session.lineNames();
    Label1->setText(describe(*matrix, reciprocals) + namesText(m_names, matrix->size()));
    const QString title =
        QStringLiteral("Matriz dialélica: %1 linhagens, recíprocos: %2")
            .arg(matrix->size())
            .arg(reciprocals == koravel::Reciprocals::Distinct ? QStringLiteral("Sim")
                                                               : QStringLiteral("Não"));
    PaintBox1->setMatrix(std::move(matrix), settings, title);
    // Room for the whole matrix at its preferred size, as far as the screen allows.
    koravel::showInFront(this, PaintBox1->sizeHint() + QSize(40, 120));
}

QString DiallelMatrixWindow::toolTipAt(const QPoint &point) const
{
    QString text = PaintBox1->toolTipAt(point);
    if (text.isEmpty())
        return text;
    const auto [i, j] = PaintBox1->cellAt(point);
    const auto addName = [&](int line) {
        const std::string_view name = m_names.name(line);
        if (!name.empty())
            text += QStringLiteral("\n%1: %2").arg(line).arg(koravel::toQt(name));
    };
    addName(i);
    if (j != i)
        addName(j);
    return text;
}

bool DiallelMatrixWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PaintBox1 && event->type() == QEvent::ToolTip && !m_names.empty()) {
        const QPoint point = static_cast<QHelpEvent *>(event)->pos();
        const QString text = toolTipAt(point);
        if (!text.isEmpty()) {
            const auto [i, j] = PaintBox1->cellAt(point);
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text, PaintBox1,
                PaintBox1->cellRect(i, j));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void DiallelMatrixWindow::BitBtn1Click()
{
    koravel::savePicture(this, m_dialogs, PaintBox1->picture(), m_lastSaveName);
}

void DiallelMatrixWindow::BitBtn2Click()
{
    close();
}
