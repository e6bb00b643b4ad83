// The application object: errors escaping a handler reach a stop box, and the decimal
// separator follows the system's locale. Runs under a Brazilian locale, as the users do.
#include "numtext/error.h"
#include "fake_dialogs.h"
#include "koravel_application.h"

#include <QTest>

#include <new>
#include <stdexcept>

using koravel::FakeDialogs;
using koravel::KoravelApplication;

static FakeDialogs *g_appDialogs = nullptr; // the application's own dialogs

class KoravelApplicationTest : public QObject
{
    Q_OBJECT

private slots:
    void separatorComesFromTheSystemLocaleAndFollowsItsChanges()
    {
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Koravel"));
        // pt_BR writes 2,5.
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, ',');
        KoravelApplication::setFormatSettings({ '.' });
        QEvent change(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &change);
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, ',');

        // A symbol outside Latin-1 falls back to the point; one inside it is kept as its byte.
        QCOMPARE(koravel::decimalSeparatorFromQt(QStringLiteral("\u00B7")), '\xB7');
        QCOMPARE(koravel::decimalSeparatorFromQt(QStringLiteral("\u066B")), '.');
    }

    void errorEscapingAHandlerIsShownWithTheFinalStop_data()
    {
        QTest::addColumn<int>("thrown"); // 0 the core's error, 1 a standard one, 2 out of memory
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("core error") << 0 << "'abc' is not a valid integer value"
                                    << "'abc' is not a valid integer value.";
        QTest::newRow("Latin-1 text") << 0 << QStringLiteral("Não") << "Não.";
        QTest::newRow("standard exception") << 1 << "Stream write error."
                                            << "Stream write error.";
        QTest::newRow("out of memory") << 2 << "std::bad_alloc"
                                       << QStringLiteral("Memória insuficiente para concluir a "
                                                         "operação.");
    }
    void errorEscapingAHandlerIsShownWithTheFinalStop()
    {
        QFETCH(int, thrown);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        // Core messages are Latin-1 bytes.
        const std::string bytes = message.toLatin1().toStdString();
        const auto raise = [&] {
            if (thrown == 2)
                throw std::bad_alloc();
            if (thrown == 1)
                throw std::runtime_error(bytes);
            throw koravel::Error(bytes);
        };
        const QStringList expected { QStringLiteral("error: ") + shown };

        // Raised by a queued call, the error passes through the application's event handling.
        g_appDialogs->messages.clear();
        QMetaObject::invokeMethod(qApp, raise, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QCOMPARE(g_appDialogs->messages, expected);

        FakeDialogs windowDialogs;
        koravel::runHandler(nullptr, windowDialogs, raise);
        QCOMPARE(windowDialogs.messages, expected);
        koravel::runHandler(nullptr, windowDialogs, [] {});
        QCOMPARE(windowDialogs.messages, expected); // no error, no box
    }
};

int main(int argc, char *argv[])
{
    qputenv("LC_ALL", "pt_BR.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FakeDialogs dialogs;
    g_appDialogs = &dialogs;
    KoravelApplication application(argc, argv, dialogs);
    KoravelApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "koravel_application_test.moc"
