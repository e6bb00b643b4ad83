// The help window's wiring: the text from the resources, Ctrl+W or Esc to close it.
#include "HelpWindow.h"

#include "koravel_application.h"

#include <QKeyEvent>
#include <QScreen>
#include <QUrl>

#include <algorithm>

// The help text lives in a resource of this static library, which the linker keeps only when
// something asks for it by name.
static void loadHelpResources()
{
    Q_INIT_RESOURCE(help);
}

HelpWindow::HelpWindow(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
{
    loadHelpResources();
    // Closing the main window ends the program even while the help is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(koravel::windowFont());
    setupUi(this);
    // The help is read, not glanced at: a size larger than the windows' own.
    Browser1->document()->setDefaultFont(koravel::sansFont(13));
    Browser1->document()->setDocumentMargin(8);
    Browser1->setSource(QUrl(QStringLiteral("qrc:/help/ajuda.html")));
    connect(Sair1, &QAction::triggered, this, &HelpWindow::Sair1Click);
}

void HelpWindow::Sair1Click()
{
    close();
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QMainWindow::keyPressEvent(event);
}

void HelpWindow::showEvent(QShowEvent *event)
{
    // Centred on the screen the first time, whole on any screen of 600 pixels or more; later
    // where the user left it.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *screen = this->screen()) {
            const QRect available = screen->availableGeometry();
            resize(width(), std::min(height(), available.height() - 60));
            QRect frame = frameGeometry();
            frame.moveCenter(available.center());
            move(frame.topLeft());
        }
    }
    QMainWindow::showEvent(event);
}
