// The application object, the handler runner, the regional separator and the windows' font.
#include "koravel_application.h"

#include "dialogs.h"
#include "maize_picture.h"
#include "numtext/error.h"
#include "numtext/locale_settings.h"
#include "qt_text.h"
#include "session.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

#include <algorithm>
#include <exception>
#include <iterator>
#include <new>

namespace koravel {

namespace {

    QString shownMessage(std::string_view message)
    {
        return toQt(withFinalStop(message));
    }

    // A standard exception's own text, but in Portuguese for the one a user can meet: memory
    // running out in the middle of a large operation.
    QString shownMessage(const std::exception &error)
    {
        if (dynamic_cast<const std::bad_alloc *>(&error) != nullptr)
            return shownMessage("Mem\xF3ria insuficiente para concluir a opera\xE7\xE3o");
        return shownMessage(std::string_view(error.what()));
    }

} // namespace

char decimalSeparatorFromQt(const QString &symbol)
{
    for (const QChar c : symbol) {
        if (c.unicode() > 0xFF)
            return decimalSeparatorFromSymbol({});
    }
    return decimalSeparatorFromSymbol(fromQt(symbol));
}

char regionalDecimalSeparator()
{
    return decimalSeparatorFromQt(QLocale::system().decimalPoint());
}

void showHandlerError(QWidget *parent, UserDialogs &dialogs, std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Error &raised) {
        dialogs.error(parent, shownMessage(raised.message()));
    } catch (const std::exception &raised) {
        dialogs.error(parent, shownMessage(raised));
    }
}

QFont sansFont(int pixels, bool bold, const QString &family)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont windowFont()
{
    return sansFont(11);
}

void showInFront(QWidget *window, QSize wanted)
{
    if (!window->isVisible()) {
        if (const QScreen *shown = window->screen())
            wanted = wanted.boundedTo(shown->availableGeometry().size() * 9 / 10);
        window->resize(wanted);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

KoravelApplication::KoravelApplication(int &argc, char **argv, UserDialogs &dialogs)
    : QApplication(argc, argv)
    , m_dialogs(dialogs)
{
    // The name only: a display name would be appended by the toolkit to every window's caption
    // (".:: Sobre ::. — Koravel"), and the captions are the program's own.
    setApplicationName(QStringLiteral("Koravel"));
    // Every window without an icon of its own, message boxes included, shows the maize.
    setWindowIcon(koravelIcon());
    installPortugueseTranslations();
}

void KoravelApplication::installPortugueseTranslations()
{
    // The program speaks Portuguese whatever the system's language: Qt's own dialogs ("Nome do
    // arquivo", "Salvar como") and the report editor's context menu too. A missing file leaves
    // those texts in English and nothing else.
    // Qt's own folder where the system keeps them; else the folder "translations" beside the
    // program, where the Windows zip and installer put them.
    const QString folders[] = { QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        applicationDirPath() + QStringLiteral("/translations") };
    for (const char *name : kTranslations) {
        auto *translator = new QTranslator(this);
        const bool loaded = std::any_of(std::begin(folders), std::end(folders),
            [&](const QString &folder) { return translator->load(QLatin1String(name), folder); });
        if (loaded)
            installTranslator(translator);
        else
            delete translator;
    }
}

bool KoravelApplication::notify(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::LocaleChange && m_session)
        m_session->setRegionalSeparator(regionalDecimalSeparator());
    bool result = true;
    runHandler(activeWindow(), m_dialogs, [&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace koravel
