// A maker's installer made from the built one without a compiler: the pack check, the values
// read back from Info.plist, the bundle --make-installer makes and what it refuses.
#include "cli/Icns.h"
#include "install/PackCheck.h"
#include "model/InstallerViewModel.h"
#include "platform/InfoPlist.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"
#include "ui/ContentView.h"
#include "ui/PluginInstallerApp.h"

#include <QAccessible>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome run(const QString& program, const QStringList& arguments, const QString& home = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    if (!home.isEmpty()) {
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/data");
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Outcome outcome;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        outcome.status = process.exitCode();
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

// A name HFS+ takes (255 UTF-16 units) and no other volume can be given: 300 bytes in UTF-8.
struct LongNameVolume : RealFileSystem {
    Result<std::vector<Entry>> entries(const QString& dir, bool withHidden) const override {
        auto entries = RealFileSystem::entries(dir, withHidden);
        if (entries && dir.endsWith("/Effects")) {
            auto list = entries.value();
            list.push_back({dir + '/' + QString(100, QChar(0x540D)), FileReader::Type::folder});
            return list;
        }
        return entries;
    }
};

} // namespace

class MakeInstaller : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    const QString m_built = QStringLiteral(PLUGININSTALLER_EXECUTABLE);

    // Three templates, a font and a script that says it ran.
    QString makePack(const QString& name) {
        const QString pack = m_root.filePath(name);
        for (const char* file : {"Titles/Lower Third/a.moti", "Effects/Glow/b.moef",
                                 "Generators/Grad/c.motn", "Fonts/Maker.otf", "插件位置.jpg"})
            writeFileAt(pack + '/' + QString::fromUtf8(file), file);
        writeFileAt(pack + "/post.command", "echo ran > \"$HOME/script-ran\"\n");
        return pack;
    }

