// Faults an installation must survive: a failure at any one file operation, and names that
// are awkward or unusable.
#include "model/InstallerViewModel.h"
#include "support/EngineSupport.h"
#include "support/TestPlatform.h"

#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

const QString templates = QStringLiteral("/Movies/Motion Templates.localized/");

// Fails the nth change (counting from 1) asked of the file system once armed.
struct NthFailure {
    int failAt = 0;
    int count = 0;
    bool armed = false;
    QString failedOperation;
};

struct Fixture {
    Sandbox box;
    std::shared_ptr<SteppingQueue> queue = std::make_shared<SteppingQueue>();
    std::shared_ptr<NthFailure> failure = std::make_shared<NthFailure>();
    std::shared_ptr<InstallerViewModel> model;
    QStringList progress;  // every status text the run showed, in order

    explicit Fixture(int failAt = 0) { failure->failAt = failAt; }

    // Three plug-ins; the effect was installed before and holds a file of the user's own.
    void layOut() {
        box.writeResourceFile("Titles/Title One/title.moti", "title v2");
        box.writeResourceFile("Titles/Title One/Media/a.png", "png v2");
        box.writeResourceFile("Effects/Glow/glow.moef", "glow v2");
        box.writeResourceFile("Effects/Glow/Media/b.png", "b v2");
        box.writeResourceFile("Transitions/Push/push.motr", "push v2");
        box.writeFile("home" + templates + "Effects.localized/Glow/glow.moef", "glow v1");
        box.writeFile("home" + templates + "Effects.localized/Glow/Media/b.png", "b v1");
        box.writeFile("home" + templates + "Effects.localized/Glow/mine.txt", "user's own");
    }

    void start() {
        Platform platform = box.platform(queue);
        auto state = failure;
        platform.fileSystem = std::make_shared<HookedFileSystem>(
            platform.fileSystem, [state](const QString& operation, const QString&, const QString&) -> Status {
                if (!state->armed || ++state->count != state->failAt)
                    return std::nullopt;
                state->failedOperation = operation;
                return Error{QStringLiteral("injected failure of %1").arg(operation)};
            });
        platform.processRunner = std::make_shared<FakeProcessRunner>(queue);
        model = std::make_shared<InstallerViewModel>(platform);
        while (queue->runOne()) {}
        QObject::connect(model.get(), &InstallerViewModel::objectWillChange, model.get(), [this] {
            // Announced before the change: record the text that is being replaced.
            if (progress.isEmpty() || progress.last() != model->installationProgress())
                progress << model->installationProgress();
        });
        failure->armed = true;
    }

    void run() {
        model->installPlugins();
        while (queue->runOne()) {}
        progress << model->installationProgress();
    }

