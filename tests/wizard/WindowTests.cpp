// The eight windows as the desktop gets them: title, fixed client size,
// frame, font, tab order, and where they appear.
#include "WizardTestSupport.h"

#include "app/Application.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "wizard/CompletedPage.h"
#include "wizard/FolderSettingsPage.h"
#include "wizard/PictureListPage.h"
#include "wizard/ProgressWindow.h"
#include "wizard/SiteDetailsPage.h"
#include "wizard/SiteFolderChooser.h"
#include "wizard/TemplatePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/base/WizardForms.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

namespace {

TForm *FormNumber(int n)
{
    TForm *forms[] = {Forms.Form1, Forms.Form2, Forms.Form3, Forms.Form4,
                      Forms.Form5, Forms.Form6, Forms.Form7, Forms.Form8};
    return forms[n - 1];
}

// The controls a Tab press visits, in order, starting from the window.
QList<QWidget *> TabChain(QWidget *window)
{
    QList<QWidget *> chain;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && !chain.contains(w))
            chain << w;
    return chain;
}

} // namespace

class WindowTests : public QObject {
    Q_OBJECT
    std::optional<TWizardFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { Fixture.reset(); }

    void frames_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<bool>("tool");
        QTest::newRow("WelcomePage") << 1 << "Quorvex - Pixelnook" << QSize(480, 253) << false;
        QTest::newRow("FolderSettingsPage") << 2 << "Settings" << QSize(480, 296) << false;
        QTest::newRow("SiteDetailsPage") << 3 << "Settings 2" << QSize(480, 296) << false;
        QTest::newRow("PictureListPage") << 4 << "Select the pictures" << QSize(480, 296) << false;
        QTest::newRow("TemplatePage") << 5 << "Select a template" << QSize(480, 296) << false;
        QTest::newRow("ProgressWindow") << 6 << "Progress" << QSize(298, 62) << true;
        QTest::newRow("CompletedPage") << 7 << "Completed" << QSize(480, 296) << false;
        QTest::newRow("SiteFolderChooser")
            << 8 << "Folder where site will be saved to" << QSize(491, 294) << true;
    }

    void frames()
    {
        QFETCH(int, form);
        QFETCH(QString, title);
        QFETCH(QSize, client);
        QFETCH(bool, tool);
        TForm *window = FormNumber(form);
        window->Show();
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize(), client);
        QCOMPARE(window->maximumSize(), client);
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(window->windowType() == Qt::Tool, tool);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(bool(flags & Qt::WindowMinimizeButtonHint), !tool);
        const QFontInfo font(window->font());
        QCOMPARE(font.family(), QStringLiteral("FreeSans"));
        QCOMPARE(font.pixelSize(), 11);
        QCOMPARE(window->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::Window));
    }

    // Every window starts centred on the screen; once the user has moved
    // it, showing it again leaves it there.
    void centredOnceThenWhereLeft_data()
    {
        QTest::addColumn<int>("form");
        const char *names[] = {"FolderSettingsPage", "SiteDetailsPage", "PictureListPage",
                               "TemplatePage",       "ProgressWindow",  "CompletedPage",
                               "SiteFolderChooser"};
        for (int n = 2; n <= 8; ++n)
            QTest::newRow(names[n - 2]) << n;
    }

    void centredOnceThenWhereLeft()
    {
        QFETCH(int, form);
        TForm *window = FormNumber(form);
        window->Show();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(window->geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(window->geometry().center().y() - screen.center().y()) <= 1);
        window->hide();
        window->move(12, 34);
        window->Show();
        QCOMPARE(window->pos(), QPoint(12, 34));
    }

    void tabOrder_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QStringList>("chain");
        QTest::newRow("WelcomePage") << 1 << QStringList{"Start Site", "Quit"};
        QTest::newRow("FolderSettingsPage")
            << 2 << QStringList{"Browse", "Edit1", "Edit2", "Continue -->", "xpCheckBox1", "Edit3"};
        QTest::newRow("SiteDetailsPage")
            << 3 << QStringList{"Edit1", "Memo1", "Edit2",       "Continue",
                                "Edit3", "Edit4", "xpCheckBox1", "Go Back"};
        QTest::newRow("PictureListPage")
            << 4 << QStringList{"ListView1",  "Move Down", "Move Up",  "Add Picture",
                                "Clear List", "Delete ",   "Continue", "Go Back"};
        QTest::newRow("TemplatePage")
            << 5 << QStringList{"TPanel",          "TPanel",     "TPanel",      "TPanel",
                                "TPanel",          "TPanel",     "TxpCheckBox", "QLineEdit",
                                "Select Template", "Build Site", "Go Back"};
        QTest::newRow("CompletedPage") << 7 << QStringList{"Quit", "Start Again", "TLabel"};
        QTest::newRow("SiteFolderChooser") << 8 << QStringList{"Shelltreeview1", "Edit1", "Close"};
    }

    void tabOrder()
    {
        QFETCH(int, form);
        QFETCH(QStringList, chain);
        // Names the controls by caption (buttons) or member name.
        const std::map<QWidget *, QString> names = {
            {Forms.Form2->Edit1, "Edit1"},         {Forms.Form2->Edit2, "Edit2"},
            {Forms.Form2->Edit3, "Edit3"},         {Forms.Form2->xpCheckBox1, "xpCheckBox1"},
            {Forms.Form3->Edit1, "Edit1"},         {Forms.Form3->Edit2, "Edit2"},
            {Forms.Form3->Edit3, "Edit3"},         {Forms.Form3->Edit4, "Edit4"},
            {Forms.Form3->Memo1, "Memo1"},         {Forms.Form3->xpCheckBox1, "xpCheckBox1"},
            {Forms.Form4->ListView1, "ListView1"}, {Forms.Form8->Shelltreeview1, "Shelltreeview1"},
            {Forms.Form8->Edit1, "Edit1"},
        };
        QStringList actual;
        for (QWidget *w : TabChain(FormNumber(form))) {
            if (auto *button = qobject_cast<TxpButton *>(w))
                actual << button->Caption();
            else if (names.count(w))
                actual << names.at(w);
            else
                actual << QString::fromLatin1(w->metaObject()->className());
        }
        QCOMPARE(actual, chain);
    }

    // Each size is a picture of its own in the icon, not the 64 px one
    // scaled: a resource left out of the list shows as a missing size.
    void programIconSizes()
    {
        const QIcon icon = PixelnookIcon();
        QList<int> sides;
        for (const QSize &size : icon.availableSizes()) {
            QCOMPARE(size.width(), size.height());
            sides << size.width();
        }
        std::sort(sides.begin(), sides.end());
        QCOMPARE(sides, (QList<int>{48, 64, 128, 256}));
    }
};

WIZARD_TEST_GROUP(WindowTests);

#include "WindowTests.moc"