private Q_SLOTS:
    void packCheckFindsWhatTheInstallerWouldRefuseOrLack_data() {
        QTest::addColumn<QStringList>("files"); // path[=content] in the pack; "-path" removes
        QTest::addColumn<QStringList>("found"); // "error|warning entry"
        const auto row = [](const char* name, const QStringList& files, const QStringList& found) {
            QTest::newRow(name) << files << found;
        };
        row("complete", {"tutorial_url.txt=https://e.com/t"}, {});
        row("no template folder", {"-Titles", "-Effects", "-Generators", "Titles/loose file"},
            {"error "});
        row("name no folder can have", {"long name"}, {"error Effects/" + QString(100, u'名')});
        row("no location picture", {"-插件位置.jpg"}, {"warning 插件位置.jpg"});
        row("tutorial address not the web", {"tutorial_url.txt=ftp://e.com/t"},
            {"warning tutorial_url.txt"});
        row("not fonts", {"Fonts/read me.txt", "Fonts/sub/Bold.TTF", "Fonts/sub/x.woff"},
            {"warning Fonts/read me.txt", "warning Fonts/sub/x.woff"});
    }
    void packCheckFindsWhatTheInstallerWouldRefuseOrLack() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, found);
        const QString pack = makePack("check-" + QString(QTest::currentDataTag()));
        std::unique_ptr<FileSystem> fs = std::make_unique<RealFileSystem>();
        for (const QString& file : files) {
            if (file == "long name")
                fs = std::make_unique<LongNameVolume>();
            else if (file.startsWith('-'))
                QVERIFY(QFile::remove(pack + '/' + file.mid(1)) ||
                        QDir(pack + '/' + file.mid(1)).removeRecursively());
            else
                writeFileAt(pack + '/' + file.section('=', 0, 0), file.section('=', 1).toLatin1());
        }
        QStringList said;
        for (const PackFinding& finding : checkPack(*fs, pack)) {
            said << (finding.severity == PackFinding::Severity::error ? "error " : "warning ") +
                        finding.entry;
            QVERIFY(!finding.text.isEmpty());
        }
        QCOMPARE(said, found);
    }

    // Each value as the bundle's Info.plist gives it; an unusable one keeps the default.
    void brandingReadFromInfoPlist() {
        const QStringList keys{"CFBundleDisplayName", "PluginInstallerMakerName",
                               "PluginInstallerMakerURL", "PluginInstallerTutorialURL",
                               "CFBundleShortVersionString"};
        const QStringList usable{"My Templates", "Example & Co <x>", "http://e.com:8080/a?b",
                                 "https://e.com/t", "10.0.3"};
        const QStringList unusable{"My\nTemplates", " ", "file:///etc", "javascript:x", "1.2.3.4"};
        const auto fields = [](const Branding& b) {
            return QStringList{b.displayName, b.makerName, b.makerUrl.toString(),
                               b.tutorialUrl.toString(), b.version};
        };
        for (const QStringList& values : {usable, unusable}) {
            // Written by the bundle's own writer, read back where the program reads it.
            InfoPlist plist = *InfoPlist::parse("<plist><dict><key>LSUIElement</key><true/>"
                                                "</dict></plist>");
            for (qsizetype i = 0; i < keys.size(); ++i)
                plist.setString(keys[i], values[i]);
            const QString contents = m_root.filePath(values[0].simplified() + ".app/Contents");
            QDir().mkpath(contents + "/MacOS");
            QVERIFY(!plist.write(contents + "/Info.plist"));
            QVERIFY(contentOf(contents + "/Info.plist").contains("<true/>"));
            QStringList problems;
            const Branding read =
                Branding::fromInfo(ExecutableBundle(contents + "/MacOS").info(), problems);
            QCOMPARE(fields(read), values == usable ? usable : fields(Branding::defaults()));
            QCOMPARE(problems.size(), values == usable ? 0 : keys.size());
            for (const QString& key : keys)
                QVERIFY2(problems.filter(key).size() == problems.size() / keys.size(),
                         qPrintable(problems.join('\n')));
        }
    }

    // The maker's one command, then the made installer on its own: it lists and installs its
    // pack and shows the maker's name and version in its window.
    void madeInstallerServesItsMaker() {
        const QString pack = makePack("pack"), out = m_root.filePath("out");
        const QString png = PLUGININSTALLER_SOURCE_DIR "/src/app/icons/AppIcon-1024.png";
        const QStringList asked =
            ("--make-installer|" + pack + "|--out|" + out +
             "|--app-name|Maker Installer|--display-name|My Templates|--maker-name|Example Studio"
             "|--maker-url|https://example.com/|--version|3.1|--tar|--icon|" +
             png)
                .split('|');
        const Outcome made = run(m_built, asked);
        QVERIFY2(made.status == 0, qPrintable(made.err));
        const QString bundle = out + "/Maker Installer.app";
        const QString tarball = out + "/Maker Installer-3.1-Linux.tar.gz";
        QCOMPARE(made.out.split('\n', Qt::SkipEmptyParts),
                 (QStringList{"已制作: " + bundle, "已制作: " + tarball}));
        QVERIFY(treeListing(out).filter(".orvo-").isEmpty());
        QVERIFY(run("tar", {"tzf", tarball})
                    .out.contains("Maker Installer-3.1-Linux/Maker Installer.app/Contents/MacOS/"
                                  "Maker Installer\n"));
        QCOMPARE(contentOf(bundle + "/Contents/Resources/AppIcon.icns"),
                 std::get<QByteArray>(icnsFromImage(QImage(png))));
        // The resources are the pack: nothing of the demo pack the built bundle carries.
        QCOMPARE(treeListing(bundle + "/Contents/Resources")
                     .filter(QRegularExpression("^(?!AppIcon.icns)")),
                 treeListing(pack));

        const QString executable = bundle + "/Contents/MacOS/Maker Installer";
        const QString home = m_root.filePath("home");
        QDir().mkpath(home);
        QCOMPARE(run(executable, {"--version"}).out.trimmed(), "Maker Installer 3.1");
        const Outcome listed = run(executable, {"--list"}, home);
        QCOMPARE(listed.out.split('\n', Qt::SkipEmptyParts),
                 (QStringList{"Titles\tLower Third\tnew", "Effects\tGlow\tnew",
                              "Generators\tGrad\tnew"}));
        const Outcome installed = run(executable, {"--install"}, home);
        QVERIFY2(installed.status == 0, qPrintable(installed.err));
        const QString templates = home + "/Movies/Motion Templates.localized/";
        QCOMPARE(contentOf(templates + "Effects.localized/Glow/b.moef"), "Effects/Glow/b.moef");
        QCOMPARE(contentOf(home + "/script-ran"), "ran\n");

        // The window of the made bundle, its brand read where the program reads it.
        const Platform platform = Platform::real(
            {.home = home,
             .bundle = std::make_shared<ExecutableBundle>(bundle + "/Contents/MacOS")});
        auto viewModel = std::make_shared<InstallerViewModel>(platform);
        InstallerWindow window(viewModel, UiServices::real(platform.branding, platform.fileSystem));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList shown;
        for (QWidget* widget : window.findChildren<QWidget*>())
            if (widget->isVisible())
                shown << QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        for (const QString said : {"My Templates", "模板设计与制作：Example Studio", "版本 3.1",
                                   "最新版本发布于 example.com"})
            QVERIFY2(shown.contains(said), qPrintable(shown.join(" | ")));
        QCOMPARE(window.windowTitle(), "My Templates");
        QCOMPARE(viewModel->folderItems().size(), 3);
        QVERIFY(viewModel->hasFonts());
    }

    // Refused before anything is written: the output folder stays as it was.
    void refusals_data() {
        QTest::addColumn<QStringList>("arguments"); // after PACK; OUT is the output folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // on standard error
        // "--out OUT" goes before the arguments of a row that names no --out of its own.
        const std::tuple<const char*, QStringList, int, const char*> rows[] = {
            {"no --out", {}, 2, "--out"},
            {"site not the web", {"--maker-url", "ftp://e.com"}, 2, "ftp://e.com"},
            {"tutorial without host", {"--tutorial-url", "https://"}, 2, "--tutorial-url"},
            {"four numbers", {"--version", "1.2.3.4"}, 2, "1.2.3.4"},
            {"two lines", {"--display-name", "a\nb"}, 2, "--display-name"},
            {"app name climbs", {"--app-name", "../x"}, 2, "../x"},
            {"app name hidden", {"--app-name", ".x"}, 2, ".x"},
            {"app name colon", {"--app-name", "a:b"}, 2, "a:b"},
            {"identifier with space", {"--bundle-id", "com.e x"}, 2, "com.e x"},
            {"icon too small", {"--icon", "small.png"}, 2, "small.png"},
            {"icon missing", {"--icon", "none.icns"}, 2, "none.icns"},
            {"signing off macOS", {"--sign", "Me"}, 2, "--sign"},
            {"existing output", {"exists"}, 2, "PluginInstaller.app"},
            {"into the running bundle", {"--out", "BUILT"}, 2, "--out"},
            {"pack without templates", {"empty pack"}, 1, "Titles/"}};
        for (const auto& [tag, arguments, status, said] : rows)
            QTest::newRow(tag) << (arguments.isEmpty() || arguments.contains("--out")
                                       ? arguments
                                       : QStringList{"--out", "OUT"} + arguments)
                               << status << QString(said);
    }

    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir box;
        QString pack = makePack("refused");
        const QString out =
            arguments.contains("BUILT") ? QFileInfo(m_built).absolutePath() : box.filePath("out");
        arguments.replaceInStrings(QRegularExpression("^(OUT|BUILT)$"), out);
        QDir().mkpath(box.filePath("out"));
        QImage(16, 16, QImage::Format_ARGB32).save(box.filePath("out/small.png"));
        if (arguments.removeOne("exists"))
            writeFileAt(out + "/PluginInstaller.app/Contents/Info.plist", "mine");
        if (arguments.removeOne("empty pack"))
            QDir().mkpath(pack = box.filePath("empty"));
        const QStringList before = treeListing(out);
        QDir::setCurrent(box.filePath("out"));
        const Outcome refused = run(m_built, QStringList{"--make-installer", pack} + arguments);
        QCOMPARE(refused.status, status);
        QVERIFY2(refused.err.contains(said), qPrintable(refused.err));
        QCOMPARE(treeListing(out), before);
    }

    // A step that fails midway leaves what was there as it was and nothing half made; --force
    // then puts the new bundle in place of the old one.
    void failedStepLeavesNoHalfMadeBundle() {
        const QString pack = makePack("fifo pack"), out = m_root.filePath("out-failed");
        writeFileAt(out + "/PluginInstaller.app/Contents/Info.plist", "older");
        QCOMPARE(::mkfifo(QFile::encodeName(pack + "/Titles/Lower Third/pipe").constData(), 0600),
                 0);
        const QStringList before = treeListing(out);
        const Outcome failed = run(m_built, {"--make-installer", pack, "--out", out, "--force"});
        QCOMPARE(failed.status, 1);
        QVERIFY2(failed.err.contains("pipe"), qPrintable(failed.err));
        QCOMPARE(treeListing(out), before);

        QFile::remove(pack + "/Titles/Lower Third/pipe");
        const Outcome replaced = run(m_built, {"--make-installer", pack, "--out", out, "--force"});
        QVERIFY2(replaced.status == 0, qPrintable(replaced.err));
        QVERIFY(contentOf(out + "/PluginInstaller.app/Contents/Info.plist").contains("<plist"));
        QVERIFY(treeListing(out).filter(".orvo-").isEmpty());
    }

    // What macOS would run, shown on any system, with nothing written.
    void dryRunShowsTheSigningAndDiskImageCommands() {
        const QString pack = makePack("dry pack"), out = m_root.filePath("dry");
        const Outcome shown =
            run(m_built, {"--make-installer", pack, "--out", out, "--app-name", "Dry", "--sign",
                          "Developer ID Application: Maker (TEAM42)", "--dmg", "--dry-run"});
        QVERIFY2(shown.status == 0, qPrintable(shown.err));
        QVERIFY(!QFileInfo::exists(out));
        for (const QString& command : QStringList{
                 "codesign --force --options runtime --timestamp --sign "
                 "'Developer ID Application: Maker (TEAM42)' ",
                 "/Dry-1.0.0/Dry.app\n", "hdiutil create -volname Dry -srcfolder ", "-format UDZO ",
                 "xcrun notarytool submit " + out +
                     "/Dry-1.0.0.dmg --apple-id APPLE_ID --team-id "
                     "TEAM42"})
            QVERIFY2(shown.out.contains(command), qPrintable(shown.out));
    }
};

QTEST_MAIN(MakeInstaller)
#include "tst_make_installer.moc"