    QString installed(const QString& relative) const { return box.homePath() + templates + relative; }
};

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class InstallFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyFileOperationMayFail() {
        Fixture clean;
        clean.layOut();
        clean.start();
        clean.run();
        const int operations = clean.failure->count;
        QVERIFY2(operations >= 6, qPrintable(QString::number(operations)));
        QCOMPARE(clean.model->installationSummary().failedCount, 0);

        for (int n = 1; n <= operations; ++n) {
            Fixture f(n);
            f.layOut();
            f.start();
            f.run();
            const QString label = QStringLiteral("failing change %1 (%2)").arg(n).arg(f.failure->failedOperation);

            // The run always reaches its final state.
            QVERIFY2(!f.model->isInstalling(), qPrintable(label));
            QCOMPARE(f.model->installationProgress(), QStringLiteral("安装完成！"));
            QVERIFY2(f.model->showInstallationAlert(), qPrintable(label));
            QCOMPARE(f.model->installationSummary().itemCount, 3);
            QCOMPARE(f.model->installationSummary().failedCount, 1);

            // The diagnostics and the status name the item and the error.
            QStringList failedLines;
            for (const QString& line : f.box.lines())
                if (line.startsWith("处理项目失败: "))
                    failedLines << line;
            QCOMPARE(failedLines.size(), 1);
            QVERIFY2(failedLines[0].contains("injected failure"), qPrintable(failedLines[0]));
            const QString item = failedLines[0].section(", 错误: ", 0, 0).mid(QString("处理项目失败: ").size());
            QVERIFY2(QStringList({"Title One", "Glow", "Push"}).contains(item), qPrintable(item));
            QVERIFY2(f.progress.contains("安装 " + item + " 失败: injected failure of " + f.failure->failedOperation),
                     qPrintable(label + ": " + f.progress.join(" / ")));

            // Nothing installed before is lost: each file holds its old or its new content.
            const QByteArray glow = contentOf(f.installed("Effects.localized/Glow/glow.moef"));
            QVERIFY2(glow == "glow v1" || glow == "glow v2", qPrintable(label));
            const QByteArray media = contentOf(f.installed("Effects.localized/Glow/Media/b.png"));
            QVERIFY2(media == "b v1" || media == "b v2", qPrintable(label));
            QCOMPARE(contentOf(f.installed("Effects.localized/Glow/mine.txt")), QByteArray("user's own"));

            // The items that did not fail are complete.
            if (item != "Push")
                QCOMPARE(contentOf(f.installed("Transitions.localized/Push/push.motr")), QByteArray("push v2"));
            if (item != "Title One")
                QCOMPARE(contentOf(f.installed("Titles.localized/Title One/Media/a.png")), QByteArray("png v2"));
        }
    }

    void awkwardNamesAreInstalledOrRefusedClearly() {
        Fixture f;
        const QByteArray quoted = "say \"hi\" \\ back";
        const QByteArray newline = "two\nlines";
        f.box.writeResourceFile("Titles/" + quoted + "/t.moti", "q");
        f.box.writeResourceFile("Titles/" + newline + "/t.moti", "n");
        // A name that is not UTF-8 cannot be shown as stored; it must not take others down.
        const std::string badName = std::string("bad\xff\xfe");
        const std::filesystem::path bad = std::filesystem::path(f.box.resourcePath().toStdString()) / "Effects" / badName;
        std::filesystem::create_directories(bad);
        std::ofstream(bad / "e.moef") << "e";
        f.box.writeResourceFile("Generators/Long/g.motn", "g");
        f.start();
        QCOMPARE(f.model->folderItems().size(), 4);

        // A name longer than any file system allows.
        QList<FolderItem> items = f.model->folderItems();
        for (FolderItem& item : items)
            if (item.originalName == "Long")
                item.newName = QString(300, QLatin1Char('x'));
        f.model->setFolderItems(items);
        f.run();

        QCOMPARE(contentOf(f.installed("Titles.localized/" + QString::fromUtf8(quoted) + "/t.moti")), QByteArray("q"));
        QCOMPARE(contentOf(f.installed("Titles.localized/" + QString::fromUtf8(newline) + "/t.moti")), QByteArray("n"));
        QCOMPARE(f.model->installationProgress(), QStringLiteral("安装完成！"));
        QVERIFY(f.model->showInstallationAlert());

        const int failed = f.model->installationSummary().failedCount;
        QVERIFY2(failed >= 1 && failed <= 2, qPrintable(QString::number(failed)));
        QStringList failures;
        for (const QString& line : f.box.lines())
            if (line.startsWith("处理项目失败: "))
                failures << line;
        QCOMPARE(failures.size(), failed);
        for (const QString& line : failures)
            QVERIFY2(line.section(", 错误: ", 1).size() > 10, qPrintable(line));  // says why
        QVERIFY(std::any_of(failures.begin(), failures.end(),
                            [](const QString& line) { return line.startsWith("处理项目失败: Long, 错误: "); }));
        std::filesystem::remove_all(bad);  // Qt cannot name it to clean it up
    }
};

QTEST_GUILESS_MAIN(InstallFaults)
#include "tst_install_faults.moc"
