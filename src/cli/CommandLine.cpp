#include "cli/CommandLine.h"

#include "cli/Commands.h"
#include "cli/MakeInstaller.h"
#include "discovery/Discovery.h"
#include "install/DestinationState.h"
#include "install/TemplateInstaller.h"
#include "platform/FileSystem.h"
#include "platform/Language.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <memory>

namespace Orvoinstaller {

namespace {

// What QGuiApplication and QApplication read from the command line themselves.
const char* const qtWindowOptions[] = {"platform",        "platformpluginpath",
                                       "platformtheme",   "plugin",
                                       "qwindowgeometry", "qwindowicon",
                                       "qwindowtitle",    "reverse",
                                       "session",         "style",
                                       "stylesheet",      "widgetcount",
                                       "display",         "geometry",
                                       "qmljsdebugger",   "nograb",
                                       "dograb",          "sync",
                                       "visual",          "title"};

// `--name KIND/OLD=NEW` onto the templates; an error says which one cannot be used. Both
// names may hold "=": OLD is the template whose name, followed by "=", begins the argument.
// Two such templates (A and A=1 for "A=1=2") leave it unclear which is meant: refused.
std::optional<QString> applyNames(QList<FolderItem>& items, const QStringList& names) {
    QSet<qsizetype> renamed;
    for (const QString& asked : names) {
        if (!asked.contains(QLatin1Char('=')))
            return CommandLine::tr("--name %1: 缺少新名称，应写作 KIND/OLD=NEW").arg(asked);
        const qsizetype slash = asked.indexOf(QLatin1Char('/'));
        const QString kind = asked.left(slash), rest = asked.mid(slash + 1);
        QList<qsizetype> matches;
        for (qsizetype i = 0; slash > 0 && i < items.size(); ++i) {
            const FolderItem& item = items[i];
            if (resourceFolderName(item.type).compare(kind, Qt::CaseInsensitive) == 0 &&
                rest.startsWith(item.originalName + QLatin1Char('=')))
                matches << i;
        }
        if (matches.isEmpty())
            return CommandLine::tr(
                       "--name %1: 模板包里没有这个模板（应写作 KIND/OLD=NEW，KIND 为 Titles、"
                       "Effects、Generators 或 Transitions）")
                .arg(asked);
        if (matches.size() > 1) {
            QStringList candidates;
            for (const qsizetype i : std::as_const(matches))
                candidates << QLatin1Char('"') + items[i].originalName + QLatin1Char('"');
            return CommandLine::tr("--name %1: 有歧义，模板 %2 都符合；请在窗口中改名")
                .arg(asked, candidates.join(QStringLiteral(", ")));
        }
        const qsizetype match = matches.first();
        if (renamed.contains(match))
            return CommandLine::tr("--name %1: 这个模板被指定了两次").arg(asked);
        renamed.insert(match);
        const QString newName = rest.mid(items[match].originalName.size() + 1);
        if (const Failure unusable = checkFolderName(newName))
            return QStringLiteral("--name %1: %2").arg(asked, unusable->text.translated());
        items[match].newName = newName;
    }
    return std::nullopt;
}

// The pack as the window finds it; says why on standard error when there is none.
std::optional<PackContents> readPack(const Platform& platform, Console& console,
                                     QString& resources) {
    const auto found = findResourcePath(*platform.bundle, *platform.fileSystem, console);
    if (!found) {
        console.toError(CommandLine::tr("无法读取模板包: %1 之中或旁边没有可读的资源文件夹")
                            .arg(platform.bundle->bundlePath()));
        return std::nullopt;
    }
    resources = *found;
    PackContents pack = scanPack(*platform.fileSystem, resources, console);
    // What could not be read is not absent: said, and the command fails once done.
    for (const Error& failure : std::as_const(pack.failures))
        console.toError(failure.text.translated());
    return pack;
}

int listCommand(const Platform& platform, Console& console, bool json) {
    QString resources;
    const auto pack = readPack(platform, console, resources);
    if (!pack)
        return exitFailed;
    if (const Failure home = homeProblem(*platform.fileSystem)) {
        console.toError(home->text.translated());
        return exitFailed;
    }
    // The window's own rule, from the same listing.
    const InstalledFolders installed = InstalledFolders::list(*platform.fileSystem);
    QJsonArray rows;
    for (const FolderItem& item : pack->templates) {
        const bool merge =
            destinationState(installed, item.type, item.newName) == DestinationState::merge;
        const QString kind = resourceFolderName(item.type);
        const QString state = merge ? QStringLiteral("merge") : QStringLiteral("new");
        if (json)
            rows.append(QJsonObject{{"kind", kind}, {"name", item.originalName}, {"state", state}});
        else
            console.toOutput(kind + QLatin1Char('\t') + item.originalName + QLatin1Char('\t') +
                             state);
    }
    if (json)
        console.document(
            QString::fromUtf8(
                QJsonDocument(QJsonObject{{"format", 1}, {"templates", rows}}).toJson())
                .trimmed());
    return pack->failures.isEmpty() ? exitDone : exitFailed;
}

QString helpText(const QString& program) {
    return CommandLine::tr(
               "用法: %1 --list | --install | --uninstall [选项]...\n"
               "不打开窗口，列出、安装或卸载随附的 Motion 模板。\n"
               "\n"
               "  --list               列出每个模板: 类型<TAB>名称<TAB>new|merge\n"
               "  --install            像窗口一样安装每个模板，然后运行安装后脚本\n"
               "  --uninstall          删除以前安装写入、之后无人改动的文件\n"
               "  --name KIND/OLD=NEW  与 --install 一起: 把 KIND 类的模板 OLD 安装为 NEW"
               "（可重复）\n"
               "  --fonts              与 --install 一起: 同时安装随附的字体\n"
               "  --no-script          与 --install 一起: 不运行安装后脚本\n"
               "  --checksum           与 --install 一起: 比较字节，而不只看大小和修改时间\n"
               "  --json               与 --install、--list 或 --uninstall 一起: 输出一个 JSON 文档"
               "（格式 1）\n"
               "  --dry-run            与 --uninstall 一起: 只说明会删除什么\n"
               "  --quiet              除非出错，什么都不输出\n"
               "  --verbose            同时在标准错误上输出诊断行\n"
               "  -h, --help           显示本帮助\n"
               "  -v, --version        显示版本\n"
               "\n"
               "退出状态: 0 完成；1 有失败；2 参数有误，什么都没写入；\n"
               "130 或 143 被 SIGINT 或 SIGTERM 在安全处停下。\n"
               "\n"
               "示例:\n"
               "  %1 --list\n"
               "  %1 --install --name 'Titles/Lower Third=Studio Lower Third' --json > "
               "report.json\n"
               "  %1 --uninstall --dry-run")
        .arg(program);
}

// What the parser could not take, said as the argument was typed.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments) {
    const auto typed = [&](const QStringList& names) {
        for (const QString& argument : arguments.mid(1))
            if (argument.startsWith(QLatin1Char('-')) &&
                names.contains(argument.section(QLatin1Char('='), 0, 0)
                                   .remove(QRegularExpression(QStringLiteral("^--?")))))
                return argument.section(QLatin1Char('='), 0, 0);
        return names.value(0);
    };
    if (!parser.unknownOptionNames().isEmpty())
        return CommandLine::tr("未知选项: %1").arg(typed(parser.unknownOptionNames()));
    // Only --name takes a value; any other option given one is the other mistake.
    if (typed({QStringLiteral("name")}) == arguments.last())
        return CommandLine::tr("%1 后面缺少 KIND/OLD=NEW").arg(arguments.last());
    for (const QString& argument : arguments.mid(1))
        if (argument.startsWith(QLatin1Char('-')) && argument.contains(QLatin1Char('=')))
            return CommandLine::tr("%1 不带值").arg(argument.section(QLatin1Char('='), 0, 0));
    return parser.errorText();
}

} // namespace

