// The icon writer, the bundle and package built under the maker's name, version and icon,
// and the built program's start-up trace on the demo pack.
#include "cli/Icns.h"
#include "support/TestPlatform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <map>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

// The entries of an icns file by type, or empty when its framing is broken.
std::map<QByteArray, QByteArray> icnsEntries(const QByteArray& icns) {
    auto length = [&](qsizetype at) { return qFromBigEndian<quint32>(icns.constData() + at); };
    if (icns.size() < 8 || !icns.startsWith("icns") || length(4) != icns.size())
        return {};
    std::map<QByteArray, QByteArray> entries;
    for (qsizetype at = 8; at < icns.size();) {
        if (at + 8 > icns.size() || length(at + 4) < 8 || at + length(at + 4) > icns.size())
            return {};
        entries[icns.mid(at, 4)] = icns.mid(at + 8, length(at + 4) - 8);
        at += length(at + 4);
    }
    return entries;
}

} // namespace

class BundleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void icnsHoldsEverySizeOfThePicture() {
        QImage picture(1200, 1200, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(0, 0, 600, 1200, Qt::red);
        const auto icns = icnsFromImage(picture);
        QVERIFY(std::holds_alternative<QByteArray>(icns));
        const auto entries = icnsEntries(std::get<QByteArray>(icns));
        const std::map<QByteArray, int> sizes{
            {"icp4", 16},  {"icp5", 32},  {"ic11", 32},  {"ic12", 64},  {"ic07", 128},
            {"ic13", 256}, {"ic08", 256}, {"ic14", 512}, {"ic09", 512}, {"ic10", 1024}};
        QCOMPARE(entries.size(), sizes.size());
        for (const auto& [type, size] : sizes) {
            QVERIFY2(entries.count(type), type.constData());
            const QImage image = QImage::fromData(entries.at(type), "PNG");
            QCOMPARE(image.size(), QSize(size, size));
            // Scaled, not cropped: the red half stays the left half, transparency stays.
            QCOMPARE(image.pixelColor(size / 4, size / 2), QColor(Qt::red));
            QCOMPARE(image.pixelColor(size * 3 / 4, size / 2).alpha(), 0);
        }
        // Read back for the window's icon: every size, and our own icon's classic entries.
        QList<int> sides; // negative where the picture's left half is not opaque
        for (const QByteArray& file :
             {std::get<QByteArray>(icns),
              contentOf(PLUGININSTALLER_SOURCE_DIR "/src/app/icons/AppIcon.icns")})
            for (const QImage& image : icnsImages(file))
                sides << (image.pixelColor(image.width() / 4, image.height() / 2).alpha() == 255
                              ? image.width()
                              : -image.width());
        std::sort(sides.begin(), sides.end());
        QCOMPARE(sides, (QList<int>{16, 16, 32, 32, 32, 64, 128, 128, 256, 256, 512, 512, 1024}));
        // Refused where it would have to scale up or crop.
        for (const QSize side : {QSize(), QSize(1023, 1023), QSize(1024, 1000)})
            QVERIFY2(
                std::holds_alternative<QString>(icnsFromImage(QImage(side, QImage::Format_ARGB32))),
                qPrintable(QString::number(side.width())));
    }

