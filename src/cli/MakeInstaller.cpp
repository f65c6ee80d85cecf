#include "cli/MakeInstaller.h"

#include "base/Branding.h"
#include "cli/Commands.h"
#include "cli/Icns.h"
#include "cli/Packaging.h"
#include "install/PackCheck.h"
#include "install/SafeWrite.h"
#include "install/TemplateInstaller.h"
#include "platform/FileSystem.h"
#include "platform/InfoPlist.h"
#include "platform/Worker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QRegularExpression>

#include <memory>

namespace Orvoinstaller {

namespace {

// Says the words of --make-installer.
struct MakeInstaller {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::MakeInstaller)
};

QString commandLine(const ProcessRequest& request) {
    QStringList words{shellQuoted(request.program)};
    for (const QString& argument : request.arguments)
        words << shellQuoted(argument);
    return words.join(QLatin1Char(' '));
}

// What the maker asked for, checked.
struct Request {
    QString pack, out;
    QString displayName, appName, bundleId, makerName, makerUrl, tutorialUrl, version;
    QString icon; // empty: the running bundle's own
    QString identity;
    bool dmg = false, tar = false, force = false, dryRun = false;
};

// Where everything goes: built inside a temporary folder of `out`, moved in at the end.
struct Layout {
    QString source;    // the running bundle
    QString temporary; // inside `out`, removed in the end whatever happened
    QString stem;      // the package's name without its extension, as the package target's
    QString packageExtension;
    QString appName, out;

