// Koravel's desktop program: the application, its three windows and the event loop.
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "dialogs.h"
#include "koravel_application.h"
#include "standard_descriptors.h"
#include "session.h"

int main(int argc, char *argv[])
{
    koravel::reserveStandardDescriptors();
    koravel::QtUserDialogs dialogs;
    koravel::KoravelApplication application(argc, argv, dialogs);
    // What the run holds; the windows are views of it.
    koravel::Session session(koravel::regionalDecimalSeparator());
    application.follow(session);

    // Created in this order; only the main window shows. Closing it ends the program,
    // whatever else is open.
    TForm1 Form1(session, dialogs);
    TForm2 Form2(session, dialogs);
    TForm3 Form3;
    Form1.setOtherWindows(Form2, Form3);
    QObject::connect(
        &Form1, &TForm1::closed, &application, &QCoreApplication::quit, Qt::QueuedConnection);

    Form1.show();
    return koravel::KoravelApplication::exec();
}
