// What the post-install script leads to, run by the real shell.
#include "model/InstallerViewModel.h"
#include "platform/QtProcessRunner.h"
#include "support/TestPlatform.h"

#include <QTimer>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

class MissingShellRunner : public QtProcessRunner {
public:
    void run(const QString&, const QStringList& arguments, QObject* context,
             std::function<void(ProcessOutcome)> done) override {
        QtProcessRunner::run("/nonexistent/bin/sh", arguments, context, std::move(done));
    }
};

Task awaitScript(std::shared_ptr<InstallerViewModel> model, QString path, bool* done) {
    co_await model->runPostInstallScript(std::move(path));
    *done = true;
}

// Runs a script from the resource folder (a path with a blank, no execute permission) and
// returns the diagnostic lines. Once it has started, the main thread puts "go" beside it.
QStringList runScript(const QByteArray& script, std::shared_ptr<ProcessRunner> runner = {}) {
    Sandbox box;
    const QString path = box.writeResourceFile("post install/post.command", script);
    Platform platform = box.platform();
    if (runner)
        platform.processRunner = std::move(runner);
    auto model = std::make_shared<InstallerViewModel>(platform);
    box.clearLines();
    bool done = false;
    awaitScript(model, path, &done);
    QTimer::singleShot(50, model.get(), [&box] { box.writeResourceFile("post install/go"); });
    if (!QTest::qWaitFor([&] { return done; }, 30000))
        return {"(script did not end)"};
    return box.lines();
}

} // namespace

class PostInstallScriptTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void outcomes_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("lines");
        const QString failed = "脚本执行失败: ";
        QTest::newRow("success") << QByteArray("echo out; echo err >&2") << QStringList();
        QTest::newRow("main thread free")
            << QByteArray("while [ ! -e \"$(dirname \"$0\")/go\" ]; do sleep 0.02; done")
            << QStringList();
        QTest::newRow("failure") << QByteArray("echo wrong; exit 1")
                                 << QStringList{failed + "wrong\n"};
        QTest::newRow("no output") << QByteArray("exit 1") << QStringList{failed};
        QTest::newRow("error stream") << QByteArray("echo 出错 >&2; echo out; echo e >&2; exit 7")
                                      << QStringList{failed + "出错\nout\ne\n"};
        QTest::newRow("not UTF-8")
            << QByteArray("printf 'caf\\351'; exit 2") << QStringList{failed + "未知错误"};
        QTest::newRow("megabytes") << QByteArray("head -c 6000000 /dev/zero | tr '\\0' x; exit 1")
                                   << QStringList{failed + QString(6000000, 'x')};
    }
    void outcomes() {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, lines);
        QCOMPARE(runScript(script), lines);
    }

    void shellThatCannotStart() {
        const QStringList lines = runScript("exit 0", std::make_shared<MissingShellRunner>());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith("脚本执行出错: "), qPrintable(lines[0]));
        QVERIFY(lines[0].contains("/nonexistent/bin/sh"));
    }
};

QTEST_GUILESS_MAIN(PostInstallScriptTest)
#include "tst_post_install_script.moc"
