#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"

#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class Smoke : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scansDemoLikePack() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Effects/A"));
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://example.com/t\n");
        auto vm = std::make_shared<InstallerViewModel>(box.platform());
        QCOMPARE(vm->folderItems().size(), 1);
        QVERIFY(!vm->tutorialURL());
        QTRY_VERIFY(vm->tutorialURL().has_value());
        QCOMPARE(vm->tutorialURL()->toString(), QStringLiteral("https://example.com/t"));
    }
};

QTEST_GUILESS_MAIN(Smoke)
#include "tst_smoke.moc"
