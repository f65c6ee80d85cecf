#include "install/PackCheck.h"

#include "discovery/Discovery.h"
#include "discovery/Pack.h"
#include "discovery/TutorialUrl.h"
#include "install/TemplateInstaller.h"
#include "platform/Utf8.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace Orvoinstaller {

namespace {

class Silent : public DiagnosticOutput {
public:
    void line(const QString&) override {}
};

// Every visible file below `folder`, as the font installer goes through it.
void listFiles(const FileReader& fs, const QString& folder, QStringList& files) {
    const auto entries = fs.entries(folder, false);
    if (!entries)
        return;
    for (const auto& entry : entries.value()) {
        if (entry.type == FileReader::Type::folder)
            listFiles(fs, entry.path, files);
        else
            files << entry.path;
    }
}

// The check's words: its findings and the lines that say them.
struct PackCheck {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::PackCheck)

public:
    static QList<PackFinding> check(const FileReader& fs, const QString& pack);
    static Text describe(const PackFinding& finding);
};

} // namespace

QList<PackFinding> checkPack(const FileReader& fs, const QString& pack) {
    return PackCheck::check(fs, pack);
}

Text describe(const PackFinding& finding) {
    return PackCheck::describe(finding);
}

QList<PackFinding> PackCheck::check(const FileReader& fs, const QString& pack) {
    QList<PackFinding> findings;
    const auto error = [&](const QString& entry, Text text) {
        findings << PackFinding{PackFinding::Severity::error, entry, std::move(text)};
    };
    const auto warning = [&](const QString& entry, Text text) {
        findings << PackFinding{PackFinding::Severity::warning, entry, std::move(text)};
    };
    const auto relative = [&](const QString& path) { return path.mid(pack.size() + 1); };
    if (fs.type(pack, true) != FileSystem::Type::folder) {
        error({}, Text(tr, QT_TR_NOOP("模板包 “%1” 不是一个文件夹"), {pack}));
        return findings;
    }

    Silent silent;
    const PackContents contents = scanPack(fs, pack, silent);
    for (const Error& failure : contents.failures)
        error({}, failure.text);
    if (contents.templates.isEmpty())
        error({}, Text(tr, QT_TR_NOOP("没有模板文件夹：每个模板应是 Titles/、Effects/、"
                                      "Generators/ 或 Transitions/ 里的一个文件夹")));
    for (const FolderItem& item : contents.templates)
        if (const Failure unusable = checkFolderName(item.originalName))
            error(relative(item.path),
                  Text(tr, QT_TR_NOOP("这个模板名称不能作为模板文件夹的名称（%1）；请给文件夹改名"),
                       {unusable->text}));

    const Pack laid{pack};
    if (fs.type(laid.locationPicture(), true) != FileSystem::Type::file)
        warning(Pack::locationPictureName(),
                Text(tr, QT_TR_NOOP("缺少这张图片：窗口的“插件位置”将不显示图片")));
    if (fs.type(laid.tutorialFile(), true) != FileSystem::Type::missing) {
        const auto bytes = fs.readFile(laid.tutorialFile());
        const auto text = bytes ? decodeUtf8(bytes.value()) : std::nullopt;
        const auto address = text ? parseTutorialAddress(*text) : std::nullopt;
        if (!address || (address->scheme() != QLatin1String("http") &&
                         address->scheme() != QLatin1String("https")))
            warning(Pack::tutorialFileName(),
                    Text(tr, QT_TR_NOOP("不是一个 http 或 https 地址：教程按钮不会打开网页")));
    }
    static const QRegularExpression font(QStringLiteral("\\.(ttf|otf|ttc|otc|dfont)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList fonts;
    listFiles(fs, laid.fontsFolder(), fonts);
    fonts.sort();
    for (const QString& file : std::as_const(fonts))
        if (!font.match(file).hasMatch())
            warning(
                relative(file),
                Text(
                    tr,
                    QT_TR_NOOP(
                        "不是字体（.ttf、.otf、.ttc、.otc 或 .dfont），但仍会被复制到字体文件夹")));
    return findings;
}

Text PackCheck::describe(const PackFinding& finding) {
    const bool error = finding.severity == PackFinding::Severity::error;
    if (finding.entry.isEmpty())
        return Text(tr, error ? QT_TR_NOOP("错误: 模板包: %1") : QT_TR_NOOP("警告: 模板包: %1"),
                    {finding.text});
    return Text(
        tr, error ? QT_TR_NOOP("错误: 模板包条目 %1: %2") : QT_TR_NOOP("警告: 模板包条目 %1: %2"),
        {Text(finding.entry), finding.text});
}

} // namespace Orvoinstaller