    QString stage() const { return joinPath(temporary, stem); }
    QString made() const { return joinPath(stage(), appName + QStringLiteral(".app")); }
    QString madePackage() const { return joinPath(temporary, stem + packageExtension); }
    QString bundle() const { return joinPath(out, appName + QStringLiteral(".app")); }
    QString package() const { return joinPath(out, stem + packageExtension); }
};

// The work that touches the disk runs on the worker thread; this one waits for it.
template <typename Work> auto offMainThread(Worker& worker, Work work) -> decltype(work()) {
    std::optional<decltype(work())> result;
    QEventLoop loop;
    worker.post([&] {
        result = work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    return std::move(*result);
}

ProcessOutcome runAndWait(ProcessRunner& runner, const ProcessRequest& request) {
    ProcessOutcome outcome;
    QEventLoop loop;
    QObject context;
    runner.run(request, &context, [&](ProcessOutcome done) {
        outcome = std::move(done);
        loop.quit();
    });
    loop.exec();
    return outcome;
}

// Nested code first, the bundle last, as notarisation asks; "-" signs for this Mac alone.
// Nested code is looked for in `source`, the bundle the made one is a copy of.
QList<ProcessRequest> signing(const FileReader& fs, const QString& source, const QString& bundle,
                              const QString& identity) {
    QStringList nested;
    const std::function<void(const QString&)> find = [&](const QString& folder) {
        const auto entries = fs.entries(folder, false);
        if (!entries)
            return;
        for (const auto& entry : entries.value()) {
            if (entry.path.endsWith(QLatin1String(".dylib")) ||
                entry.path.endsWith(QLatin1String(".framework")))
                nested << bundle + entry.path.mid(source.size());
            else if (entry.type == FileReader::Type::folder)
                find(entry.path);
        }
    };
    find(source + QStringLiteral("/Contents/Frameworks"));
    find(source + QStringLiteral("/Contents/PlugIns"));
    nested.sort();
    QStringList options{QStringLiteral("--force")};
    if (identity != QLatin1String("-"))
        options << QStringLiteral("--options") << QStringLiteral("runtime")
                << QStringLiteral("--timestamp");
    options << QStringLiteral("--sign") << identity;
    QList<ProcessRequest> commands;
    for (const QString& code : std::as_const(nested) + QStringList{bundle})
        commands << ProcessRequest{QStringLiteral("codesign"), options + QStringList{code}, {}, {}};
    return commands;
}

// The steps after the bundle is laid out: signing, then the package.
QList<ProcessRequest> packaging(const FileReader& fs, const Request& request,
                                const Layout& layout) {
    QList<ProcessRequest> commands;
    const bool mac = nativePackage() == NativePackage::diskImage;
    // A copy whose Info.plist and resources changed no longer matches the seal it came with.
    if (!request.identity.isEmpty() || mac)
        commands << signing(fs, layout.source, layout.made(),
                            request.identity.isEmpty() ? QStringLiteral("-") : request.identity);
    if (request.dmg) {
        // Drag and drop, as the package target's: the app beside a link to /Applications.
        commands << ProcessRequest{QStringLiteral("ln"),
                                   {QStringLiteral("-s"), QStringLiteral("/Applications"),
                                    joinPath(layout.stage(), QStringLiteral("Applications"))},
                                   {},
                                   {}};
        commands << ProcessRequest{QStringLiteral("hdiutil"),
                                   {QStringLiteral("create"), QStringLiteral("-volname"),
                                    request.appName, QStringLiteral("-srcfolder"), layout.stage(),
                                    QStringLiteral("-format"), QStringLiteral("UDZO"),
                                    layout.madePackage()},
                                   {},
                                   {}};
        if (!request.identity.isEmpty())
            commands << ProcessRequest{QStringLiteral("codesign"),
                                       {QStringLiteral("--force"), QStringLiteral("--timestamp"),
                                        QStringLiteral("--sign"), request.identity,
                                        layout.madePackage()},
                                       {},
                                       {}};
    }
    if (request.tar)
        commands << ProcessRequest{QStringLiteral("tar"),
                                   {QStringLiteral("-czf"), layout.madePackage(),
                                    QStringLiteral("-C"), layout.temporary, layout.stem},
                                   {},
                                   {}};
    return commands;
}

// The one command left once the disk image is signed: Apple's notarisation, which needs the
// maker's account. The team is the one the identity names.
QString notarising(const Request& request, const Layout& layout) {
    static const QRegularExpression team(QStringLiteral("\\(([A-Z0-9]+)\\)\\s*$"));
    const auto match = team.match(request.identity);
    return commandLine(ProcessRequest{
        QStringLiteral("xcrun"),
        {QStringLiteral("notarytool"), QStringLiteral("submit"), layout.package(),
         QStringLiteral("--apple-id"), QStringLiteral("APPLE_ID"), QStringLiteral("--team-id"),
         match.hasMatch() ? match.captured(1) : QStringLiteral("TEAM_ID"),
         QStringLiteral("--password"), QStringLiteral("APP_SPECIFIC_PASSWORD"),
         QStringLiteral("--wait")},
        {},
        {}});
}

// The running bundle's copy around the pack, in layout.made(): everything of the bundle but
// its resources, which become a copy of the pack with the bundle's own files beside it.
Failure layBundle(FileSystem& fs, const Request& request, const Layout& layout,
                  const std::optional<QByteArray>& icns, const QString& executable) {
    const QString from = joinPath(layout.source, QStringLiteral("Contents"));
    const QString to = joinPath(layout.made(), QStringLiteral("Contents"));
    if (Failure failed = fs.createDirectories(to))
        return failed;
    const auto names = fs.entryNames(from);
    if (!names)
        return names.error();
    for (const QString& name : names.value())
        if (name != QLatin1String("Resources"))
            if (Failure failed = fs.copyItem(joinPath(from, name), joinPath(to, name)))
                return failed;
    const QString resources = joinPath(to, QStringLiteral("Resources"));
    if (Failure failed = fs.copyItem(request.pack, resources))
        return failed;
    // Qt's deployment writes qt.conf there; the icon is the maker's or the bundle's.
    const QString icon = joinPath(resources, QStringLiteral("AppIcon.icns"));
    if (fs.type(icon) != FileReader::Type::missing)
        if (Failure failed = fs.removeItem(icon))
            return failed;
    if (icns) {
        if (Failure failed = saveFile(icon, *icns))
            return failed;
    }
    for (const QString& own : {QStringLiteral("qt.conf"), QStringLiteral("AppIcon.icns")}) {
        const QString original = joinPath(from, QStringLiteral("Resources/") + own);
        const QString copy = joinPath(resources, own);
        if (fs.type(original) == FileReader::Type::file &&
            fs.type(copy) == FileReader::Type::missing)
            if (Failure failed = fs.copyItem(original, copy))
                return failed;
    }
    // NAME.app/Contents/MacOS/NAME, as the build names it.
    if (executable != request.appName)
        if (Failure failed = fs.moveNew(joinPath(to, QStringLiteral("MacOS/") + executable),
                                        joinPath(to, QStringLiteral("MacOS/") + request.appName)))
            return failed;
    const QString plistPath = joinPath(to, QStringLiteral("Info.plist"));
    auto plist = InfoPlist::read(plistPath);
    if (!plist)
        return plist.error();
    InfoPlist info = std::move(plist).value();
    const std::pair<QString, QString> values[] = {
        {QStringLiteral("CFBundleExecutable"), request.appName},
        {QStringLiteral("CFBundleIdentifier"), request.bundleId},
        {QStringLiteral("CFBundleName"), request.displayName},
        {Branding::displayNameKey(), request.displayName},
        {QStringLiteral("CFBundleIconFile"), QStringLiteral("AppIcon.icns")},
        {Branding::versionKey(), request.version},
        {QStringLiteral("CFBundleVersion"), request.version},
        {Branding::makerNameKey(), request.makerName},
        {Branding::makerUrlKey(), request.makerUrl},
        {Branding::tutorialUrlKey(), request.tutorialUrl}};
    for (const auto& [key, value] : values)
        info.setString(key, value);
    return info.write(plistPath);
}

// The made bundle and package under their final names: each put in place in one step, an
// older one (with --force) swapped out and then removed.
Failure moveIntoPlace(FileSystem& fs, const Layout& layout, bool package) {
    if (package) {
        const bool replace = fs.type(layout.package()) != FileReader::Type::missing;
        if (Failure failed = replace ? fs.replaceItem(layout.madePackage(), layout.package())
                                     : fs.moveNew(layout.madePackage(), layout.package()))
            return failed;
    }
    if (fs.type(layout.bundle()) == FileReader::Type::missing)
        return fs.moveNew(layout.made(), layout.bundle());
    return fs.exchangeItems(layout.made(), layout.bundle());
}

QString helpText(const QString& program) {
    return MakeInstaller::tr(
               "用法: %1 --make-installer PACK --out FOLDER [选项]...\n"
               "不用编译器，把正在运行的安装程序复制为 FOLDER/APP_NAME.app，"
               "装入模板包 PACK，写入你的名称、版本和图标。\n"
               "\n"
               "  --display-name TEXT   窗口标题和应用名称（默认: 插件安装工具）\n"
               "  --app-name NAME       包名 NAME.app 和可执行文件名（默认: PluginInstaller）\n"
               "  --bundle-id ID        CFBundleIdentifier（默认: com.orvo.plugininstaller）\n"
               "  --maker-name TEXT     窗口的署名（默认: Orvo Studio）\n"
               "  --maker-url URL       署名链接打开的网址（默认: https://www.orvo.studio/）\n"
               "  --tutorial-url URL    模板包没有 tutorial_url.txt 时的教程网址\n"
               "  --version X.Y.Z       版本，一到三个数字（默认: 1.0.0）\n"
               "  --icon PNG|ICNS       图标: .icns 文件，或 1024 像素以上的正方形 PNG\n"
               "  --sign IDENTITY       macOS: 用 codesign 签名（hardened runtime、时间戳）\n"
               "  --dmg                 macOS: 用 hdiutil 制作磁盘映像\n"
               "  --tar                 Linux: 制作与 package 目标相同的 .tar.gz\n"
               "  --force               替换已有的 FOLDER/APP_NAME.app\n"
               "  --dry-run             只检查并列出会做的事和会运行的命令，什么都不写\n"
               "\n"
               "退出状态: 0 完成；1 失败（最终名称下不留下半成品）；2 参数有误，什么都没写入。")
        .arg(program);
}

} // namespace

bool asksToMakeInstaller(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1))
        if (argument == QLatin1String("--make-installer") ||
            argument.startsWith(QLatin1String("--make-installer=")))
            return true;
    return false;
}

