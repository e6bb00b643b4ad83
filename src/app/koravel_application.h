// The application object and the one way a window runs a handler: an error the handler raises
// is shown in a stop box and the program goes on.
#pragma once

#include <QApplication>
#include <QFont>
#include <QString>

#include <exception>

class QWidget;

namespace koravel {

class Session;
class UserDialogs;

// The decimal separator for a symbol of Qt's locale: its one Latin-1 character, else '.'.
//   decimalSeparatorFromQt(",")      -> ','
//   decimalSeparatorFromQt("\u066B") -> '.'   (not Latin-1)
//   decimalSeparatorFromQt("")       -> '.'
char decimalSeparatorFromQt(const QString &symbol);
// The separator of the system's regional settings as they stand now.
char regionalDecimalSeparator();

// Shows a koravel::Error or std::exception with UserDialogs::error, a final "." added by the
// product's rule; any other exception goes on.
void showHandlerError(QWidget *parent, UserDialogs &dialogs, std::exception_ptr error);

// Runs a handler and shows an error it raises. The handler's work until the error stays as it is.
template <class Handler> void runHandler(QWidget *parent, UserDialogs &dialogs, Handler &&handler)
{
    try {
        handler();
    } catch (...) {
        showHandlerError(parent, dialogs, std::current_exception());
    }
}

// The slot that runs a window's handler through runHandler:
//   connect(BitBtn1, &QPushButton::clicked, this, handled(this, m_dialogs, &TForm1::BitBtn1Click));
template <class Window>
auto handled(Window *window, UserDialogs &dialogs, void (Window::*handler)())
{
    return [window, &dialogs, handler] {
        runHandler(window, dialogs, [window, handler] { (window->*handler)(); });
    };
}

// The sans font of the windows at a size in pixels; the original screens' 8-point font is 11.
// "Arial" asks fontconfig for its metric twin.
QFont sansFont(
    int pixels, bool bold = false, const QString &family = QStringLiteral("Liberation Sans"));
// The font of the windows that keep the original screens' look: sansFont(11).
QFont windowFont();

// Shows window in front of the others; the first time, at the size it wants as far as nine
// tenths of the screen's free area allow.
void showInFront(QWidget *window, QSize wanted);

class KoravelApplication : public QApplication
{
    Q_OBJECT
public:
    // The files of Qt's Portuguese (Brazil) translations that the windows use, in Qt's folder of
    // translations (Debian: qt6-translations-l10n, libqscintilla2-qt6-l10n).
    static constexpr const char *kTranslations[] = { "qtbase_pt_BR", "qscintilla_pt_br" };

    // Sets the title "Koravel", the maize icon and the Portuguese translations.
    KoravelApplication(int &argc, char **argv, UserDialogs &dialogs);

    // The session whose regional separator follows the system's settings when they change.
    void follow(Session &session) { m_session = &session; }

    // Whatever escapes an event handler goes through runHandler too.
    bool notify(QObject *receiver, QEvent *event) override;

private:
    void installPortugueseTranslations();

    UserDialogs &m_dialogs;
    Session *m_session = nullptr;
};

} // namespace koravel
