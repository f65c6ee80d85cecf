// The state object: initial values, construction order, change notifications, item edits.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"
#include "support/Trace.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class ViewModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void constructionWithoutResourcesKeepsDefaults() {
        Sandbox box;
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));
        QVERIFY(model.folderItems().isEmpty());
        QCOMPARE(model.showingImageAlert(), false);
        QCOMPARE(model.hasFonts(), false);
        QCOMPARE(model.installationProgress(), QString());
        QCOMPARE(model.isInstalling(), false);
        QCOMPARE(model.tutorialURL(), std::nullopt);
        QCOMPARE(model.showInstallationAlert(), false);
        QCOMPARE(queue->runAll(), 0);
        QCOMPARE(model.tutorialURL(), std::nullopt);
    }

    // Scan first (with its own resource trace), then the tutorial address (with another).
    void constructionRunsScanThenTutorial() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/T"));
        box.writeResourceFile(QStringLiteral("Fonts/a.ttf"));
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/\n");
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));

        const QString r = box.resourcePath();
        const QStringList locate =
            resourceFoundTrace(QStringLiteral("com.example.installer"), box.bundlePath(), r);
        const QStringList scan{
            QStringLiteral("资源目录权限: …"),
            QStringLiteral("正在扫描文件夹: ") + r + "/Titles",
            QStringLiteral("找到文件夹: T in Titles"),
            QStringLiteral("正在扫描文件夹: ") + r + "/Effects",
            QStringLiteral("无法访问文件夹: ") + r + "/Effects",
            QStringLiteral("正在扫描文件夹: ") + r + "/Generators",
            QStringLiteral("无法访问文件夹: ") + r + "/Generators",
            QStringLiteral("正在扫描文件夹: ") + r + "/Transitions",
            QStringLiteral("无法访问文件夹: ") + r + "/Transitions",
            QStringLiteral("扫描完成，共找到 1 个文件夹"),
        };
        QCOMPARE(maskValues(box.lines(), {QStringLiteral("资源目录权限: ")}), locate + scan + locate);
        QCOMPARE(model.folderItems().size(), 1);
        QVERIFY(model.hasFonts());
        QCOMPARE(model.tutorialURL(), std::nullopt);
        queue->runAll();
        QCOMPARE(model.tutorialURL(), std::optional<QUrl>(QUrl(QStringLiteral("https://e.com/"))));
    }

    // One notification per assignment, sent before the value is stored, also for an equal value.
    void everySetterNotifiesOnceBeforeStoring() {
        Sandbox box;
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        const FolderItem item(QUuid::createUuid(), "a", "a", FolderType::effects, "/r/Effects/a");
        struct Property {
            const char* name;
            std::function<void()> assign;
            std::function<QString()> read;
        };
        const QList<Property> properties{
            {"folderItems", [&] { model.setFolderItems({item}); },
             [&] { return QString::number(model.folderItems().size()); }},
            {"folderItems (append)", [&] { model.appendFolderItem(item); },
             [&] { return QString::number(model.folderItems().size()); }},
            {"showingImageAlert", [&] { model.setShowingImageAlert(true); },
             [&] { return QString::number(model.showingImageAlert()); }},
            {"hasFonts", [&] { model.setHasFonts(true); }, [&] { return QString::number(model.hasFonts()); }},
            {"installationProgress", [&] { model.setInstallationProgress(QStringLiteral("开始安装...")); },
             [&] { return model.installationProgress(); }},
            {"isInstalling", [&] { model.setIsInstalling(true); },
             [&] { return QString::number(model.isInstalling()); }},
            {"tutorialURL", [&] { model.setTutorialURL(QUrl(QStringLiteral("https://e.com/"))); },
             [&] { return model.tutorialURL() ? model.tutorialURL()->toString() : QString(); }},
            {"showInstallationAlert", [&] { model.setShowInstallationAlert(true); },
             [&] { return QString::number(model.showInstallationAlert()); }},
        };
        for (const Property& property : properties) {
            for (int round = 0; round < 2; ++round) {  // the second assigns an equal value
                const QString before = property.read();
                QString seen = QStringLiteral("(no notification)");
                int count = 0;
                QObject guard;
                connect(&model, &InstallerViewModel::objectWillChange, &guard, [&] {
                    seen = property.read();
                    ++count;
                });
                property.assign();
                QVERIFY2(count == 1, property.name);
                QVERIFY2(seen == before, property.name);
            }
        }
        QCOMPARE(model.installationProgress(), QStringLiteral("开始安装..."));
    }

    // A name edit changes only newName of that item, and assigns the whole list once.
    void editingNewNameKeepsTheRest_data() {
        QTest::addColumn<QString>("newName");
        QTest::newRow("plain") << QStringLiteral("B");
        QTest::newRow("empty stays empty") << QString();
        QTest::newRow("untrimmed") << QStringLiteral("  带 \"引号\" \\ ");
    }
    void editingNewNameKeepsTheRest() {
        QFETCH(QString, newName);
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Effects/A"));
        box.makeResourceDir(QStringLiteral("Generators/G"));
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        const QList<FolderItem> before = model.folderItems();
        QCOMPARE(before.size(), 2);

        QSignalSpy spy(&model, &InstallerViewModel::objectWillChange);
        model.setNewName(before[0].id(), newName);
        QCOMPARE(spy.count(), 1);
        const QList<FolderItem> after = model.folderItems();
        QCOMPARE(after.size(), 2);
        QCOMPARE(after[0].id(), before[0].id());
        QCOMPARE(after[0].originalName, QStringLiteral("A"));
        QCOMPARE(after[0].newName, newName);
        QCOMPARE(after[0].type, FolderType::effects);
        QCOMPARE(after[0].path, before[0].path);
        QCOMPARE(after[1].id(), before[1].id());
        QCOMPARE(after[1].newName, QStringLiteral("G"));
        QCOMPARE(before[0].newName, QStringLiteral("A"));  // earlier copies are values

        model.setNewName(QUuid::createUuid(), QStringLiteral("x"));  // unknown id
        QCOMPARE(model.folderItems()[0].newName, newName);
    }
};

QTEST_GUILESS_MAIN(ViewModel)
#include "tst_view_model.moc"
