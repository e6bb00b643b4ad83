// The application object: errors escaping a handler reach a stop box, and the decimal
// separator follows the system's locale. Runs under a Brazilian locale, as the users do.
#include "error.h"
#include "fake_dialogs.h"
#include "koravel_application.h"

#include <QTest>

#include <stdexcept>

using koravel::FakeDialogs;
using koravel::KoravelApplication;

namespace {

FakeDialogs *g_appDialogs = nullptr;

// Raises what it is told when it receives a user event.
class Thrower : public QObject
{
public:
    std::function<void()> raise;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            raise();
        return QObject::event(event);
    }
};

} // namespace

class KoravelApplicationTest : public QObject
{
    Q_OBJECT

private slots:
    void titleIsKoravel()
    {
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Koravel"));
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Koravel"));
    }

    void separatorComesFromTheSystemLocaleAndFollowsItsChanges()
    {
        // pt_BR writes 2,5.
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, ',');
        KoravelApplication::setFormatSettings({ '.' });
        QEvent change(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &change);
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, ',');
    }

    void separatorFromQtSymbol_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<char>("separator");
        QTest::newRow("comma") << QStringLiteral(",") << ',';
        QTest::newRow("point") << QStringLiteral(".") << '.';
        QTest::newRow("middle dot, Latin-1") << QStringLiteral("\u00B7") << '\xB7';
        QTest::newRow("Arabic separator") << QStringLiteral("\u066B") << '.';
        QTest::newRow("empty") << QString() << '.';
        QTest::newRow("two characters") << QStringLiteral(",,") << '.';
    }
    void separatorFromQtSymbol()
    {
        QFETCH(QString, symbol);
        QFETCH(char, separator);
        QCOMPARE(koravel::decimalSeparatorFromQt(symbol), separator);
    }

    void errorEscapingAHandlerIsShownWithTheFinalStop_data()
    {
        QTest::addColumn<bool>("standard");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("core error") << false << "'abc' is not a valid integer value"
                                    << "'abc' is not a valid integer value.";
        QTest::newRow("ends with a stop") << false << "Stream write error."
                                          << "Stream write error.";
        QTest::newRow("ends with a bang") << false << "Falhou!"
                                          << "Falhou!";
        QTest::newRow("Latin-1 text") << false << QStringLiteral("Não") << "Não.";
        QTest::newRow("standard exception") << true << "bad things"
                                            << "bad things.";
    }
    void errorEscapingAHandlerIsShownWithTheFinalStop()
    {
        QFETCH(bool, standard);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        // Core messages are Latin-1 bytes.
        const std::string bytes = message.toLatin1().toStdString();
        const auto raise = [&] {
            if (standard)
                throw std::runtime_error(bytes);
            throw koravel::Error(bytes);
        };

        g_appDialogs->errors.clear();
        Thrower thrower;
        thrower.raise = raise;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &event);
        QCOMPARE(g_appDialogs->errors, QStringList { shown });

        FakeDialogs windowDialogs;
        koravel::runHandler(nullptr, windowDialogs, raise);
        QCOMPARE(windowDialogs.errors, QStringList { shown });
    }

    void handlerWithoutErrorShowsNothing()
    {
        FakeDialogs dialogs;
        bool ran = false;
        koravel::runHandler(nullptr, dialogs, [&] { ran = true; });
        QVERIFY(ran);
        QVERIFY(dialogs.errors.isEmpty());
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
