// The application object: top-level error handler and regional number settings.
#include "koravel_application.h"

#include "dialogs.h"
#include "numtext/error.h"
#include "numtext/locale_settings.h"
#include "qt_text.h"

#include <QLocale>

#include <exception>
#include <new>

namespace koravel {

namespace {

    FormatSettings g_formatSettings;
    DecimalChoice g_decimalChoice = DecimalChoice::Regional;

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

void runHandler(QWidget *parent, UserDialogs &dialogs, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const Error &error) {
        dialogs.error(parent, shownMessage(error.message()));
    } catch (const std::exception &error) {
        dialogs.error(parent, shownMessage(error));
    }
}

KoravelApplication::KoravelApplication(int &argc, char **argv, UserDialogs &dialogs)
    : QApplication(argc, argv)
    , m_dialogs(dialogs)
{
    setApplicationName(QStringLiteral("Koravel"));
    setApplicationDisplayName(QStringLiteral("Koravel"));
    readSystemFormatSettings();
}

bool KoravelApplication::notify(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        readSystemFormatSettings();
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error &error) {
        m_dialogs.error(activeWindow(), shownMessage(error.message()));
    } catch (const std::exception &error) {
        m_dialogs.error(activeWindow(), shownMessage(error));
    }
    return true;
}

FormatSettings KoravelApplication::formatSettings()
{
    return g_formatSettings;
}

void KoravelApplication::setFormatSettings(FormatSettings settings)
{
    g_formatSettings = settings;
}

void KoravelApplication::readSystemFormatSettings()
{
    if (g_decimalChoice == DecimalChoice::Regional)
        g_formatSettings.decimalSeparator = regionalDecimalSeparator();
}

DecimalChoice KoravelApplication::decimalChoice()
{
    return g_decimalChoice;
}

void KoravelApplication::setDecimalChoice(DecimalChoice choice)
{
    g_decimalChoice = choice;
    switch (choice) {
    case DecimalChoice::Regional:
        readSystemFormatSettings();
        break;
    case DecimalChoice::Point:
        g_formatSettings.decimalSeparator = '.';
        break;
    case DecimalChoice::Comma:
        g_formatSettings.decimalSeparator = ',';
        break;
    }
}

char KoravelApplication::regionalDecimalSeparator()
{
    return decimalSeparatorFromQt(QLocale::system().decimalPoint());
}

} // namespace koravel