int makeInstallerCommand(const QStringList& arguments) {
    auto console = std::make_shared<Console>(false, false);
    const QString program = lastComponent(QCoreApplication::applicationFilePath());
    const auto usage = [&](const QString& why) {
        console->toError(why + QLatin1Char('\n') +
                         MakeInstaller::tr("运行 %1 --make-installer --help 查看用法")
                             .arg(shellQuoted(arguments.first())));
        return exitUsage;
    };
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        console->toOutput(helpText(shellQuoted(program)));
        return exitDone;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto option = [&](const char* name, const char* value = nullptr) {
        QCommandLineOption made(QString::fromLatin1(name), {},
                                value ? QString::fromLatin1(value) : QString());
        parser.addOption(made);
        return made;
    };
    const auto make = option("make-installer", "PACK"), out = option("out", "FOLDER"),
               displayName = option("display-name", "TEXT"), appName = option("app-name", "NAME"),
               bundleId = option("bundle-id", "ID"), makerName = option("maker-name", "TEXT"),
               makerUrl = option("maker-url", "URL"), tutorialUrl = option("tutorial-url", "URL"),
               version = option("version", "X.Y.Z"), icon = option("icon", "PNG|ICNS"),
               sign = option("sign", "IDENTITY"), dmg = option("dmg"), tar = option("tar"),
               force = option("force"), dryRun = option("dry-run");
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usage(MakeInstaller::tr("多余的参数: %1").arg(parser.positionalArguments()[0]));
    for (const auto* once : {&make, &out, &displayName, &appName, &bundleId, &makerName, &makerUrl,
                             &tutorialUrl, &version, &icon, &sign})
        if (parser.values(*once).size() > 1)
            return usage(MakeInstaller::tr("--%1 只能给一次").arg(once->names().constFirst()));
    if (!parser.isSet(out))
        return usage(MakeInstaller::tr("请用 --out FOLDER 给出放安装程序的文件夹"));

    const Branding& defaults = Branding::defaults();
    const auto given = [&](const QCommandLineOption& what, const QString& fallback) {
        return parser.isSet(what) ? parser.value(what) : fallback;
    };
    const QString cwd = QDir::currentPath();
    Request request{QDir::cleanPath(QDir(cwd).absoluteFilePath(parser.value(make))),
                    QDir::cleanPath(QDir(cwd).absoluteFilePath(parser.value(out))),
                    given(displayName, defaults.displayName),
                    given(appName, QStringLiteral("PluginInstaller")),
                    given(bundleId, QStringLiteral("com.orvo.plugininstaller")),
                    given(makerName, defaults.makerName),
                    given(makerUrl, defaults.makerUrl.toString()),
                    given(tutorialUrl, defaults.tutorialUrl.toString()),
                    given(version, defaults.version),
                    parser.isSet(icon) ? QDir(cwd).absoluteFilePath(parser.value(icon)) : QString(),
                    parser.value(sign),
                    parser.isSet(dmg),
                    parser.isSet(tar),
                    parser.isSet(force),
                    parser.isSet(dryRun)};

    // The values, as the build's options are checked when configuring.
    const auto refuse = [&](const QCommandLineOption& what, const QString& value, const Text& why) {
        return usage(QStringLiteral("--%1 “%2”: %3")
                         .arg(what.names().constFirst(), value, why.translated()));
    };
    for (const auto& [what, value] : {std::pair{&displayName, request.displayName},
                                      {&makerName, request.makerName},
                                      {&appName, request.appName}})
        if (const auto why = Branding::textProblem(value))
            return refuse(*what, value, *why);
    if (const Failure unusable = checkFolderName(request.appName + QStringLiteral(".app")))
        return refuse(appName, request.appName, unusable->text);
    if (request.appName.contains(QLatin1Char(':')))
        return refuse(appName, request.appName,
                      Text(MakeInstaller::tr("Finder 把 “:” 显示为 “/”")));
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z0-9.-]+$"));
    if (!identifier.match(request.bundleId).hasMatch())
        return refuse(
            bundleId, request.bundleId,
            Text(MakeInstaller::tr("只能有字母、数字、连字符和点，例如 com.example.mytemplates")));
    for (const auto& [what, value] :
         {std::pair{&makerUrl, request.makerUrl}, {&tutorialUrl, request.tutorialUrl}})
        if (const auto why = Branding::addressProblem(value))
            return refuse(*what, value, *why);
    if (const auto why = Branding::versionProblem(request.version))
        return refuse(version, request.version, *why);
    if (parser.isSet(sign))
        if (const auto why = Branding::textProblem(request.identity))
            return refuse(sign, request.identity, *why);
    const bool mac = nativePackage() == NativePackage::diskImage;
    if (!mac && !request.dryRun && (parser.isSet(sign) || request.dmg))
        return usage(
            MakeInstaller::tr("--sign 和 --dmg 需要 macOS 的 codesign 和 hdiutil（--dry-run "
                              "可在这里列出这些命令）"));
    if (mac && request.tar)
        return usage(MakeInstaller::tr("--tar 用于 Linux；在 macOS 上请用 --dmg"));
    if (request.dmg && request.tar)
        return usage(MakeInstaller::tr("--dmg 和 --tar 只能选一个"));

    Platform platform = Platform::real({.output = console});
    FileSystem& fs = *platform.fileSystem;

    // The icon, read and converted before anything is written.
    std::optional<QByteArray> icns;
    if (!request.icon.isEmpty()) {
        const auto bytes = fs.readFile(request.icon);
        if (!bytes)
            return refuse(icon, request.icon, bytes.error().text);
        if (request.icon.endsWith(QLatin1String(".icns"), Qt::CaseInsensitive)) {
            if (!bytes.value().startsWith("icns"))
                return refuse(icon, request.icon, Text(MakeInstaller::tr("不是 .icns 文件")));
            icns = bytes.value();
        } else {
            const auto made = icnsFromImage(QImage::fromData(bytes.value()));
            if (const QString* why = std::get_if<QString>(&made))
                return refuse(icon, request.icon, Text(*why));
            icns = std::get<QByteArray>(made);
        }
    }
    Layout layout;
    layout.source = platform.bundle->bundlePath();
    layout.appName = request.appName;
    layout.out = request.out;
    layout.stem = request.appName + QLatin1Char('-') + request.version +
                  (request.tar ? QStringLiteral("-Linux") : QString());
    layout.packageExtension = request.dmg ? QStringLiteral(".dmg") : QStringLiteral(".tar.gz");
    const QHash<QString, QString> sourceInfo = platform.bundle->info();
    if (!layout.source.endsWith(QLatin1String(".app")) || sourceInfo.isEmpty()) {
        console->toError(
            MakeInstaller::tr("无法制作安装程序: 正在运行的程序不在一个带 Info.plist 的 "
                              ".app 包里（%1）")
                .arg(layout.source));
        return exitFailed;
    }
    const QString executable =
        sourceInfo.value(QStringLiteral("CFBundleExecutable"),
                         lastComponent(QCoreApplication::applicationFilePath()));

    // Checked as the build checks it; warnings go to standard error and the making goes on.
    bool packFailed = false;
    for (const PackFinding& finding : checkPack(fs, request.pack)) {
        packFailed = packFailed || finding.severity == PackFinding::Severity::error;
        console->toError(describe(finding).translated());
    }
    if (packFailed)
        return exitFailed;

    // Nothing is written outside FOLDER, and never into the bundle being copied.
    const QString realOut = fs.resolvedPath(request.out);
    const QString realSource = fs.resolvedPath(layout.source);
    const QString outParent = parentPath(request.out);
    if (fs.type(request.out, true) != FileSystem::Type::folder &&
        (fs.type(request.out) != FileSystem::Type::missing ||
         fs.type(outParent, true) != FileSystem::Type::folder))
        return usage(MakeInstaller::tr("--out “%1”: 应为一个文件夹，或一个已有文件夹里的新名称")
                         .arg(request.out));
    const QString outInside = realOut.isEmpty() ? fs.resolvedPath(outParent) : realOut;
    if (outInside == realSource || outInside.startsWith(realSource + QLatin1Char('/')) ||
        realSource.startsWith(outInside + QLatin1Char('/') + request.appName +
                              QStringLiteral(".app")))
        return usage(
            MakeInstaller::tr("--out “%1”: 不能放在正在运行的安装程序 “%2” 里，也不能替换它")
                .arg(request.out, layout.source));
    const bool bundleExists = fs.type(layout.bundle()) != FileSystem::Type::missing;
    const bool packageExists =
        (request.dmg || request.tar) && fs.type(layout.package()) != FileReader::Type::missing;
    if ((bundleExists || packageExists) && !request.force)
        return usage(MakeInstaller::tr("“%1” 已经存在；要替换它请加上 --force")
                         .arg(bundleExists ? layout.bundle() : layout.package()));
    if (bundleExists && fs.type(joinPath(layout.bundle(), QStringLiteral("Contents/Info.plist"))) !=
                            FileSystem::Type::file) {
        console->toError(
            MakeInstaller::tr("“%1” 不是一个安装程序包，不会替换它").arg(layout.bundle()));
        return exitFailed;
    }
    if (packageExists && fs.type(layout.package()) != FileSystem::Type::file) {
        console->toError(MakeInstaller::tr("“%1” 不是一个文件，不会替换它").arg(layout.package()));
        return exitFailed;
    }

    layout.temporary = temporaryPath(request.out);
    const QList<ProcessRequest> commands = packaging(fs, request, layout);
    if (request.dryRun) {
        console->toOutput(MakeInstaller::tr("会制作: %1").arg(layout.bundle()));
        if (request.dmg || request.tar)
            console->toOutput(MakeInstaller::tr("会制作: %1").arg(layout.package()));
        for (const ProcessRequest& command : commands)
            console->toOutput(MakeInstaller::tr("会运行: %1").arg(commandLine(command)));
        if (request.dmg && !request.identity.isEmpty())
            console->toOutput(
                MakeInstaller::tr("剩下一步，公证: %1").arg(notarising(request, layout)));
        return exitDone;
    }

    const Failure laid = offMainThread(*platform.worker, [&]() -> Failure {
        if (fs.type(request.out) == FileSystem::Type::missing)
            if (Failure failed = fs.createDirectories(request.out))
                return failed;
        // What an interrupted run left behind.
        removeTemporaries(fs, request.out);
        return layBundle(fs, request, layout, icns, executable);
    });
    const auto cleanUp = [&] {
        offMainThread(*platform.worker, [&] { return fs.removeItem(layout.temporary); });
    };
    if (laid) {
        console->toError(MakeInstaller::tr("无法制作安装程序: %1").arg(laid->text.translated()));
        cleanUp();
        return exitFailed;
    }
    for (const ProcessRequest& command : commands) {
        const ProcessOutcome outcome = runAndWait(*platform.processRunner, command);
        if (outcome.startError || outcome.exitStatus != 0) {
            console->toError(
                MakeInstaller::tr("无法制作安装程序: %1 失败: %2")
                    .arg(commandLine(command),
                         outcome.startError.value_or(QString::fromUtf8(outcome.output).trimmed())));
            cleanUp();
            return exitFailed;
        }
    }
    const bool package = request.dmg || request.tar;
    const Failure placed =
        offMainThread(*platform.worker, [&] { return moveIntoPlace(fs, layout, package); });
    cleanUp();
    if (placed) {
        console->toError(MakeInstaller::tr("无法制作安装程序: %1").arg(placed->text.translated()));
        return exitFailed;
    }
    console->toOutput(MakeInstaller::tr("已制作: %1").arg(layout.bundle()));
    if (package)
        console->toOutput(MakeInstaller::tr("已制作: %1").arg(layout.package()));
    if (request.dmg && !request.identity.isEmpty())
        console->toOutput(MakeInstaller::tr("剩下一步，公证: %1").arg(notarising(request, layout)));
    return exitDone;
}

} // namespace Orvoinstaller
