// The wizard tests run in the program's own application object, with a
// home folder of their own so that the chooser and the default site folder
// never touch the user's. "--class NAME" runs one group (CTest runs each
// group as a test of its own); other arguments go to QTest.
#include "WizardTestSupport.h"
#include "app/Application.h"

#include <QByteArray>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The groups in the order their files registered them.
std::vector<std::pair<const char *, TTestGroupMaker>> &Groups()
{
    static std::vector<std::pair<const char *, TTestGroupMaker>> groups;
    return groups;
}

} // namespace

bool RegisterTestGroup(const char *Name, TTestGroupMaker Make)
{
    Groups().emplace_back(Name, Make);
    return true;
}

int main(int argc, char **argv)
{
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
    for (const auto &[name, create] : Groups()) {
        if (only && std::strcmp(only, name) != 0)
            continue;
        ran = true;
        std::unique_ptr<QObject> tests(create());
        failures += QTest::qExec(tests.get(), count, args.data());
    }
    return ran ? failures : 2;
}
