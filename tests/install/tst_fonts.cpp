// Fonts: what counts as installed, cut-short copies, refusals, the user's folder instead.
#include "install/Fonts.h"
#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// Copying a font named in `failing` leaves a partial file and fails; folders in `refused` fail with
// errno. Fonts are copied in beside their names first, so a refused copy is the refusal.
struct FontFileSystem : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    Failure createDirectories(const QString& path) override {
        if (auto error = refusal(path); error && type(path, true) == Type::missing)
            return error;
        return RealFileSystem::createDirectories(path);
    }
    Failure copyItem(const QString& from, const QString& to,
                     const CopyProgress& progress = {}) override {
        ++copies;
        if (auto error = refusal(to))
            return error;
        if (!failing.contains(lastComponent(from)))
            return RealFileSystem::copyItem(from, to, progress);
        QFile partial(to);
        if (partial.open(QIODevice::WriteOnly))
            partial.write("ne");
        return Error::saying(u"injected copy of "_s + lastComponent(from), ENOSPC);
    }
    Failure refusal(const QString& path) const {
        for (const auto& [folder, code] : refused)
            if (path == folder || path.startsWith(folder + u'/'))
                return Error::saying(u"injected refusal"_s, code);
        return std::nullopt;
    }
    QStringList failing;
    QList<std::pair<QString, int>> refused;
    int copies = 0;
};

// Each "path=content" written under `root`.
struct FontCase {
    QStringList pack;   // under the resource folder's Fonts
    QStringList system; // in the system fonts folder before
    QStringList user;   // in the user's fonts folder before
    int systemRefuses;  // errno of every change there, or 0
    bool userRefuses;
    QStringList failing; // fonts whose copy fails
    QString status;
    QStringList systemAfter; // as treeListing shows it
    QStringList userAfter;
    int copies;
    QStringList kept; // installed fonts of other bytes, never replaced
};

void lay(const Sandbox& box, const QString& root, const QStringList& files) {
    for (const QString& file : files)
        box.writeFile(root + u'/' + file.section(u'=', 0, 0), file.section(u'=', 1).toUtf8());
}

} // namespace

class FontsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void install_data() {
        QTest::addColumn<FontCase>("c");
        const QStringList pack{u"A.ttf=aaaa"_s, u".License.txt=l"_s, u"Family/B.otf=b"_s};
        const QStringList all{u"A.ttf = 61616161"_s, u"Family/"_s, u"Family/B.otf = 62"_s};
        const QString done = u"字体安装完成"_s;
        const QString inUser = u"字体已安装到当前用户的字体文件夹"_s;
        const QString refused = u"字体安装失败: injected refusal"_s;
        QTest::newRow("fresh: hidden entries left out, a sub-folder font by font")
            << FontCase(pack, {}, {}, 0, false, {}, done, all, {}, 2, {});
        QTest::newRow("same bytes: nothing copied") << FontCase(
            pack, {u"A.ttf=aaaa"_s, u"Family/B.otf=b"_s}, {}, 0, false, {}, done, all, {}, 0, {});
        QTest::newRow("other bytes under a font's name are kept; an old temporary is removed")
            << FontCase(
                   pack, {u"A.ttf=aa"_s, u"Family/.orvo-0123456789abcdef0123456789abcdef=ne"_s}, {},
                   0, false, {}, done, {u"A.ttf = 6161"_s, u"Family/"_s, u"Family/B.otf = 62"_s},
                   {}, 1, {u"A.ttf"_s});
        QTest::newRow("system folder denied, the user's own A.ttf of other bytes kept") << FontCase(
            pack, {}, {u"A.ttf=mine"_s}, EACCES, false, {}, inUser, {},
            {u"A.ttf = 6d696e65"_s, u"Family/"_s, u"Family/B.otf = 62"_s}, 1, {u"user:A.ttf"_s});
        // The first failure met names the status, whatever order the folder lists them in.
        QTest::newRow("two refused of three: the other still installed, no temporary left")
            << FontCase({u"A.ttf=aaaa"_s, u"B.ttf=b"_s, u"C.ttf=c"_s}, {}, {}, 0, false,
                        {u"B.ttf"_s, u"C.ttf"_s}, u"字体安装失败: injected copy of %first"_s,
                        {u"A.ttf = 61616161"_s}, {}, 3, {});
        QTest::newRow("system folder denied: the user's folder instead")
            << FontCase(pack, {}, {}, EACCES, false, {}, inUser, {}, all, 3, {});
        QTest::newRow("system folder read-only, one font already the user's")
            << FontCase(pack, {}, {u"Family/B.otf=b"_s}, EROFS, false, {}, inUser, {}, all, 2, {});
        QTest::newRow("every font already the user's: nothing asked of the system")
            << FontCase(pack, {}, {u"A.ttf=aaaa"_s, u"Family/B.otf=b"_s}, EACCES, false, {}, done,
                        {}, all, 0, {});
        QTest::newRow("system folder fails otherwise: reported, the user's left alone")
            << FontCase(pack, {}, {}, ENOSPC, false, {}, refused, {}, {}, 1, {});
        QTest::newRow("both refuse")
            << FontCase(pack, {}, {}, EPERM, true, {}, refused, {}, {}, 1, {});
    }

    void install() {
        QFETCH(FontCase, c);
        auto [pack, system, user, systemRefuses, userRefuses, failing, status, systemAfter,
              userAfter, copies, kept] = c;
        Sandbox box;
        box.makeResourceDir(u"Fonts"_s);
        lay(box, box.resourcePath() + u"/Fonts"_s, pack);
        lay(box, box.fontsPath(), system);
        lay(box, box.userFontsPath(), user);
        auto fs = std::make_shared<FontFileSystem>(box.homePath());
        fs->failing = failing;
        status.replace(u"%first"_s, QDir(box.resourcePath() + u"/Fonts"_s)
                                        .entryList(fs->failing, QDir::Files, QDir::Unsorted)
                                        .value(0));
        if (systemRefuses)
            fs->refused.append({box.fontsPath(), systemRefuses});
        if (userRefuses)
            fs->refused.append({box.userFontsPath(), EACCES});
        Platform platform = box.platform(std::make_shared<ManualQueue>());
        platform.fileSystem = fs;
        InstallerViewModel model(platform);
        box.clearLines();

        model.installFonts();
        QTRY_COMPARE(model.installationProgress(), status);
        QCOMPARE(treeListing(box.fontsPath()), systemAfter);
        QCOMPARE(treeListing(box.userFontsPath()), userAfter);
        QCOMPARE(fs->copies, copies);
        // Why the system folder was passed over goes to the trace, once.
        const bool passedOver =
            (systemRefuses == EACCES || systemRefuses == EROFS || systemRefuses == EPERM) &&
            copies > 0;
        const QString why = u"系统字体文件夹拒绝写入，字体改为安装到当前用户的字体文件夹: "
                            u"injected refusal"_s;
        QStringList expected = passedOver ? QStringList{why} : QStringList();
        for (const QString& font : kept)
            expected << u"已有同名字体，保持不变: "_s +
                            (font.startsWith(u"user:"_s) ? box.userFontsPath() + u'/' + font.mid(5)
                                                         : box.fontsPath() + u'/' + font);
        QCOMPARE(box.lines().filter(u"字体"_s), expected);
        // Once in place, in either folder, every font counts as installed.
        if (!status.startsWith(u"字体安装失败"_s)) {
            model.installFonts();
            QTRY_COMPARE(model.installationProgress(), u"字体安装完成"_s);
            QCOMPARE(fs->copies, copies);
        }
    }

    // Only regular files are opened; a link installs only when it leads to a pack file.
    void onlyRegularFilesAreOpened_data() {
        QTest::addColumn<QString>("font");    // "fifo", or "link:TARGET" (from Fonts/)
        QTest::addColumn<bool>("fifoThere");  // a FIFO where the font goes
        QTest::addColumn<QString>("failure"); // part of the reason, or empty
        QTest::addColumn<QStringList>("systemAfter");
        const QString notFile = u"不是普通文件"_s, notInPack = u"不是字体包内的普通文件"_s;
        QTest::newRow("FIFO in the pack") << u"fifo"_s << false << notFile << QStringList();
        QTest::newRow("FIFO where it goes: kept") << u"link:../Shared/F.ttf"_s << true << QString()
                                                  << QStringList{u"F.ttf (not a file)"_s};
        QTest::newRow("link into the pack")
            << u"link:../Shared/F.ttf"_s << false << QString() << QStringList{u"F.ttf = 66"_s};
        QTest::newRow("link out of the pack")
            << u"link:../../../../outside.ttf"_s << false << notInPack << QStringList();
        QTest::newRow("link beside the pack")
            << u"link:../../Resources-x/F.ttf"_s << false << notInPack << QStringList();
        QTest::newRow("link to a device")
            << u"link:/dev/zero"_s << false << notInPack << QStringList();
        QTest::newRow("dangling link") << u"link:gone.ttf"_s << false << notInPack << QStringList();
    }
    void onlyRegularFilesAreOpened() {
        QFETCH(QString, font);
        QFETCH(bool, fifoThere);
        QFETCH(QString, failure);
        QFETCH(QStringList, systemAfter);
        const Watchdog watchdog(60, "a font installation that opened a FIFO");
        Sandbox box;
        box.writeResourceFile(u"Shared/F.ttf"_s, "f");
        box.writeFile(u"outside.ttf"_s, "o");
        box.writeFile(box.resourcePath() + u"-x/F.ttf"_s, "o");
        const QString fonts = box.makeResourceDir(u"Fonts"_s);
        const QByteArray path = QFile::encodeName(fonts + u"/F.ttf"_s);
        if (font == u"fifo"_s)
            QVERIFY(::mkfifo(path.constData(), 0644) == 0);
        else
            QVERIFY(::symlink(font.mid(5).toUtf8().constData(), path.constData()) == 0);
        box.makeDir(box.fontsPath());
        if (fifoThere)
            QVERIFY(::mkfifo(QFile::encodeName(box.fontsPath() + u"/F.ttf"_s).constData(), 0644) ==
                    0);
        RealFileSystem fs(box.homePath());
        const FontReport report =
            installFonts(fs, fonts, {box.fontsPath(), box.userFontsPath()}, box.resourcePath());
        QCOMPARE(report.firstError.has_value(), !failure.isEmpty());
        if (report.firstError)
            QVERIFY2(report.firstError->description().contains(failure),
                     qPrintable(report.firstError->description()));
        QCOMPARE(treeListing(box.fontsPath()), systemAfter);
    }

    // Without resources nothing happens (without Fonts/: tst_language_switch).
    void noResources() {
        Sandbox box;
        InstallerViewModel bare(box.platform(std::make_shared<ManualQueue>()));
        bare.installFonts();
        QTest::qWait(50);
        QCOMPARE(bare.installationProgress(), QString());
    }
};

QTEST_GUILESS_MAIN(FontsTest)
#include "tst_fonts.moc"
