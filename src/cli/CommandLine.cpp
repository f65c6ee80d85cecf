#include "cli/CommandLine.h"

#include "cli/Commands.h"
#include "discovery/Discovery.h"
#include "install/DestinationState.h"
#include "install/TemplateInstaller.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

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
            return QStringLiteral("--name %1: the pack has no such template (give KIND/OLD=NEW, "
                                  "KIND one of Titles, Effects, Generators, Transitions)")
                .arg(asked);
        if (matches.size() > 1) {
            QStringList candidates;
            for (const qsizetype i : std::as_const(matches))
                candidates << QLatin1Char('"') + items[i].originalName + QLatin1Char('"');
            return QStringLiteral("--name %1: ambiguous, the templates %2 all fit; rename one "
                                  "of them in the window instead")
                .arg(asked, candidates.join(QStringLiteral(", ")));
        }
        const qsizetype match = matches.first();
        if (renamed.contains(match))
            return QStringLiteral("--name %1: that template is named twice").arg(asked);
        renamed.insert(match);
        const QString newName = rest.mid(items[match].originalName.size() + 1);
        if (const Status unusable = checkFolderName(newName))
            return QStringLiteral("--name %1: %2").arg(asked, unusable->description);
        items[match].newName = newName;
    }
    return std::nullopt;
}

// The pack as the window finds it; says why on standard error when there is none.
std::optional<PackContents> readPack(const Platform& platform, Console& console,
                                     QString& resources) {
    const auto found = findResourcePath(*platform.bundle, *platform.fileSystem, console);
    if (!found) {
        console.toError(QStringLiteral("Cannot read the pack: no readable resource folder in "
                                       "or beside %1")
                            .arg(platform.bundle->bundlePath()));
        return std::nullopt;
    }
    resources = *found;
    return scanPack(*platform.fileSystem, resources, console);
}

int listCommand(const Platform& platform, Console& console) {
    QString resources;
    const auto pack = readPack(platform, console, resources);
    if (!pack)
        return exitFailed;
    const TemplateInstaller installer(*platform.fileSystem, console);
    if (const Status home = installer.homeProblem()) {
        console.toError(home->description);
        return exitFailed;
    }
    // The window's own rule, from the same listing.
    const InstalledFolders installed = InstalledFolders::list(*platform.fileSystem, installer);
    for (const FolderItem& item : pack->templates) {
        const bool merge =
            destinationState(installed, item.type, item.newName) == DestinationState::merge;
        console.toOutput(resourceFolderName(item.type) + QLatin1Char('\t') + item.originalName +
                         QLatin1Char('\t') +
                         (merge ? QStringLiteral("merge") : QStringLiteral("new")));
    }
    return exitDone;
}

} // namespace

bool wantsCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "-h") || !std::strcmp(arg, "-?") || !std::strcmp(arg, "-v"))
            return true;
        if (std::strncmp(arg, "--", 2) != 0 || arg[2] == '\0')
            continue;
        // Qt takes its window options with two dashes too; anything else with two is ours,
        // and a mistyped one must end a script with a usage error, not open a window.
        const size_t length = std::strcspn(arg + 2, "=");
        bool qtOption = false;
        for (const char* name : qtWindowOptions)
            qtOption =
                qtOption || (std::strlen(name) == length && !std::strncmp(arg + 2, name, length));
        if (!qtOption)
            return true;
    }
    return false;
}

int runCommandLine(int argc, char* argv[], const QString& version) {
    QCoreApplication app(argc, argv);
    // The window's name: both find the manifest in the same application-data folder.
    QCoreApplication::setApplicationName(QStringLiteral("PluginInstaller"));
    QCoreApplication::setApplicationVersion(version);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Installs the bundled Motion templates without opening the window."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Print each template: KIND<TAB>NAME<TAB>new|merge."));
    const QCommandLineOption install(QStringLiteral("install"),
                                     QStringLiteral("Install every template, as the window does."));
    const QCommandLineOption uninstall(
        QStringLiteral("uninstall"),
        QStringLiteral("Remove what earlier installations wrote and nobody changed since."));
    const QCommandLineOption name(
        QStringLiteral("name"),
        QStringLiteral("Install template OLD of KIND as NEW (merged into NEW when it exists)."),
        QStringLiteral("KIND/OLD=NEW"));
    const QCommandLineOption fonts(QStringLiteral("fonts"),
                                   QStringLiteral("Also install the bundled fonts."));
    const QCommandLineOption noScript(QStringLiteral("no-script"),
                                      QStringLiteral("Do not run the post-install script."));
    const QCommandLineOption checksum(
        QStringLiteral("checksum"),
        QStringLiteral("Compare bytes instead of trusting size and modification time."));
    const QCommandLineOption json(
        QStringLiteral("json"),
        QStringLiteral(
            "Print a JSON report on standard output; the trace goes to standard error."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("With --uninstall: only say what would go."));
    parser.addOptions({list, install, uninstall, name, fonts, noScript, checksum, json, dryRun});

    const bool parsed = parser.parse(QCoreApplication::arguments());
    // Standard output carries the list, the document or the report; the trace goes aside.
    const bool traceAside =
        parsed && (parser.isSet(list) || parser.isSet(uninstall) || parser.isSet(json));
    auto console = std::make_shared<Console>(traceAside ? stderr : stdout);
    const auto usage = [&](const QString& why) {
        console->toError(why +
                         QStringLiteral("\nTry '%1 --help'.")
                             .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
        return exitUsage;
    };
    if (!parsed)
        return usage(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        console->toOutput(parser.helpText().trimmed());
        return exitDone;
    }
    if (parser.isSet(versionOption)) {
        console->toOutput(QFileInfo(QCoreApplication::applicationFilePath()).fileName() +
                          QLatin1Char(' ') + version);
        return exitDone;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("Unexpected argument: ") + parser.positionalArguments()[0]);
    if (parser.isSet(list) + parser.isSet(install) + parser.isSet(uninstall) != 1)
        return usage(QStringLiteral("Give one of --list, --install or --uninstall."));
    if (!parser.isSet(install))
        for (const auto* only : {&name, &fonts, &noScript, &checksum, &json})
            if (parser.isSet(*only))
                return usage(QStringLiteral("--%1 goes with --install only.")
                                 .arg(only->names().constFirst()));
    if (parser.isSet(dryRun) && !parser.isSet(uninstall))
        return usage(QStringLiteral("--dry-run goes with --uninstall only."));

    const Platform platform = Platform::real({.output = console});
    if (parser.isSet(list))
        return listCommand(platform, *console);
    if (parser.isSet(uninstall))
        return uninstallCommand(platform, *console, parser.isSet(dryRun));

    QString resources;
    auto pack = readPack(platform, *console, resources);
    if (!pack)
        return exitFailed;
    if (const auto unusable = applyNames(pack->templates, parser.values(name)))
        return usage(*unusable);
    return installCommand(platform, *console,
                          {std::move(pack->templates), pack->hasFonts, parser.isSet(fonts),
                           !parser.isSet(noScript), parser.isSet(checksum), parser.isSet(json)});
}

} // namespace Orvoinstaller
