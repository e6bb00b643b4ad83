// The application object: the top-level handler that shows every error a handler raises, and
// the decimal separator of the user's regional settings.
#pragma once

#include <QApplication>
#include <QString>

#include <functional>

#include "numtext/numtext.h"

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

// The decimal separator of the data, chosen in the options window for the rest of the run:
// the one of the system's regional settings (the default, following its changes), or a fixed
// point or comma that a change of the system's settings leaves alone.
enum class DecimalChoice { Regional, Point, Comma };

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
    // Sets the separator in use until the next choice or, with Regional chosen, until the next
    // change of the system's settings.
    static void setFormatSettings(FormatSettings settings);
    // Reads the system's separator into the one in use, when Regional is chosen.
    static void readSystemFormatSettings();

    // The separator chosen in the options window; Regional until the user chooses another.
    //   setDecimalChoice(Comma)    -> formatSettings() ',' whatever the system's settings say
    //   setDecimalChoice(Regional) -> formatSettings() the system's separator, read anew
    static DecimalChoice decimalChoice();
    static void setDecimalChoice(DecimalChoice choice);
    // The separator of the system's regional settings as they stand now.
    static char regionalDecimalSeparator();

private:
    UserDialogs &m_dialogs;
};

} // namespace koravel