    void bundleCarriesTheMakersNameVersionAndIcon() {
        const QFileInfo executable(QStringLiteral(PLUGININSTALLER_EXECUTABLE));
        const QString name = PLUGININSTALLER_APP_NAME, version = PLUGININSTALLER_VERSION;
        const QDir contents(QDir::cleanPath(executable.absolutePath() + "/.."));
        QCOMPARE(executable.filePath().section('/', -4).split('/'),
                 QStringList({name + ".app", "Contents", "MacOS", name}));

        // Read where the program reads them.
        const QHash<QString, QString> plist = ExecutableBundle(executable.absolutePath()).info();
        QCOMPARE(plist["CFBundleExecutable"], name);
        QCOMPARE(plist["CFBundleIdentifier"], PLUGININSTALLER_BUNDLE_ID);
        QCOMPARE(plist["CFBundleShortVersionString"], version);
        QCOMPARE(plist["CFBundleVersion"], version);
        QCOMPARE(plist["CFBundleIconFile"], "AppIcon.icns");
        // The program's brand, every value of it there and usable.
        for (const QString& key : {Branding::makerNameKey(), Branding::makerUrlKey(),
                                   Branding::tutorialUrlKey(), Branding::displayNameKey()})
            QVERIFY2(plist.contains(key), qPrintable(key));
        QStringList problems;
        QCOMPARE(Branding::fromInfo(plist, problems).version, version);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));

        const QString icon = PLUGININSTALLER_ICON;
        const QByteArray installed = contentOf(contents.filePath("Resources/AppIcon.icns"));
        QVERIFY(!installed.isEmpty());
        QCOMPARE(installed, icon.endsWith(".png", Qt::CaseInsensitive)
                                ? std::get<QByteArray>(icnsFromImage(QImage(icon)))
                                : contentOf(icon));
    }

    // Each rebuild ships the pack as it is now, or stops naming the entry at fault (the check
    // itself: tst_make_installer).
    void packIsCheckedAndMirroredOnEveryBuild() {
        QTemporaryDir box;
        const QString pack = box.filePath("pack"), build = box.filePath("build");
        QString output;
        const auto cmake = [&](const QStringList& arguments) {
            QProcess process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(PLUGININSTALLER_CMAKE, arguments);
            process.waitForFinished(300000);
            output = QString::fromUtf8(process.readAll()).simplified();
            return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        };
        QVERIFY2(
            cmake({"-S", PLUGININSTALLER_SOURCE_DIR, "-B", build, "-G", PLUGININSTALLER_GENERATOR,
                   "-DPLUGININSTALLER_TESTS=OFF", "-DPLUGININSTALLER_PACK=" + pack,
                   "-DCMAKE_PREFIX_PATH=" PLUGININSTALLER_PREFIX_PATH}),
            qPrintable(output));
        // Each step: pack changes ("-path" removes), Resources after it, what the build says.
        const std::pair<QStringList, QStringList> steps[] = {
            {{"Titles/A/a=1", "Fonts/F.ttf=f", "插件位置.jpg=p", "tutorial_url.txt=https://e.com"},
             {"Fonts/F.ttf=f", "Titles/A/a=1", "tutorial_url.txt=https://e.com", "插件位置.jpg=p"}},
            {{"Titles/A/a=2", "Effects/B/b=b", "-Fonts", "-插件位置.jpg", "tutorial_url.txt=ftp:x",
              "Fonts/read me.txt=r"},
             {"Effects/B/b=b", "Fonts/read me.txt=r", "Titles/A/a=2", "tutorial_url.txt=ftp:x",
              " 插件位置.jpg: ", " tutorial_url.txt: ", " Fonts/read me.txt: "}},
            {{"-Titles", "-Effects"}, {"Titles/"}}};
        for (const auto& [changes, expected] : steps) {
            for (const QString& change : changes)
                QVERIFY(change.startsWith('-')
                            ? QFile::remove(pack + '/' + change.mid(1)) ||
                                  QDir(pack + '/' + change.mid(1)).removeRecursively()
                            : !writeFileAt(pack + '/' + change.section('=', 0, 0),
                                           change.section('=', 1).toUtf8())
                                   .isEmpty());
            const bool built = cmake({"--build", build, "--target", "pack_resources"});
            QCOMPARE(built, !expected.filter("=").isEmpty());
            for (const QString& said : expected)
                QVERIFY2(said.contains('=') || output.contains(said), qPrintable(output));
            const QString resources = build + "/PluginInstaller.app/Contents/Resources/";
            QStringList laid;
            for (QDirIterator it(resources, QDir::Files, QDirIterator::Subdirectories);
                 it.hasNext();)
                if (const QString path = it.next(); !path.endsWith("/AppIcon.icns"))
                    laid << path.mid(resources.size()) + '=' + contentOf(path);
            laid.sort();
            if (built)
                QCOMPARE(laid, expected.filter("="));
        }
    }

    // The built program on the demo pack prints its start-up trace on standard output.
    void startUpTraceOfTheDemoPack() {
        if (!PLUGININSTALLER_DEMO_PACK)
            QSKIP("the build lays another pack into the bundle");
        const QString executable = QFileInfo(PLUGININSTALLER_EXECUTABLE).canonicalFilePath();
        const QString bundle = QDir::cleanPath(QFileInfo(executable).absolutePath() + "/../..");
        const QString resources = bundle + "/Contents/Resources";
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(executable, {});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

        // 21 lines; read a moment longer for a complaint about the tutorial address.
        QByteArray output;
        QStringList trace;
        QDeadlineTimer deadline(120000);
        for (int more = 2;
             more > 0 && !deadline.hasExpired() && program.state() == QProcess::Running;) {
            program.waitForReadyRead(200);
            output += program.readAllStandardOutput();
            trace = QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (trace.size() >= 21 && output.endsWith('\n'))
                --more;
        }
        program.kill();
        program.waitForFinished();

        QStringList titles{"Lower Third", "Orvo 标题 Basic"};
        if (trace.value(7).contains(titles[1])) // within a kind the order is the file system's
            titles.swapItemsAt(0, 1);
        const QStringList scan = scanTrace(resources, "Titles", titles) +
                                 scanTrace(resources, "Effects", {"Orvo 光效 Glow"}) +
                                 scanTrace(resources, "Generators", {"Orvo Gradient 背景"}) +
                                 scanTrace(resources, "Transitions", {"Orvo 推移 Push"}) +
                                 QStringList{QStringLiteral("扫描完成，共找到 5 个文件夹")};
        const QStringList locate = locateTrace(
            QStringLiteral(PLUGININSTALLER_BUNDLE_ID), bundle, resources,
            R"(["AppIcon.icns", "Effects", "Fonts", "Generators", "Titles", "Transitions", )"
            R"("post.command", "tutorial_url.txt", "插件位置.en.jpg", "插件位置.jpg"])");
        // The tutorial address locates the resources again and reads its file without fault.
        QCOMPARE(maskPlatformWording(trace),
                 locate + QStringList{"资源目录权限: …"} + scan + locate);
        // The expected trace lists names as the program does; their separator, written out.
        static const QRegularExpression listed(
            QStringLiteral("^资源目录内容: \\[\"[^\"]+\"(, \"[^\"]+\")+\\]$"));
        QVERIFY2(listed.match(trace.value(4)).hasMatch(), qPrintable(trace.value(4)));
    }

    void packageIsNamedAfterTheInstaller() {
#ifdef Q_OS_MACOS
        QSKIP("the disk image is made and kept by the macOS workflow");
#endif
        const QString name = PLUGININSTALLER_APP_NAME,
                      stem = name + "-" PLUGININSTALLER_VERSION "-Linux";
        QTemporaryDir out;
        QProcess cpack;
        cpack.setWorkingDirectory(out.path());
        cpack.start(QStringLiteral(PLUGININSTALLER_CPACK),
                    {"--config", QStringLiteral(PLUGININSTALLER_BUILD_DIR "/CPackConfig.cmake"),
                     "-B", out.path()});
        QVERIFY(cpack.waitForFinished(120000));
        QVERIFY2(cpack.exitCode() == 0, cpack.readAll().constData());
        const QString tarball = out.filePath(stem + ".tar.gz");
        QVERIFY2(QFileInfo::exists(tarball), qPrintable(QDir(out.path()).entryList().join(' ')));
        QProcess tar;
        tar.start(QStringLiteral("tar"), {"tzf", tarball});
        QVERIFY(tar.waitForFinished());
        const QStringList listed = QString::fromUtf8(tar.readAllStandardOutput()).split('\n');
        for (const QString& file :
             QStringList{"MacOS/" + name, "Info.plist", "Resources/AppIcon.icns"})
            QVERIFY2(listed.contains(stem + '/' + name + ".app/Contents/" + file),
                     qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(BundleTest)
#include "tst_bundle.moc"
