// The application object: the top-level handler that shows every error a handler raises, and
// the decimal separator of the user's regional settings.
#pragma once

#include <QApplication>
#include <QString>

#include <functional>

#include "numtext.h"

namespace koravel {

class UserDialogs;

// The decimal separator for a symbol of Qt's locale: its one Latin-1 character, else '.'.
//   decimalSeparatorFromQt(",")      -> ','
//   decimalSeparatorFromQt("\u066B") -> '.'   (not Latin-1)
//   decimalSeparatorFromQt("")       -> '.'
char decimalSeparatorFromQt(const QString &symbol);

// Runs a window's handler and shows a koravel::Error or std::exception it raises with
// UserDialogs::error, a final "." added by the product's rule. The handler's work until the
// error stays as it is.
void runHandler(QWidget *parent, UserDialogs &dialogs, const std::function<void()> &handler);

class KoravelApplication : public QApplication
{
    Q_OBJECT
public:
    // Sets the title "Koravel" and reads the decimal separator of the system's locale.
    KoravelApplication(int &argc, char **argv, UserDialogs &dialogs);

    // An error escaping any event handler is shown in a stop box; the program goes on.
    bool notify(QObject *receiver, QEvent *event) override;

    // The number text settings every conversion of the windows uses. Read from the system's
    // locale at start and again whenever the system announces a change of its settings.
    static FormatSettings formatSettings();
    static void setFormatSettings(FormatSettings settings);
    static void readSystemFormatSettings();

private:
    UserDialogs &m_dialogs;
};

} // namespace koravel
