// Switched to English while open, the window says everything in English, then Chinese again.
#include "platform/Language.h"
#include "ui/WindowFixture.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// Ends every script at once, on a later turn of the queue.
struct InstantScripts : ProcessRunner {
    explicit InstantScripts(std::shared_ptr<MainQueue> queue) : queue(std::move(queue)) {}
    void run(const ProcessRequest&, QObject* context,
             std::function<void(ProcessOutcome)> done) override {
        queue->post(context, [done] { done(ProcessOutcome{}); });
    }
    std::shared_ptr<MainQueue> queue;
};

// What the visible windows say, but for the user's names in the fields.
QStringList visibleTexts() {
    QStringList texts;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (!widget->isVisible())
            continue;
        texts << widget->windowTitle() << widget->toolTip() << widget->accessibleName();
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        else if (auto* field = qobject_cast<QLineEdit*>(widget))
            texts << field->placeholderText();
    }
    texts.removeAll(QString());
    return texts;
}

// The texts holding a Chinese character once the pack's names are taken out.
QStringList chinese(QStringList texts, const QStringList& names) {
    static const QRegularExpression han(
        u"[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"_s);
    for (const QString& name : names)
        texts.replaceInStrings(name, QString());
    return texts.filter(han);
}

} // namespace

class LanguageSwitchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Language::use(QString()); }

    // Every text translated, one English word per Chinese one, and one context per class,
    // named as both lupdate and tr() name it.
    void oneWordPerIdea() {
        QFile file(QStringLiteral(TRANSLATIONS_EN));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader ts(&file);
        const std::pair<QString, QString> words[] = {{u"模板"_s, u"template"_s},
                                                     {u"插件"_s, u"plug-in"_s}};
        QString source;
        QStringList wrong, classes;
        int checked = 0;
        static const QRegularExpression qualified(u"^Orvoinstaller::[A-Z][A-Za-z]*$"_s);
        while (!ts.atEnd()) {
            if (ts.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (ts.name() == u"name"_s) {
                const QString context = ts.readElementText();
                const QString className = context.section(u"::"_s, -1);
                if (!qualified.match(context).hasMatch() || classes.contains(className))
                    wrong << u"context "_s + context;
                classes << className;
            }
            if (ts.name() == u"source"_s)
                source = ts.readElementText();
            if (ts.name() != u"translation"_s)
                continue;
            const bool unfinished = !ts.attributes().value(u"type"_s).isEmpty();
            const QString said = ts.readElementText(QXmlStreamReader::IncludeChildElements);
            bool missing = unfinished || said.trimmed().isEmpty();
            for (const auto& [chinese, english] : words) {
                checked += source.contains(chinese);
                missing |= source.contains(chinese) && !said.contains(english, Qt::CaseInsensitive);
            }
            if (missing)
                wrong << source + u" → "_s + said;
        }
        QVERIFY(!ts.hasError());
        QVERIFY(checked > 10);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void everyStateInEnglish() {
        const QStringList names{u"Orvo 标题"_s, u"光效"_s};
        auto queue = std::make_shared<ManualQueue>();
        Window w({u"Titles/Orvo 标题/a.moti"_s, u"Effects/光效/b.moef"_s, u"Fonts/A.ttf"_s,
                  u"tutorial_url.txt=https://example.com/t"_s, u"post.command=exit 0"_s,
                  u"插件位置.jpg"_s},
                 {}, Branding::defaults(), [&](Platform& platform, const Sandbox&) {
                     platform.mainQueue = queue;
                     platform.processRunner = std::make_shared<InstantScripts>(queue);
                 });
        w.box.programs->answer = QStringList{
            u"/usr/bin/login"_s, u"/Applications/Final Cut Pro.app/Contents/MacOS/Final Cut Pro"_s};
        queue->runAll();
        InstallerViewModel* vm = w.vm.get();
        ContentView* view = w.view;
        const auto shownInChinese = [&] {
            QCoreApplication::processEvents();
            return chinese(visibleTexts(), names);
        };

        // Switched while the window is open.
        QVERIFY(Language::use(u"en"_s));
        QCoreApplication::processEvents();
        QStringList seen = visibleTexts();
        QCOMPARE(chinese(seen, names), QStringList());
        QVERIFY(seen.contains(u"Install Plug-ins"_s) && seen.contains(u"Effects"_s));

        // A run turn by turn, one template failing; every status published is recorded.
        w.box.writeFile(u"home/Movies/Motion Templates.localized/Effects.localized/光效"_s);
        QStringList statuses;
        QObject guard;
        connect(vm, &InstallerViewModel::objectWillChange, &guard,
                [&] { statuses << vm->installationProgress(); });
        QTest::mouseClick(part::installButton(view), Qt::LeftButton);
        QStringList shown;
        QVERIFY(queue->runWhile([&] { return vm->isInstalling() || !vm->showInstallationAlert(); },
                                [&] { shown << shownInChinese(); }));
        QCoreApplication::processEvents();
        QCOMPARE(shown, QStringList());
        statuses << part::statusLine(view)->text();
        statuses.removeDuplicates();
        QCOMPARE(chinese(statuses, names), QStringList());
        QVERIFY2(statuses.contains(
                     u"“光效” could not be installed: “%1/Movies/Motion "
                     u"Templates.localized/Effects.localized/光效” already exists but is not a "
                     u"folder."_s.arg(w.box.homePath())) &&
                     statuses.contains(u"Running the post-install script…"_s),
                 qPrintable(statuses.join(u'\n')));
        QVERIFY(part::alert(view) && part::alert(view)->isVisible());
        QVERIFY(part::alert(view)->informativeText().endsWith(
            u"\nRestart Final Cut Pro to load the new templates."_s));
        part::alert(view)->defaultButton()->click();
        QCoreApplication::processEvents();

        // Fonts, then with no fonts folder left the failure and its reason.
        QTest::mouseClick(find<QPushButton>(view, u"Install Fonts"_s), Qt::LeftButton);
        queue->runAll();
        QTRY_COMPARE(part::statusLine(view)->text(), u"The fonts were installed."_s);
        QVERIFY(QDir(w.box.resourcePath() + u"/Fonts"_s).removeRecursively());
        vm->installFonts();
        QTRY_VERIFY(part::statusLine(view)->text().startsWith(
            u"The fonts could not be installed: The folder “"_s));

        // The location sheet.
        QTest::mouseClick(find<QPushButton>(view, u"Plug-in Location"_s), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(part::sheet(view) && part::sheet(view)->isVisible());
        QCOMPARE(chinese(visibleTexts(), names), QStringList());
        part::sheet(view)->closeButton()->click();

        // The empty state: the pack's templates gone, scanned again.
        for (const QString& kind : {u"Titles"_s, u"Effects"_s})
            QVERIFY(QDir(w.box.resourcePath() + u'/' + kind).removeRecursively());
        vm->scanFolders();
        QCOMPARE(shownInChinese(), QStringList());
        QVERIFY(part::emptyState(view)->isVisible());

        // And back: the status line, published in Chinese, is shown in Chinese again.
        QVERIFY(Language::use(QString()));
        QCoreApplication::processEvents();
        QCOMPARE(part::title(view)->text(), u"插件安装工具"_s);
        QCOMPARE(w.window->windowTitle(), u"插件安装工具"_s);
        QCOMPARE(part::statusLine(view)->text(), vm->installationProgress());
        QVERIFY(part::statusLine(view)->text().startsWith(u"字体安装失败: "_s));
    }
};

QTEST_MAIN(LanguageSwitchTest)
#include "tst_language_switch.moc"
