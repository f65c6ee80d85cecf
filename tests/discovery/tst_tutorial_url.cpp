// The tutorial address: every row of its table, trimming, and the deferred assignment.
#include "discovery/TutorialUrl.h"
#include "model/InstallerViewModel.h"
#include "support/FailingFileSystem.h"
#include "support/TestPlatform.h"
#include "support/Trace.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

const QString kCannotRead = QStringLiteral("无法读取教程URL: ");

QUrl defaultAddress() { return QUrl(QString::fromUtf8(makerWebsite)); }

} // namespace

class TutorialUrl : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // One row per kind of file content; "" for `address` means it stays absent.
    void addressFromFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("address");
        QTest::newRow("address and line break") << QByteArray("https://example.com/t\n")
                                                << QStringLiteral("https://example.com/t");
        QTest::newRow("blanks around") << QByteArray(" \t\r\n https://example.com/a?b=1#c \r\n\n\x0b\x0c")
                                       << QStringLiteral("https://example.com/a?b=1#c");
        QTest::newRow("unicode separators") << QByteArray("\u3000\u00a0\u2028https://e.com/x\u2029\u0085\u2003")
                                            << QStringLiteral("https://e.com/x");
        QTest::newRow("chinese path, percent-encoded")
            << QByteArray("https://e.com/%E6%95%99%E7%A8%8B") << QStringLiteral("https://e.com/%E6%95%99%E7%A8%8B");
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbfhttps://e.com/\n")
                                         << QStringLiteral("https://e.com/");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("only blanks") << QByteArray("  \n\t \r\n\u3000") << QString();
        QTest::newRow("blank inside") << QByteArray("https://e.com/a b\n") << QString();
        QTest::newRow("two lines") << QByteArray("https://e.com/a\nhttps://e.com/b\n") << QString();
        QTest::newRow("not an address") << QByteArray("http://[::1") << QString();
    }
    void addressFromFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, address);
        Sandbox box;
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), content);
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));

        QCOMPARE(model.tutorialURL(), std::nullopt);  // never before the queue has run
        QCOMPARE(queue->runAll(), address.isEmpty() ? 0 : 1);
        if (address.isEmpty())
            QCOMPARE(model.tutorialURL(), std::nullopt);
        else
            QCOMPARE(model.tutorialURL(), std::optional<QUrl>(QUrl(address)));
        // Nothing is printed beyond the two resource traces and the scan.
        for (const QString& line : box.lines())
            QVERIFY2(!line.startsWith(kCannotRead), qPrintable(line));
    }

    // An unreadable file: the default address, and one line with the reason.
    void unreadableFileGivesDefault_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("not UTF-8") << QStringLiteral("latin1");
        QTest::newRow("truncated UTF-8") << QStringLiteral("truncated");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("read fails") << QStringLiteral("fails");
    }
    void unreadableFileGivesDefault() {
        QFETCH(QString, how);
        Sandbox box;
        box.makeResourceDir({});
        const QString file = box.resourcePath() + QStringLiteral("/tutorial_url.txt");
        if (how == "latin1")
            box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/caf\xe9\n");
        if (how == "truncated")
            box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/\xe6\x95");
        if (how == "folder")
            box.makeResourceDir(QStringLiteral("tutorial_url.txt"));
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        if (how == "fails") {
            box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/\n");
            failing->fail(FailingFileSystem::Operation::readFile, file);
        }
        auto queue = std::make_shared<ManualQueue>();
        Platform platform = box.platform(queue);
        platform.fileSystem = failing;
        InstallerViewModel model(platform);

        const QStringList lines = box.lines();
        QCOMPARE(lines.filter(kCannotRead).size(), 1);
        QVERIFY2(lines.last().startsWith(kCannotRead) && lines.last().size() > kCannotRead.size(),
                 qPrintable(lines.last()));
        if (how == "fails")
            QCOMPARE(lines.last(), kCannotRead + QStringLiteral("injected failure (operation 8) at “%1”").arg(file));
        QCOMPARE(model.tutorialURL(), std::nullopt);
        QCOMPARE(queue->runAll(), 1);
        QCOMPARE(model.tutorialURL(), std::optional<QUrl>(defaultAddress()));
    }

    void defaultAddressIsAnAbsoluteWebAddress() {
        const QUrl url(QString::fromUtf8(makerWebsite), QUrl::StrictMode);
        QVERIFY(url.isValid());
        QVERIFY(!url.isRelative());
        QCOMPARE(url.scheme(), QStringLiteral("https"));
        QVERIFY(!url.host().isEmpty());
    }

    // Construction's whole trace: the resource trace a second time, then the reason.
    void missingFileTrace() {
        Sandbox box;
        box.makeResourceDir({});
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        const QStringList locate = resourceFoundTrace(QStringLiteral("com.example.installer"),
                                                      box.bundlePath(), box.resourcePath());
        const QStringList lines = box.lines();
        QCOMPARE(lines.size(), 5 + 10 + 5 + 1);
        QCOMPARE(lines.mid(15, 5), locate);
        QCOMPARE(maskValues(lines.mid(20), {kCannotRead}), QStringList{kCannotRead + QStringLiteral("…")});
        QVERIFY(lines.last().contains(QStringLiteral("tutorial_url.txt")));
    }

    void noResourceFolderLeavesAddressAbsentSilently() {
        Sandbox box;
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));
        QCOMPARE(box.lines().size(), 5 + 1 + 5);
        QCOMPARE(box.lines().last(), QStringLiteral("❌ 无法找到可用的资源路径"));
        QCOMPARE(queue->pending(), 0);
        QCOMPARE(model.tutorialURL(), std::nullopt);
    }

    // The fallback folder counts as the resource folder for the address too.
    void addressFromFallbackFolder() {
        Sandbox box;
        box.writeFile(QStringLiteral("Resources/tutorial_url.txt"), "https://fallback.example/\n");
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));
        queue->runAll();
        QCOMPARE(model.tutorialURL(), std::optional<QUrl>(QUrl(QStringLiteral("https://fallback.example/"))));
    }

    // The assignment is one notification on a later turn, and is dropped with the object.
    void deferredAssignment() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/\n");
        auto queue = std::make_shared<ManualQueue>();
        auto model = std::make_unique<InstallerViewModel>(box.platform(queue));
        QCOMPARE(queue->pending(), 1);
        QSignalSpy spy(model.get(), &InstallerViewModel::objectWillChange);
        std::optional<QUrl> seenBefore = QUrl(QStringLiteral("unset:"));
        QObject guard;
        connect(model.get(), &InstallerViewModel::objectWillChange, &guard,
                [&] { seenBefore = model->tutorialURL(); });
        queue->runAll();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(seenBefore, std::nullopt);  // announced before it is stored
        QCOMPARE(model->tutorialURL(), std::optional<QUrl>(QUrl(QStringLiteral("https://e.com/"))));

        model = std::make_unique<InstallerViewModel>(box.platform(queue));
        model.reset();
        QCOMPARE(queue->runAll(), 0);
    }

    // With the real main-thread queue: absent on return, present after one turn.
    void deferredAssignmentOnTheEventLoop() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/loop\n");
        InstallerViewModel model(box.platform());
        QCOMPARE(model.tutorialURL(), std::nullopt);
        QCoreApplication::processEvents();
        QCOMPARE(model.tutorialURL(), std::optional<QUrl>(QUrl(QStringLiteral("https://e.com/loop"))));
    }
};

QTEST_GUILESS_MAIN(TutorialUrl)
#include "tst_tutorial_url.moc"
