// The wizard tests run in the program's own application object, with a
// home folder of their own so that the chooser and the default site folder
// never touch the user's. "--class NAME" runs one group (CTest runs each
// group as a test of its own); other arguments go to QTest.
#include "Application.h"

#include <QByteArray>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

QObject *CreateWindowTests();
QObject *CreateNavigationTests();
QObject *CreateFolderPageTests();
QObject *CreateDetailsPageTests();
QObject *CreatePictureListTests();
QObject *CreateTemplatePageTests();
QObject *CreateBuildTests();
QObject *CreateErrorReportTests();
QObject *CreateDialogTests();
QObject *CreateMessageBoxTests();

int main(int argc, char **argv)
{
    const std::vector<std::pair<const char *, QObject *(*)()>> groups = {
        {"WindowTests", CreateWindowTests},         {"NavigationTests", CreateNavigationTests},
        {"FolderPageTests", CreateFolderPageTests}, {"DetailsPageTests", CreateDetailsPageTests},
        {"PictureListTests", CreatePictureListTests}, {"TemplatePageTests", CreateTemplatePageTests},
        {"BuildTests", CreateBuildTests},           {"ErrorReportTests", CreateErrorReportTests},
        {"DialogTests", CreateDialogTests},         {"MessageBoxTests", CreateMessageBoxTests},
    };

    const char *only = nullptr;
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--class") == 0 && i + 1 < argc)
            only = argv[++i];
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());

    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    qputenv("HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TApplication application(count, args.data());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    int failures = 0;
    bool ran = false;
    for (const auto &[name, create] : groups) {
        if (only && std::strcmp(only, name) != 0)
            continue;
        ran = true;
        std::unique_ptr<QObject> tests(create());
        failures += QTest::qExec(tests.get(), count, args.data());
    }
    return ran ? failures : 2;
}