QString shellQuoted(QString word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    return QLatin1Char('\'') + word.replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

bool wantsCommandLine(int argc, char* argv[], bool display) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-' || !std::strcmp(arg, "-") || !std::strcmp(arg, "--"))
            continue;
        const bool single = arg[1] != '-';
        const char* name = arg + (single ? 1 : 2);
        // What macOS adds: -psn_… from the Finder, -NS… and -Apple… as user defaults.
        if (single && (!std::strncmp(name, "psn_", 4) || !std::strncmp(name, "NS", 2) ||
                       !std::strncmp(name, "Apple", 5)))
            continue;
        // Qt takes its window options with one dash or two; anything else is ours, and a
        // mistyped one must end a script with a usage error, not open a window.
        const size_t length = std::strcspn(name, "=");
        bool qtOption = false;
        for (const char* option : qtWindowOptions)
            qtOption =
                qtOption || (std::strlen(option) == length && !std::strncmp(name, option, length));
        if (!qtOption)
            return true;
        display = display || (length == 8 && !std::strncmp(name, "platform", length));
    }
    return !display;
}

int runCommandLine(int argc, char* argv[]) {
    const bool windowAsked = !wantsCommandLine(argc, argv, true);
    QCoreApplication app(argc, argv);
    // The window's name: both find the manifest in the same application-data folder.
    QCoreApplication::setApplicationName(QStringLiteral("PluginInstaller"));
    QStringList brandingProblems;
    const QString version =
        Branding::fromInfo(ExecutableBundle(QCoreApplication::applicationDirPath()).info(),
                           brandingProblems)
            .version;
    QCoreApplication::setApplicationVersion(version);
    Language::useSystemPreference();
    const QStringList arguments = QCoreApplication::arguments();
    if (asksToMakeInstaller(arguments))
        return makeInstallerCommand(arguments);
    const QString program = lastComponent(QCoreApplication::applicationFilePath());

    QCommandLineParser parser;
    // "-lst" is one mistyped option, not three.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto option = [&](const char* name, const QString& value = {}) {
        QCommandLineOption made(QString::fromLatin1(name), {}, value);
        parser.addOption(made);
        return made;
    };
    const QCommandLineOption help(
        QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")});
    const QCommandLineOption versionOption(
        QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, versionOption});
    const auto list = option("list"), install = option("install"), uninstall = option("uninstall"),
               name = option("name", QStringLiteral("KIND/OLD=NEW")), fonts = option("fonts"),
               noScript = option("no-script"), checksum = option("checksum"), json = option("json"),
               dryRun = option("dry-run"), quiet = option("quiet"), verbose = option("verbose");

    const bool parsed = parser.parse(arguments);
    auto console =
        std::make_shared<Console>(parsed && parser.isSet(verbose), parsed && parser.isSet(quiet));
    const auto usage = [&](const QString& why) {
        // As typed, so that the line can be pasted.
        console->toError(
            why + QLatin1Char('\n') +
            CommandLine::tr("运行 %1 --help 查看用法").arg(shellQuoted(arguments.first())));
        return exitUsage;
    };
    // A result that did not reach its reader is no success.
    const auto finish = [&](int status) {
        return console->writeFailed() ? std::max<int>(status, exitFailed) : status;
    };
    if (!parsed)
        return usage(parseError(parser, arguments));
    if (windowAsked)
        return usage(
            CommandLine::tr("没有可用的显示器，无法打开窗口；不用窗口时请给出 --list、--install "
                            "或 --uninstall。"));
    if (parser.isSet(help)) {
        console->toOutput(
            helpText(shellQuoted(program)) + QStringLiteral("\n\n") +
            CommandLine::tr("不用编译器制作你自己的安装程序: %1 --make-installer --help")
                .arg(shellQuoted(program)));
        return finish(exitDone);
    }
    if (parser.isSet(versionOption)) {
        console->toOutput(program + QLatin1Char(' ') + version);
        return finish(exitDone);
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(CommandLine::tr("多余的参数: %1").arg(parser.positionalArguments()[0]));
    if (parser.isSet(list) + parser.isSet(install) + parser.isSet(uninstall) != 1)
        return usage(CommandLine::tr("请给出 --list、--install 或 --uninstall 中的一个。"));
    const auto goesWith = [&](const QCommandLineOption& what, const QString& with) {
        return usage(
            CommandLine::tr("--%1 只能与 %2 一起使用。").arg(what.names().constFirst(), with));
    };
    if (!parser.isSet(install))
        for (const auto* only : {&name, &fonts, &noScript, &checksum})
            if (parser.isSet(*only))
                return goesWith(*only, QStringLiteral("--install"));
    if (parser.isSet(dryRun) && !parser.isSet(uninstall))
        return goesWith(dryRun, QStringLiteral("--uninstall"));

    const Platform platform = Platform::real({.output = console});
    int status = exitDone;
    if (parser.isSet(list)) {
        status = listCommand(platform, *console, parser.isSet(json));
    } else if (parser.isSet(uninstall)) {
        status = uninstallCommand(platform, *console, parser.isSet(dryRun), parser.isSet(json));
    } else {
        QString resources;
        auto pack = readPack(platform, *console, resources);
        if (!pack)
            return exitFailed;
        if (const auto unusable = applyNames(pack->templates, parser.values(name)))
            return usage(*unusable);
        status = installCommand(platform, *console,
                                {std::move(pack->templates), pack->hasFonts, parser.isSet(fonts),
                                 !parser.isSet(noScript), parser.isSet(checksum),
                                 parser.isSet(json), pack->failures});
    }
    if (status != exitDone)
        console->release();
    return finish(status);
}

} // namespace Orvoinstaller
