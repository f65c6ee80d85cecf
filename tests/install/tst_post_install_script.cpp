#include "model/InstallerViewModel.h"
#include "platform/QtProcessRunner.h"
#include "support/TestPlatform.h"

#include <QTimer>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

// Starts a missing program in place of the one asked for.
class MissingShellRunner : public ProcessRunner {
public:
    void run(const QString&, const QStringList& arguments, QObject* context,
             std::function<void(ProcessOutcome)> done) override {
        m_real.run(QStringLiteral("/nonexistent/bin/sh"), arguments, context, std::move(done));
    }

private:
    QtProcessRunner m_real;
};

Task awaitScript(std::shared_ptr<InstallerViewModel> model, QString path, bool* done) {
    co_await model->runPostInstallScript(std::move(path));
    *done = true;
}

// Runs a script from the resource folder (a path with a blank, no execute permission) and
// returns the diagnostic lines it led to.
QStringList runScript(const QByteArray& script, std::shared_ptr<ProcessRunner> runner = nullptr) {
    Sandbox box;
    const QString path = box.writeResourceFile("post install/post.command", script);
    Platform platform = box.platform();
    if (runner)
        platform.processRunner = std::move(runner);
    auto model = std::make_shared<InstallerViewModel>(platform);
    box.clearLines();
    bool done = false;
    awaitScript(model, path, &done);
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
        QTest::newRow("success says nothing")
            << QByteArray("echo fine; echo noise >&2; exit 0\n") << QStringList();
        QTest::newRow("failure shows the output")
            << QByteArray("echo 'something went wrong'\nexit 1\n")
            << QStringList{"脚本执行失败: something went wrong\n"};
        QTest::newRow("failure without output")
            << QByteArray("exit 1\n") << QStringList{"脚本执行失败: "};
        QTest::newRow("error stream interleaved")
            << QByteArray("echo 出错了 >&2\necho out\necho err >&2\nexit 7\n")
            << QStringList{"脚本执行失败: 出错了\nout\nerr\n"};
        QTest::newRow("not UTF-8") << QByteArray("printf 'caf\\351\\n'\nexit 2\n")
                                   << QStringList{"脚本执行失败: 未知错误"};
        QTest::newRow("ended by a signal")
            << QByteArray("echo bye\nkill -9 $$\n") << QStringList{"脚本执行失败: bye\n"};
    }
    void outcomes() {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, lines);
        QCOMPARE(runScript(script), lines);
    }

    void megabytesOfOutputDoNotStall() {
        const QStringList lines =
            runScript("head -c 6000000 /dev/zero | tr '\\000' x\necho\necho done >&2\nexit 1\n");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].size(), QStringLiteral("脚本执行失败: ").size() + 6000000 + 6);
        QVERIFY(lines[0].endsWith("xx\ndone\n"));
    }

    void shellThatCannotStart() {
        const QStringList lines = runScript("exit 0\n", std::make_shared<MissingShellRunner>());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith("脚本执行出错: "), qPrintable(lines[0]));
        QVERIFY(lines[0].contains("/nonexistent/bin/sh"));
    }

    void mainThreadStaysFreeWhileTheScriptRuns() {
        // The script ends only once the main thread has written the file it waits for.
        Sandbox box;
        const QString go = box.path("go");
        const QString path = box.writeResourceFile(
            "post.command", QStringLiteral("while [ ! -e '%1' ]; do sleep 0.02; done\n").arg(go).toUtf8());
        auto model = std::make_shared<InstallerViewModel>(box.platform());
        bool done = false;
        awaitScript(model, path, &done);
        QVERIFY(!done);
        QTimer::singleShot(50, this, [&box] { box.writeFile("go"); });
        QTRY_VERIFY_WITH_TIMEOUT(done, 30000);
    }
};

QTEST_GUILESS_MAIN(PostInstallScriptTest)
#include "tst_post_install_script.moc"
