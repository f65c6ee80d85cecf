// The state object's change notifications, and the edit of an item's new name.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"

#include <QtTest>

#include <functional>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class ViewModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // One notification per assignment, sent while the old value is still in place, also
    // when the new value equals the old one.
    void everyAssignmentNotifiesOnceBeforeStoring() {
        Sandbox box;
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        auto state = [&] {
            QString text;
            QDebug(&text) << model.folderItems().size() << model.showingImageAlert()
                          << model.hasFonts() << model.installationProgress()
                          << model.isInstalling() << model.tutorialURL().value_or(QUrl())
                          << model.showInstallationAlert();
            return text;
        };
        QCOMPARE(state(), QStringLiteral("0 false false \"\" false QUrl(\"\") false "));
        const FolderItem item(QUuid::createUuid(), "a", "a", FolderType::effects, "/r/Effects/a");
        const FolderItem other(QUuid::createUuid(), "o", "o", FolderType::titles, "/r/Titles/o");
        const QString edited = QStringLiteral(" 带 \"引号\" \\ ");
        const QList<std::function<void()>> assignments{
            [&] { model.setFolderItems({item}); },
            [&] { model.appendFolderItem(other); },
            [&] { model.setNewName(item.id(), edited); },
            [&] { model.setShowingImageAlert(true); },
            [&] { model.setHasFonts(true); },
            [&] { model.setInstallationProgress(QStringLiteral("开始安装...")); },
            [&] { model.setIsInstalling(true); },
            [&] { model.setTutorialURL(QUrl(QStringLiteral("https://e.com/"))); },
            [&] { model.setShowInstallationAlert(true); },
        };
        for (const auto& assign : assignments) {
            for (int round = 0; round < 2; ++round) {
                QStringList seen;
                QObject guard;
                connect(&model, &InstallerViewModel::objectWillChange, &guard,
                        [&] { seen << state(); });
                const QString before = state();
                assign();
                QCOMPARE(seen, QStringList{before});
            }
        }
        QCOMPARE(state(),
                 QStringLiteral("3 true true \"开始安装...\" true QUrl(\"https://e.com/\") true "));

        // The edit changes only newName of that item, kept as entered; unknown ids are ignored.
        model.setNewName(QUuid::createUuid(), QStringLiteral("x"));
        const FolderItem& first = model.folderItems()[0];
        QVERIFY(first.id() == item.id() && first.type == FolderType::effects);
        QCOMPARE((QStringList{first.originalName, first.newName, first.path}),
                 (QStringList{"a", edited, "/r/Effects/a"}));
        QCOMPARE(model.folderItems()[1].newName, QStringLiteral("o"));
    }
};

QTEST_GUILESS_MAIN(ViewModel)
#include "tst_view_model.moc"
