// The about window's controls and its two handlers.
#include "UntSobre.h"

#include "globe_animation.h"
#include "koravel_application.h"
#include "maize_picture.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>

namespace {

// The address of the author's curriculum page, opened with "http://" before it.
constexpr auto kCurriculumPage = "www.example.org/curriculo/vescarin";

} // namespace

TForm3::TForm3(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(koravel::windowFont());
    setupUi(this);
    ClientLayout->setMenuBar(MainMenu1);
    connect(Sair1, &QAction::triggered, this, &TForm3::Sair1Click);

    Image1->setPixmap(authorPortrait());
    RxLabel1->setFont(koravel::sansFont(19, true, QStringLiteral("Arial")));
    for (QLabel *label : { RxLabel1, RxLabel2, RxLabel3, RxLabel4, RxLabel5, RxLabel6 })
        label->adjustSize();
    // Eleven lines of 13 pixels fill the 145 of the text box only without a margin: then the
    // last line, with the author's address, shows whole and there is nothing to scroll.
    Memo1->document()->setDocumentMargin(0);
    // The author's notes keep a thin margin on their coloured ground and fit as well.
    Memo2->document()->setDocumentMargin(2);
    Memo3->document()->setDocumentMargin(2);
    RxLabel6->installEventFilter(this);
    // The two notes have the colour of an inactive title bar's gradient.
    for (QPlainTextEdit *note : { Memo2, Memo3 }) {
        QPalette palette = note->palette();
        palette.setColor(QPalette::Base, QColor(215, 228, 242));
        note->setPalette(palette);
    }
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
