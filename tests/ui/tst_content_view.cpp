// The main view as the user meets it: its rules in each state, and what input writes back.
#include "platform/Language.h"
#include "platform/RealFileSystem.h"
#include "ui/Style.h"
#include "ui/WindowFixture.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QThread>
#include <QToolButton>

#include <atomic>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// What the view shows: the parts visible or enabled, then the status text if the line shows.
QString shown(const ContentView& view) {
    const QList<FolderRow*> rows = part::folderListPanel(&view)->list()->boundRows();
    const bool editable =
        !rows.isEmpty() && !rows[0]->nameField()->isReadOnly() && rows[0]->picker()->isEnabled();
    const std::pair<bool, const char*> parts[] = {
        {part::folderListPanel(&view)->isVisible(), "list"},
        {editable, "edit"},
        {part::folderListPanel(&view)->filterField()->isVisible(), "filter"},
        {part::installButton(&view)->isEnabled(), "install"},
        {part::installButton(&view)->isBusy(), "busy"},
        {find<QPushButton>(&view, u"安装字体"_s)->isEnabled(), "fonts"},
        {find<QPushButton>(&view, u"插件位置"_s)->isEnabled(), "location"},
        {find<PlainButton>(&view, u"使用教程"_s)->isEnabled(), "tutorial"},
        {part::sheet(&view) != nullptr, "sheet"},
        {part::alert(&view) != nullptr, "alert"}};
    QStringList on;
    for (const auto& [set, name] : parts)
        if (set)
            on << QString::fromLatin1(name);
    if (part::statusLine(&view)->isVisible())
        on << u"status:"_s + part::statusLine(&view)->text();
    return on.join(u' ');
}

// A row's new-or-merge mark as assistive technologies read it, if its tooltip says the same.
QString destination(FolderRow* row) {
    const QString said = accessibleText(row->nameField(), QAccessible::Description);
    const QString tip = row->nameField()->findChild<QToolButton*>()->toolTip();
    return tip == said ? said : said + u" / tooltip "_s + tip;
}

// A post-install script that holds the run until "go" is put beside it.
const QString heldScript =
    u"post.command=while [ ! -e \"$(dirname \"$0\")/go\" ]; do sleep 0.02; done"_s;

// Copies at a steady thousand bytes a second until released, then for real.
struct MeteredCopy : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    std::atomic<bool> released = true;
    Failure copyItem(const QString& from, const QString& to,
                     const CopyProgress& progress = {}) override {
        QElapsedTimer clock;
        clock.start();
        for (qint64 done = 0, now = 0; progress && !released; done = now, QThread::msleep(20))
            progress(0, (now = clock.elapsed()) - done);
        return RealFileSystem::copyItem(from, to, progress);
    }
};

void releaseRun(Window& w) {
    w.box.writeResourceFile(u"go"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!w.vm->isInstalling(), 20000);
}

} // namespace

class ContentViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The rules are computed in one place (ViewRules); the widgets only copy them.
    void rulesInEachState_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("installing");
        QTest::addColumn<QString>("expected");
        const QStringList all{u"Titles/A/a"_s, u"tutorial_url.txt=https://example.com/t"_s,
                              u"Fonts/a"_s, u"插件位置.jpg"_s};
        QTest::newRow("no folders") << all.mid(1) << false << "fonts location tutorial";
        // Without a picture the sheet still opens, with its button alone.
        QTest::newRow("no fonts, no address, no picture")
            << QStringList{all[0], u"tutorial_url.txt= "_s} << false
            << "list edit install location";
        // A run's status shows the line; the rows stay editable.
        QTest::newRow("installing, sheet open")
            << all + QStringList{heldScript} << true
            << "list edit busy location tutorial sheet status:执行安装后脚本...";
    }

    void rulesInEachState() {
        QFETCH(QStringList, files);
        QFETCH(bool, installing);
        QFETCH(QString, expected);
        Window w(files);
        if (installing) {
            w.vm->setShowingImageAlert(true);
            w.vm->installPlugins();
        }
        QTRY_COMPARE(shown(*w.view), expected);
        QCOMPARE(part::emptyState(w.view)->isVisible(), w.vm->folderItems().isEmpty());
        QCOMPARE(part::installButton(w.view)->text(),
                 installing ? u"正在安装..."_s : u"安装插件"_s);
        if (installing)
            releaseRun(w);
    }

    // A held copy: the time left in whole minutes up, no uninstall, Cancel once, the count of
    // what was already in place; then a rename that leaves the list unchanged redraws Install.
    void cancelDuringACopy() {
        std::shared_ptr<MeteredCopy> fs;
        Window w({u"Titles/B/b=b"_s, u"Effects/A/a="_s + QString(80000, u'a'), u"Fonts/F.ttf"_s},
                 {}, Branding::defaults(), [&](Platform& platform, const Sandbox& box) {
                     platform.fileSystem = fs = std::make_shared<MeteredCopy>(box.homePath());
                 });
        const ContentView* view = w.view;
        InstallerViewModel* vm = w.vm.get();
        vm->installPlugins();
        QTRY_VERIFY_WITH_TIMEOUT(vm->showInstallationAlert(), 20000);
        vm->dismissInstallationAlert();
        QTRY_VERIFY(!vm->isInstalling());
        QVERIFY(QDir(w.box.homePath() + u"/Movies/Motion Templates.localized/Effects.localized/A"_s)
                    .removeRecursively());
        fs->released = false;
        vm->installPlugins();
        QPushButton* cancel = find<QPushButton>(view, u"取消安装"_s);
        QTRY_COMPARE(part::timeLeft(view)->text(), u"剩余约 2 分钟"_s);
        QVERIFY(cancel->isVisible() && cancel->isEnabled());
        QVERIFY(!part::installButton(view)->isEnabled());
        QVERIFY(!find<QPushButton>(view, u"安装字体"_s)->isEnabled());
        vm->requestUninstallPreview(); // refused while a run goes on
        QVERIFY(!vm->isUninstalling());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!cancel->isEnabled());
        fs->released = true;
        QTRY_VERIFY_WITH_TIMEOUT(part::alert(view), 20000);
        QCOMPARE(part::alert(view)->text(), u"安装已取消"_s);
        QCOMPARE(vm->installationProgress(), u"安装已取消：已安装 1 个，共 2 个"_s);
        QTRY_VERIFY(part::installButton(view)->isEnabled());
        for (const auto& [name, enabled] : {std::pair{u".B"_s, false}, {u"B"_s, true}}) {
            vm->renameTemplate(vm->folderItems()[0].id, name);
            QCoreApplication::processEvents();
            QCOMPARE(part::installButton(view)->isEnabled(), enabled);
        }
    }

    // Dark and back while open: each appearance's own blue everywhere, no light area in dark.
    void colorsFollowTheAppearance() {
        Window w({u"Titles/A/a"_s, u"tutorial_url.txt=https://example.com/t"_s, u"Fonts/a"_s});
        w.vm->installFonts();
        QTRY_COMPARE(w.vm->installationProgress(), u"字体安装完成"_s);
        const QPalette light = QApplication::palette();
        QPalette dark(QColor(0x4A, 0x4A, 0x4A), QColor(0x2B, 0x2B, 0x2B));
        dark.setColor(QPalette::PlaceholderText, QColor(0x98, 0x98, 0x9D));
        const QRgb lightBlue = qRgb(0x00, 0x7A, 0xFF);
        const QRgb darkBlue = qRgb(0x0A, 0x84, 0xFF);
        for (const bool isDark : {true, false}) {
            QApplication::setPalette(isDark ? dark : light);
            QCoreApplication::processEvents();
            QCOMPARE(Style::isDark(), isDark);
            const QImage shot = w.window->grab().toImage();
            int ownBlue = 0, otherBlue = 0, bright = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QRgb pixel = shot.pixel(x, y) | 0xFF000000;
                    ownBlue += pixel == (isDark ? darkBlue : lightBlue);
                    otherBlue += pixel == (isDark ? lightBlue : darkBlue);
                    bright += QColor(pixel).lightness() > 200;
                }
            QVERIFY2(ownBlue > 1000 && otherBlue == 0,
                     qPrintable(u"%1 %2"_s.arg(ownBlue).arg(otherBlue)));
            if (isDark)
                QVERIFY2(bright < shot.width() * shot.height() / 50,
                         qPrintable(QString::number(bright)));
        }
    }

    // New folder or merge, as the name changes and installed folders come and go.
    void newOrMergePerRow_data() {
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("before"); // "merge", "new" or the warning's reason
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("after");
        const QString a = u"Titles.localized/A"_s, b = u"Titles.localized/B"_s;
        QTest::newRow("installed folder") << a << u"merge"_s << QString() << u"merge"_s;
        QTest::newRow("another kind's folder")
            << u"Effects.localized/A"_s << u"new"_s << QString() << u"new"_s;
        QTest::newRow("typed new name") << a << u"merge"_s << u"type A2"_s << u"new"_s;
        QTest::newRow("typed existing name") << b << u"new"_s << u"type B"_s << u"merge"_s;
        QTest::newRow("typed hidden name")
            << b << u"new"_s << u"type .B"_s
            << u"名称 “.B” 不能用作文件夹名：以 “.” 开头的文件夹是隐藏的，Final Cut Pro 不会显示它"_s;
        QTest::newRow("typed the longest name")
            << b << u"new"_s << u"type "_s + QString(255, u'a') << u"new"_s;
        QTest::newRow("typed too long a name")
            << b << u"new"_s << u"type "_s + QString(256, u'a')
            << u"名称太长，不能用作文件夹名：256 字节，最多 255 字节"_s;
        QTest::newRow("installed by a run") << QString() << u"new"_s << u"run"_s << u"merge"_s;
        QTest::newRow("failed in a run")
            << a + u"/a"_s << u"merge"_s << u"run"_s
            << u"“…/A/a” 是文件夹，不能用文件替换：文件夹及其中的内容保持不变"_s;
        QTest::newRow("removed while away") << a << u"merge"_s << u"remove A"_s << u"new"_s;
    }

    void newOrMergePerRow() {
        QFETCH(QString, installed);
        QFETCH(QString, before);
        QFETCH(QString, action);
        QFETCH(QString, after);
        const QString kinds = u"Movies/Motion Templates.localized/"_s;
        Window w({u"Titles/A/a"_s},
                 installed.isEmpty() ? QStringList() : QStringList{kinds + installed});
        const QString titles = w.box.homePath() + u'/' + kinds + u"Titles.localized/"_s;
        const auto said = [&](const QString& code) {
            return code == u"merge"_s ? u"将合并到已有文件夹"_s
                   : code == u"new"_s ? u"将新建文件夹"_s
                                      : QString(code).replace(u"…"_s, titles.chopped(1));
        };
        FolderRow* row = w.list()->revealRow(0);
        QTRY_COMPARE(destination(row), said(before));

        const QString verb = action.section(u' ', 0, 0), name = action.section(u' ', 1);
        if (verb == u"type"_s) {
            row->nameField()->selectAll();
            QTest::keyClicks(row->nameField(), name);
        } else if (verb == u"run"_s) {
            QTest::mouseClick(part::installButton(w.view), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(part::alert(w.view) != nullptr, 20000);
        } else if (verb == u"remove"_s) {
            // Removed in the Finder, say, while another window was active.
            QWidget other;
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QVERIFY(QDir(titles + name).removeRecursively());
            w.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        }
        QTRY_COMPARE(destination(row), said(after));
        QTRY_COMPARE(part::installButton(w.view)->isEnabled(), !after.startsWith(u"名称"_s));
    }

    // A maker's build names the maker, in each language, and nothing of ours or of fonts.
    void onlyTheMakersBrand_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("zh") << QString()
                            << QStringList{u"My Templates"_s, u"模板设计与制作：Maker Co"_s,
                                           u"最新版本发布于 maker.example"_s, u"版本 1.2.0"_s,
                                           u"点击安装插件将自动安装到用户目录-影片-Motion "
                                           u"templates文件夹\n模板内置的字体仅供演示和学习 "
                                           u"商用请自行解决版权问题"_s};
        QTest::newRow("en") << u"en"_s
                            << QStringList{u"My Templates"_s,
                                           u"Templates designed and made by Maker Co"_s,
                                           u"Get the latest version at maker.example"_s,
                                           u"Version 1.2.0"_s};
    }
    void onlyTheMakersBrand() {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        QVERIFY(Language::use(language));
        const Branding maker{u"My Templates"_s, u"Maker Co"_s, QUrl(u"https://maker.example/x"_s),
                             QUrl(u"https://maker.example/help"_s), u"1.2.0"_s};
        Window w({u"Titles/A/a"_s, u"插件位置.en.jpg=P1 2 1 0 1"_s}, {}, maker);
        QStringList said{w.window->windowTitle()};
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            said << node->text(QAccessible::Name) << node->text(QAccessible::Description);
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i));
        };
        walk(QAccessible::queryAccessibleInterface(w.window.get()));
        // The English picture is the English window's only.
        QTest::mouseClick(find<QPushButton>(w.view, ContentView::tr("插件位置")), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(part::sheet(w.view));
        QCOMPARE(part::sheet(w.view)->picture() != nullptr, !language.isEmpty());
        Language::use(QString());
        for (const QString& text : expected)
            QVERIFY2(said.contains(text), qPrintable(text + u" not in: "_s + said.join(u'|')));
        const QString all = said.join(u'\n');
        for (const char* ours : {"Orvo", "orvo", "插件安装工具"})
            QVERIFY2(!all.contains(QString::fromUtf8(ours)), ours);
    }

    // Focus on the filter, which narrows and takes no room under 13 templates; the list keeps
    // its 150 points under a header that stays; long names tip; at its smallest the window
    // still holds it all, a run's status and bar included.
    void longListAtAnySize() {
        QStringList pack;
        for (int i = 1; i <= 13; ++i)
            pack << u"Titles/T%1/a"_s.arg(i);
        pack << heldScript;
        Window w(pack);
        // Rows come in the listing's order.
        const auto row = [&](const QString& name) {
            for (int i = 0;; ++i)
                if (w.vm->folderItems()[i].originalName == name)
                    return i;
        };
        const int t10 = row(u"T10"_s);
        QCOMPARE(accessibleText(QApplication::focusWidget()), u"筛选模板"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"t1"_s);
        QCOMPARE(w.list()->shownCount(), 5); // T1, T10 … T13
        // An original name matches too, in any case.
        w.vm->renameTemplate(w.vm->folderItems()[row(u"T2"_s)].id, u"X"_s);
        part::folderListPanel(w.view)->filterField()->setText(u"t2"_s);
        QCOMPARE(w.list()->shownCount(), 1);
        part::folderListPanel(w.view)->filterField()->setText(u"t1"_s);
        QCOMPARE(w.list()->revealRow(row(u"T2"_s)), nullptr);
        QCOMPARE(w.list()->revealRow(t10)->nameField()->text(), u"T10"_s);

        FolderListPanel* panel = part::folderListPanel(w.view);
        const int withFilter = panel->height();
        QVERIFY(QDir(w.box.resourcePath() + u"/Titles/T13"_s).removeRecursively());
        w.vm->scanFolders();
        QTRY_VERIFY(!panel->filterField()->isVisible());
        QTRY_COMPARE(panel->height(), withFilter - panel->filterField()->parentWidget()->height());
        w.window->resize(w.window->width(), w.window->height() + 200);
        QCoreApplication::processEvents();
        QCOMPARE(w.list()->height(), 150);
        auto* caption = panel->findChild<QLabel*>();
        const QPoint header = caption->mapTo(w.window.get(), QPoint());
        w.list()->revealRow(11);
        QVERIFY(w.list()->verticalScrollBar()->value() > 0);
        QCOMPARE(caption->mapTo(w.window.get(), QPoint()), header);

        const QString longName(200, u'W');
        w.vm->renameTemplate(w.vm->folderItems()[0].id, longName);
        QCOMPARE(w.list()->revealRow(0)->nameField()->toolTip(), longName);

        w.vm->installPlugins();
        QTRY_COMPARE(w.vm->installationProgress(), u"执行安装后脚本..."_s);
        QVERIFY(part::progressBar(w.view)->isVisible());
        // Nothing scrolls at the smallest size, even now.
        w.window->resize(InstallerWindow::minimumContentWidth,
                         InstallerWindow::minimumContentHeight);
        QTRY_COMPARE(w.view->height(), InstallerWindow::minimumContentHeight);
        releaseRun(w);
    }

    void keyboardPickerAndSheetAmongTwoThousandRows() {
        QStringList pack{u"tutorial_url.txt=https://example.com/t"_s, u"Fonts/a"_s,
                         u"插件位置.jpg"_s};
        for (int i = 0; i < 2000; ++i)
            pack << u"%1/Folder %2/a"_s.arg(resourceFolderName(FolderType(i % 4))).arg(i);
        Window w(pack);
        const QList<FolderItem> items = w.vm->folderItems();
        QCOMPARE(items.size(), 2000);
        QTRY_VERIFY(find<PlainButton>(w.view, u"使用教程"_s)->isEnabled());
        const auto name = [&](int row) { return items.at(row).newName; };

        // A key writes that item's newName only, keeping focus and cursor.
        QLineEdit* field = w.list()->revealRow(1000)->nameField();
        field->setFocus();
        field->setCursorPosition(2);
        QTest::keyClick(field, Qt::Key_X);
        QCoreApplication::processEvents();
        w.list()->revealRow(0); // out of sight, the row typed in keeps its item and the focus
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->cursorPosition(), 3);
        QCOMPARE(w.vm->folderItems().at(1000).newName, name(1000).insert(2, u'x'));
        QCOMPARE(w.vm->folderItems().at(999).newName, name(999));
        QCOMPARE(w.vm->folderItems().at(1001).newName, name(1001));

        // Each stop by its accessible name and, as rows are recycled, its row's item.
        auto stop = [] {
            QWidget* focus = QApplication::focusWidget();
            QString name = accessibleText(focus);
            for (QWidget* up = focus; up; up = up->parentWidget())
                if (auto* row = qobject_cast<FolderRow*>(up))
                    name += u" / "_s + row->nameField()->text();
            return name;
        };
        // From the filter down the rows, then from the last row on to the buttons.
        QStringList stops, expected{u"筛选模板"_s};
        part::folderListPanel(w.view)->filterField()->setFocus(Qt::MouseFocusReason);
        for (int i = 0; i < 8 * 2 + 7; ++i) {
            if (i == 8 * 2 + 1)
                w.list()->revealRow(1999)->picker()->setFocus(Qt::MouseFocusReason);
            stops << stop();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (int i = 0; i < 8; ++i)
            expected << u"在FCPX中的显示名称 %1 / %2"_s.arg(kindLabel(items[i].type), name(i))
                     << u"选择已有文件夹 / "_s + name(i);
        expected << u"选择已有文件夹 / "_s + name(1999) << u"安装插件"_s << u"安装字体"_s
                 << u"插件位置"_s << u"使用教程"_s << u"最新版本发布于 www.orvo.studio"_s;
        QCOMPARE(stops, expected);
        // Back from the buttons lands on the last row's picker, in sight.
        part::installButton(w.view)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(part::installButton(w.view), Qt::Key_Backtab);
        QCOMPARE(stop(), u"选择已有文件夹 / "_s + name(1999));
        QWidget* viewport = w.list()->viewport();
        QVERIFY(viewport->rect().contains(QApplication::focusWidget()->mapTo(viewport, QPoint())));

        // Per kind: where the picker opens, its answer (none: cancelled), the name it sets.
        const QString base = w.box.homePath() + u"/Movies/Motion Templates.localized/"_s;
        const std::tuple<QString, std::optional<QString>, QString> cases[] = {
            {u"Titles.localized"_s, base + u"Titles.localized"_s, u"Titles.localized"_s},
            {u"Effects.localized"_s, std::nullopt, QString()}, // as typed
            {u"Generators.localized"_s, u"/elsewhere/G"_s, u"G"_s},
            {u"Transitions.localized"_s, base + u"Transitions.localized/Old/"_s, u"Old"_s}};
        for (int k = 0; k < 4; ++k) {
            int i = 0;
            while (items[i].type != FolderType(k))
                ++i;
            const auto& [kindFolder, answer, picked] = cases[k];
            const QString newName = picked.isNull() ? name(i) + u'2' : picked;
            w.chooser->answer = answer;
            FolderRow* row = w.list()->revealRow(i);
            QTest::keyClicks(row->nameField(), u"2"_s);
            QTest::mouseClick(row->picker(), Qt::LeftButton);
            QCOMPARE(w.chooser->startFolders.last(), base + kindFolder);
            QCOMPARE(w.vm->folderItems().at(i).newName, newName);
            QCoreApplication::processEvents();
            QCOMPARE(row->nameField()->text(), newName);
            QVERIFY(!w.window->findChild<QMessageBox*>());
        }

        // The sheet reads its picture afresh each time: empty, an unreadable file, a bitmap.
        for (const QByteArray picture : {"", "not a picture", "P1 2 1 0 1"}) {
            w.box.writeResourceFile(LocationSheet::pictureFileName(), picture);
            QTest::mouseClick(find<QPushButton>(w.view, u"插件位置"_s), Qt::LeftButton);
            QCoreApplication::processEvents();
            QPointer<LocationSheet> sheet = part::sheet(w.view);
            QVERIFY(sheet && sheet->isVisible() && sheet->windowModality() == Qt::WindowModal);
            QCOMPARE(sheet->picture() != nullptr, picture.startsWith("P1"));
            QCOMPARE(sheet->closeButton()->text(), u"关闭"_s);
            QTest::keyClick(sheet, Qt::Key_Return); // presses "关闭", the default button
            QVERIFY(!w.vm->showingImageAlert());
            QTRY_VERIFY(!sheet);
        }
    }
};

QTEST_MAIN(ContentViewTest)
#include "tst_content_view.moc"
