// Font installation: what counts as installed, copies cut short, fonts that cannot be written.
#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// The real file system, except that copying the font named `failing` writes part of its
// target, as a full disk leaves it, and fails.
struct FontFileSystem : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    Status copyItem(const QString& from, const QString& to) override {
        ++copies;
        if (failing.isEmpty() || lastComponent(from) != failing)
            return RealFileSystem::copyItem(from, to);
        QFile partial(to);
        if (partial.open(QIODevice::WriteOnly))
            partial.write("ne");
        return Error{u"injected copy of "_s + failing, ENOSPC};
    }
    QString failing;
    int copies = 0;
};

// Each "path=content" written under `root`.
void lay(const Sandbox& box, const QString& root, const QStringList& files) {
    for (const QString& file : files)
        box.writeFile(root + u'/' + file.section(u'=', 0, 0), file.section(u'=', 1).toUtf8());
}

} // namespace

class FontsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void install_data() {
        QTest::addColumn<QStringList>("pack");      // under the resource folder's Fonts
        QTest::addColumn<QStringList>("installed"); // in the system fonts folder before
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("after"); // the system folder, as treeListing shows it
        QTest::addColumn<int>("copies");
        const QStringList pack{u"A.ttf=aaaa"_s, u".License.txt=l"_s, u"Family/B.otf=b"_s};
        const QStringList all{u"A.ttf = 61616161"_s, u"Family/"_s, u"Family/B.otf = 62"_s};
        QTest::newRow("fresh: hidden entries left out, a sub-folder font by font")
            << pack << QStringList() << ""
            << "字体安装完成" << all << 2;
        QTest::newRow("same bytes: nothing copied")
            << pack << QStringList{u"A.ttf=aaaa"_s, u"Family/B.otf=b"_s} << ""
            << "字体安装完成" << all << 0;
        QTest::newRow("a copy cut short earlier is repaired, another font replaced")
            << pack << QStringList{u"A.ttf=aa"_s, u"Family/B.otf=c"_s} << ""
            << "字体安装完成" << all << 2;
        QTest::newRow("one refused of three: the others still installed, no temporary left")
            << QStringList{u"A.ttf=aaaa"_s, u"B.ttf=b"_s, u"C.ttf=c"_s} << QStringList() << "B.ttf"
            << "字体安装失败: injected copy of B.ttf"
            << QStringList{u"A.ttf = 61616161"_s, u"C.ttf = 63"_s} << 3;
    }

    void install() {
        QFETCH(QStringList, pack);
        QFETCH(QStringList, installed);
        QFETCH(QString, failing);
        QFETCH(QString, status);
        QFETCH(QStringList, after);
        QFETCH(int, copies);
        Sandbox box;
        box.makeResourceDir(u"Fonts"_s);
        lay(box, box.resourcePath() + u"/Fonts"_s, pack);
        lay(box, box.fontsPath(), installed);
        auto fs = std::make_shared<FontFileSystem>(box.homePath());
        fs->failing = failing;
        Platform platform = box.platform(std::make_shared<ManualQueue>());
        platform.fileSystem = fs;
        InstallerViewModel model(platform);

        model.installFonts();
        QCOMPARE(model.installationProgress(), status);
        QCOMPARE(treeListing(box.fontsPath()), after);
        QCOMPARE(fs->copies, copies);
        // Once in place, every font counts as installed.
        if (failing.isEmpty()) {
            model.installFonts();
            QCOMPARE(fs->copies, copies);
        }
    }

    // Without a resource folder nothing happens; without a Fonts folder the status says
    // which folder could not be read.
    void noFonts() {
        Sandbox box;
        InstallerViewModel bare(box.platform(std::make_shared<ManualQueue>()));
        bare.installFonts();
        QCOMPARE(bare.installationProgress(), QString());

        box.makeResourceDir(u"Titles"_s);
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        model.installFonts();
        const QString status = model.installationProgress();
        QVERIFY2(status.startsWith(u"字体安装失败: "_s) &&
                     status.contains(box.resourcePath() + u"/Fonts"_s),
                 qPrintable(status));
    }
};

QTEST_GUILESS_MAIN(FontsTest)
#include "tst_fonts.moc"
