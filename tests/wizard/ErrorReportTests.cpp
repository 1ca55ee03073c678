// The application-wide error report: whatever a handler throws, through
// the handlers' guard or through the application's last net, becomes one
// box titled with the application's title, with the full-stop rule, and
// the program goes on.
#include "WizardTestSupport.h"

#include "controls/xpButton.h"
#include "site/SiteError.h"
#include "wizard/base/ErrorReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <optional>
#include <stdexcept>

namespace {

class TThrowingObject : public QObject {
public:
    explicit TThrowingObject(std::string text) : Text(std::move(text)) {}
    std::string Text;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error(Text);
        return QObject::event(e);
    }
};

class TThrowingPicture : public QObject {
public:
    explicit TThrowingPicture(pixelnook::PictureError error) : Error(std::move(error)) {}
    pixelnook::PictureError Error;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw Error;
        return QObject::event(e);
    }
};

} // namespace

class ErrorReportTests : public QObject {
    Q_OBJECT
    std::optional<TRecordingPlatform> Desktop;

private slots:
    void init()
    {
        Desktop.emplace();
        Desktop::Install(&*Desktop);
    }
    void cleanup()
    {
        Desktop::Install(nullptr);
        Desktop.reset();
    }

    // A full stop is added when the last character comes after "." in
    // character-code order.
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("route"); // "guard", "notify" or "button"
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<QString>("shown");
        const QList<QPair<QString, QString>> texts = {
            {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
            {"ends in a full stop.", "ends in a full stop."},
            {"ends in a quote\"", "ends in a quote\""},
            {"ends in a blank ", "ends in a blank "},
            {"ends in a comma,", "ends in a comma,"},
            {"ends in a slash/", "ends in a slash/."},
            {"ends in a digit 7", "ends in a digit 7."},
            {"", ""},
        };
        for (const QString route : {"guard", "notify", "button"})
            for (const auto &[thrown, shown] : texts)
                QTest::newRow(qPrintable(route + ": " + thrown)) << route << thrown << shown;
    }

    void fullStopRule()
    {
        QFETCH(QString, route);
        QFETCH(QString, thrown);
        QFETCH(QString, shown);
        const std::string text = thrown.toStdString();
        if (route == QLatin1String("guard")) {
            CallGuarded([&] { throw std::runtime_error(text); });
        } else if (route == QLatin1String("notify")) {
            // An event handler with no guard of its own: the application's
            // notify is the net.
            TThrowingObject object(text);
            QEvent event(QEvent::User);
            QCoreApplication::sendEvent(&object, &event);
        } else {
            // A real click on a button wired the way every window wires its
            // buttons: the guard reports the error before it could reach
            // Qt's mouse delivery, which is not exception-safe.
            QWidget window;
            auto *button = new TxpButton(&window);
            button->OnClick = Guarded([&] { throw std::runtime_error(text); });
            window.show();
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        }
        QCOMPARE(Desktop->Messages.size(), 1);
        QCOMPARE(Desktop->Messages[0].Title, QStringLiteral("Quorvex - Pixelnook"));
        QCOMPARE(Desktop->Messages[0].Text, shown);
    }

    // A picture's failure: the text under the full-stop rule on the first
    // line, the picture's full path on a line of its own below it.
    void pictureFailureNamesThePicture_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<QString>("shown");
        for (const QString route : {"guard", "notify"}) {
            QTest::newRow(qPrintable(route + ": JPEG error"))
                << route << "JPEG error #53"
                << "JPEG error #53.\n/home/user/Pictures/scan.jpg";
            QTest::newRow(qPrintable(route + ": ends in a quote"))
                << route << "ends in a quote\""
                << "ends in a quote\"\n/home/user/Pictures/scan.jpg";
        }
    }

    void pictureFailureNamesThePicture()
    {
        QFETCH(QString, route);
        QFETCH(QString, thrown);
        QFETCH(QString, shown);
        const pixelnook::PictureError error("/home/user/Pictures/scan.jpg", thrown.toStdString());
        if (route == QLatin1String("guard")) {
            CallGuarded([&] { throw error; });
        } else {
            TThrowingPicture object(error);
            QEvent event(QEvent::User);
            QCoreApplication::sendEvent(&object, &event);
        }
        QCOMPARE(Desktop->MessageTexts(), QStringList{shown});
    }

    // With a file-size limit a write fails and is reported like any other
    // error, instead of SIGXFSZ ending the program.
    void writesPastTheFileSizeLimitFail()
    {
        struct sigaction action {};
        QCOMPARE(::sigaction(SIGXFSZ, nullptr, &action), 0);
        QVERIFY(action.sa_handler == SIG_IGN);
    }

    void somethingNotAnError()
    {
        CallGuarded([] { throw 42; });
        QCOMPARE(Desktop->MessageTexts(), QStringList{"Unknown error."});
    }

    // After a report the program carries on: the same handler runs again.
    void goesOnAfterAReport()
    {
        int runs = 0;
        auto handler = Guarded([&] {
            ++runs;
            throw std::runtime_error("again");
        });
        handler(nullptr);
        handler(nullptr);
        QCOMPARE(runs, 2);
        QCOMPARE(Desktop->MessageTexts(), (QStringList{"again.", "again."}));
    }
};

WIZARD_TEST_GROUP(ErrorReportTests);

#include "ErrorReportTests.moc"
