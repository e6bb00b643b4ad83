// The about window's controls and its two handlers.
#include "UntSobre.h"

#include "globe_animation.h"
#include "koravel_application.h"
#include "maize_picture.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 576;
constexpr int kClientHeight = 425;

// The address of the author's curriculum page, opened with "http://" before it.
constexpr auto kCurriculumPage = "www.example.org/curriculo/vescarin";

QString aboutText()
{
    const QStringList lines {
        QStringLiteral(
            "Koravel versão 1.1.2010 - Aplicativo para predição de Híbridos Duplos e Triplos"),
        QString(),
        QStringLiteral("Requisitos mínimos do computador em relação a softwares:"),
        QStringLiteral("->   Plataforma Windows 9x/2000/XP/Vista") + QString(49, QLatin1Char(' '))
            + QStringLiteral("(® Microsoft)"),
        QStringLiteral("->   *** Os limites dos números de linhagens e HS utlilizados, bem como a "
                       "velocidade dos cálculos, estão "),
        QStringLiteral(
            "condicionados à memória livre disponível (RAM) e a velocidade do processador"),
        QString(),
        QStringLiteral(
            "ALTERAR EM CONFIGURAÇÕES REGIONAIS, O PADRÃO DECIMAL DE VÍRGULA PARA PONTO"),
        QString(),
        QStringLiteral("Recompilado em junho de 2010"),
        QStringLiteral("Local: Brasil - e-mail: autor@example.org"),
    };
    return lines.join(QLatin1Char('\n'));
}

QString areasOfWork()
{
    return QStringLiteral("Áreas de atuação:\n"
                          "1. Melhoramento genético de milho\n"
                          "2. Genética quantitativa\n"
                          "3. Cruzamentos dialélicos\n"
                          "4. Experimentação agrícola");
}

QString relatedTopics()
{
    return QStringLiteral("Temas relacionados: predição de híbridos duplos e triplos a partir de "
                          "híbridos simples, capacidade geral e específica de combinação, "
                          "heterose, escolha de linhagens e ensaios de competição de cultivares.");
}

// A text area without a border, editable, wrapping its lines like a memo.
QPlainTextEdit *borderlessText(
    QWidget *parent, const QString &name, const QRect &geometry, const QString &text)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setFrameShape(QFrame::NoFrame);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setPlainText(text);
    return edit;
}

// The colour of an inactive title bar's gradient.
void paintInactiveCaption(QPlainTextEdit *edit)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(215, 228, 242));
    edit->setPalette(palette);
}

QLabel *label(QWidget *parent, const QString &name, const QPoint &at, const QString &text)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    result->move(at);
    result->adjustSize();
    return result;
}

} // namespace

TForm3::TForm3(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral(".:: Koravel v.1.1.2010 - SOBRE O APLICATIVO"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(koravel::windowFont());

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Sair1 = MainMenu1->addAction(QStringLiteral(".:: Sair ::."));
    Sair1->setObjectName(QStringLiteral("Sair1"));
    connect(Sair1, &QAction::triggered, this, &TForm3::Sair1Click);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    GroupBox1 = new QGroupBox(QStringLiteral(".:: Sobre o Aplicativo ::."), client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 561, 169);
    Memo1 =
        borderlessText(GroupBox1, QStringLiteral("Memo1"), QRect(16, 16, 537, 145), aboutText());

    GroupBox2 = new QGroupBox(QStringLiteral(".:: Sobre o autor ::."), client);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 184, 561, 233);

    Image1 = new QLabel(GroupBox2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 24, 89, 121);
    Image1->setPixmap(authorPortrait());

    RxLabel1 =
        label(GroupBox2, QStringLiteral("RxLabel1"), { 120, 22 }, QStringLiteral("Vescarin"));
    RxLabel1->setFont(koravel::sansFont(19, true, QStringLiteral("Arial")));
    RxLabel1->adjustSize();
    RxLabel2 = label(
        GroupBox2, QStringLiteral("RxLabel2"), { 120, 50 }, QStringLiteral("Engenheiro Agrônomo"));
    RxLabel3 = label(GroupBox2, QStringLiteral("RxLabel3"), { 120, 66 },
        QStringLiteral("Mestre em Genética e Melhoramento de Plantas"));
    RxLabel4 = label(GroupBox2, QStringLiteral("RxLabel4"), { 120, 82 },
        QStringLiteral("Doutor em Genética e Melhoramento de Plantas"));
    RxLabel5 = label(GroupBox2, QStringLiteral("RxLabel5"), { 120, 102 },
        QStringLiteral("e-mail: autor@example.org"));
    QFont bold = RxLabel5->font();
    bold.setBold(true);
    RxLabel5->setFont(bold);
    RxLabel5->setStyleSheet(QStringLiteral("color: red"));
    RxLabel5->adjustSize();

    RxLabel6 = label(GroupBox2, QStringLiteral("RxLabel6"), { 120, 124 },
        QStringLiteral("Currículo do autor na internet"));
    QFont link = bold;
    link.setUnderline(true);
    RxLabel6->setFont(link);
    RxLabel6->setStyleSheet(QStringLiteral("color: blue"));
    RxLabel6->setCursor(Qt::PointingHandCursor);
    RxLabel6->adjustSize();
    RxLabel6->installEventFilter(this);

    Animate1 = new GlobeAnimation(GroupBox2);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setGeometry(504, 104, 39, 42);

    Memo2 =
        borderlessText(GroupBox2, QStringLiteral("Memo2"), QRect(16, 152, 257, 73), areasOfWork());
    paintInactiveCaption(Memo2);
    Memo3 = borderlessText(
        GroupBox2, QStringLiteral("Memo3"), QRect(280, 152, 265, 73), relatedTopics());
    paintInactiveCaption(Memo3);
}

QString TForm3::curriculumAddress()
{
    return QStringLiteral("http://") + QLatin1String(kCurriculumPage);
}

void TForm3::Sair1Click()
{
    close();
}

void TForm3::RxLabel6Click()
{
    // The shell opens the page in the default browser; a failure is not reported.
    QDesktopServices::openUrl(QUrl(curriculumAddress()));
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == RxLabel6 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && RxLabel6->rect().contains(mouse->position().toPoint())) {
            RxLabel6Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::showEvent(QShowEvent *event)
{
    // Centred on the screen the first time; later the window keeps the place it was left at.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}
