<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Orvoinstaller::Branding</name>
    <message>
        <source>不能为空</source>
        <translation>it must not be empty</translation>
    </message>
    <message>
        <source>只能是一行文字</source>
        <translation>it must be one line of text</translation>
    </message>
    <message>
        <source>应为 http 或 https 地址，例如 https://www.example.com/</source>
        <translation>give an http or https address, e.g. https://www.example.com/</translation>
    </message>
    <message>
        <source>应为一到三个以点分隔的数字，例如 1.2.0</source>
        <translation>give one to three numbers separated by dots, e.g. 1.2.0</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::BundleFiles</name>
    <message>
        <source>无法读取文件 “%1”: %2</source>
        <translation>The file “%1” cannot be read: %2</translation>
    </message>
    <message>
        <source>无法写入 “%1”: %2</source>
        <translation>“%1” could not be written: %2</translation>
    </message>
    <message>
        <source>“%1” 不是 XML 格式的属性列表</source>
        <translation>“%1” is not a property list in XML</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::CommandLine</name>
    <message>
        <source>--name %1: 缺少新名称，应写作 KIND/OLD=NEW</source>
        <translation>--name %1: no new name; write KIND/OLD=NEW</translation>
    </message>
    <message>
        <source>--name %1: 模板包里没有这个模板（应写作 KIND/OLD=NEW，KIND 为 Titles、Effects、Generators 或 Transitions）</source>
        <translation>--name %1: the pack has no such template (write KIND/OLD=NEW, KIND one of Titles, Effects, Generators, Transitions)</translation>
    </message>
    <message>
        <source>--name %1: 有歧义，模板 %2 都符合；请在窗口中改名</source>
        <translation>--name %1: ambiguous, the templates %2 all fit; rename one of them in the window instead</translation>
    </message>
    <message>
        <source>--name %1: 这个模板被指定了两次</source>
        <translation>--name %1: that template is named twice</translation>
    </message>
    <message>
        <source>无法读取模板包: %1 之中或旁边没有可读的资源文件夹</source>
        <translation>Cannot read the template pack: no readable resource folder in or beside %1</translation>
    </message>
    <message>
        <source>用法: %1 --list | --install | --uninstall [选项]...
不打开窗口，列出、安装或卸载随附的 Motion 模板。

  --list               列出每个模板: 类型&lt;TAB&gt;名称&lt;TAB&gt;new|merge
  --install            像窗口一样安装每个模板，然后运行安装后脚本
  --uninstall          删除以前安装写入、之后无人改动的文件
  --name KIND/OLD=NEW  与 --install 一起: 把 KIND 类的模板 OLD 安装为 NEW（可重复）
  --fonts              与 --install 一起: 同时安装随附的字体
  --no-script          与 --install 一起: 不运行安装后脚本
  --checksum           与 --install 一起: 比较字节，而不只看大小和修改时间
  --json               与 --install、--list 或 --uninstall 一起: 输出一个 JSON 文档（格式 1）
  --dry-run            与 --uninstall 一起: 只说明会删除什么
  --quiet              除非出错，什么都不输出
  --verbose            同时在标准错误上输出诊断行
  -h, --help           显示本帮助
  -v, --version        显示版本

退出状态: 0 完成；1 有失败；2 参数有误，什么都没写入；
130 或 143 被 SIGINT 或 SIGTERM 在安全处停下。

示例:
  %1 --list
  %1 --install --name &apos;Titles/Lower Third=Studio Lower Third&apos; --json &gt; report.json
  %1 --uninstall --dry-run</source>
        <translation>Usage: %1 --list | --install | --uninstall [OPTION]...
Lists, installs or uninstalls the bundled Motion templates without opening the window.

  --list               print each template: KIND&lt;TAB&gt;NAME&lt;TAB&gt;new|merge
  --install            install every template as the window does, then run the post-install script
  --uninstall          remove what earlier installations wrote and nobody changed since
  --name KIND/OLD=NEW  with --install: install template OLD of KIND as NEW (repeatable)
  --fonts              with --install: also install the bundled fonts
  --no-script          with --install: do not run the post-install script
  --checksum           with --install: compare bytes, not only size and modification time
  --json               with --install, --list or --uninstall: print one JSON document (format 1)
  --dry-run            with --uninstall: only say what would be removed
  --quiet              print nothing unless something fails
  --verbose            also print the trace lines on standard error
  -h, --help           show this help
  -v, --version        show the version

Exit status: 0 done; 1 something failed; 2 wrong arguments, nothing written;
130 or 143 stopped by SIGINT or SIGTERM at a safe point.

Examples:
  %1 --list
  %1 --install --name &apos;Titles/Lower Third=Studio Lower Third&apos; --json &gt; report.json
  %1 --uninstall --dry-run</translation>
    </message>
    <message>
        <source>未知选项: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>%1 后面缺少 KIND/OLD=NEW</source>
        <translation>%1 needs KIND/OLD=NEW after it</translation>
    </message>
    <message>
        <source>%1 不带值</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>运行 %1 --help 查看用法</source>
        <translation>Try %1 --help</translation>
    </message>
    <message>
        <source>没有可用的显示器，无法打开窗口；不用窗口时请给出 --list、--install 或 --uninstall。</source>
        <translation>The window needs a display and there is none; without the window, give --list, --install or --uninstall.</translation>
    </message>
    <message>
        <source>不用编译器制作你自己的安装程序: %1 --make-installer --help</source>
        <translation>Make your own installer without a compiler: %1 --make-installer --help</translation>
    </message>
    <message>
        <source>多余的参数: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>请给出 --list、--install 或 --uninstall 中的一个。</source>
        <translation>Give one of --list, --install or --uninstall.</translation>
    </message>
    <message>
        <source>--%1 只能与 %2 一起使用。</source>
        <translation>--%1 goes with %2 only.</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>已安装</source>
        <translation>installed</translation>
    </message>
    <message>
        <source>已安装到当前用户的字体文件夹</source>
        <translation>installed in your own Fonts folder</translation>
    </message>
    <message>
        <source>%1 未能安装: %2</source>
        <translation>%1 could not be installed: %2</translation>
    </message>
    <message>
        <source>字体未能安装: %1</source>
        <translation>The fonts could not be installed: %1</translation>
    </message>
    <message>
        <source>安装记录未能保存: %1</source>
        <translation>The install record could not be saved: %1</translation>
    </message>
    <message>
        <source>安装后脚本无法启动: %1</source>
        <translation>The post-install script could not start: %1</translation>
    </message>
    <message>
        <source>安装后脚本失败，退出状态 %1</source>
        <translation>The post-install script failed with exit status %1.</translation>
    </message>
    <message>
        <source>无法安装到 %1: %2</source>
        <translation>Cannot install into %1: %2</translation>
    </message>
    <message>
        <source>%1：共 %2 个模板：新安装 %3 个，合并 %4 个，无变化 %5 个，失败 %6 个，取消 %7 个；脚本: %8；字体: %9</source>
        <translation>%1: %2 templates: %3 installed, %4 merged, %5 unchanged, %6 failed, %7 cancelled; script: %8; fonts: %9</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>没有已安装的模板：还没有安装记录。</source>
        <translation>No templates are installed: there is no install record yet.</translation>
    </message>
    <message>
        <source>没有已安装的模板：安装记录是空的。</source>
        <translation>No templates are installed: the install record is empty.</translation>
    </message>
    <message>
        <source>%1；未删除任何内容</source>
        <translation>%1: nothing removed</translation>
    </message>
    <message>
        <source>试运行：将删除 %1 个文件和 %2 个文件夹，将保留 %3 个，失败 %4 个</source>
        <translation>Dry run: would remove %1 files and %2 folders, would keep %3, %4 failed</translation>
    </message>
    <message>
        <source>完成：已删除 %1 个文件和 %2 个文件夹，保留 %3 个，失败 %4 个</source>
        <translation>Done: removed %1 files and %2 folders, kept %3, %4 failed</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::ContentView</name>
    <message>
        <source>插件安装工具</source>
        <translation>Plug-in Installer</translation>
    </message>
    <message>
        <source>没有可用的插件文件夹</source>
        <translation>No plug-in folders available</translation>
    </message>
    <message>
        <source>安装字体</source>
        <translation>Install Fonts</translation>
    </message>
    <message>
        <source>插件位置</source>
        <translation>Plug-in Location</translation>
    </message>
    <message>
        <source>使用教程</source>
        <translation>Tutorial</translation>
    </message>
    <message>
        <source>模板设计与制作：%1</source>
        <translation>Templates designed and made by %1</translation>
    </message>
    <message>
        <source>最新版本发布于 %1</source>
        <translation>Get the latest version at %1</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>点击安装插件将自动安装到用户目录-影片-Motion templates文件夹</source>
        <translation>Install Plug-ins puts the plug-ins in your home folder › Movies › Motion Templates.</translation>
    </message>
    <message>
        <source>模板内置的字体仅供演示和学习 商用请自行解决版权问题</source>
        <translation>The fonts built into the templates are for demonstration and study only; license them yourself for commercial use.</translation>
    </message>
    <message>
        <source>正在安装...</source>
        <translation>Installing…</translation>
    </message>
    <message>
        <source>安装插件</source>
        <translation>Install Plug-ins</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>安装进度</source>
        <translation>Installation progress</translation>
    </message>
    <message>
        <source>取消安装</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>在 Finder 中显示</source>
        <translation>Show in Finder</translation>
    </message>
    <message>
        <source>卸载完成</source>
        <translation>Uninstall Complete</translation>
    </message>
    <message>
        <source>卸载</source>
        <translation>Uninstall</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>卸载已安装的模板…</source>
        <translation>Uninstall Installed Templates…</translation>
    </message>
    <message>
        <source>无法打开文件夹</source>
        <translation>The folder could not be opened</translation>
    </message>
    <message>
        <source>无法打开网页</source>
        <translation>The web page could not be opened</translation>
    </message>
    <message>
        <source>以下文件不是安装程序放入的，将保留：</source>
        <translation>These files were not put there by the installer and will be kept:</translation>
    </message>
    <message>
        <source>以下文件不是安装程序放入的，已保留：</source>
        <translation>These files were not put there by the installer and were kept:</translation>
    </message>
    <message>
        <source>以下文件在安装后被修改过（大小或修改时间不同），将保留：</source>
        <translation>These files changed after they were installed (their size or modification time differs) and will be kept:</translation>
    </message>
    <message>
        <source>以下文件在安装后被修改过（大小或修改时间不同），已保留：</source>
        <translation>These files changed after they were installed (their size or modification time differs) and were kept:</translation>
    </message>
    <message>
        <source>以下项目在安装后被替换为另一个项目，将保留：</source>
        <translation>These items were replaced by other items after they were installed and will be kept:</translation>
    </message>
    <message>
        <source>以下项目在安装后被替换为另一个项目，已保留：</source>
        <translation>These items were replaced by other items after they were installed and were kept:</translation>
    </message>
    <message>
        <source>以下文件所在的文件夹已是链接或不再是文件夹，不会跟随，将保留：</source>
        <translation>A folder on the way to these files is now a link or no folder at all, which is never followed, so they will be kept:</translation>
    </message>
    <message>
        <source>以下文件所在的文件夹已是链接或不再是文件夹，不会跟随，已保留：</source>
        <translation>A folder on the way to these files is now a link or no folder at all, which is never followed, so they were kept:</translation>
    </message>
    <message>
        <source>以下文件已不存在：</source>
        <translation>These files are no longer there:</translation>
    </message>
    <message>
        <source>以下文件将保留：</source>
        <translation>These files will be kept:</translation>
    </message>
    <message>
        <source>以下文件已保留：</source>
        <translation>These files were kept:</translation>
    </message>
    <message numerus="yes">
        <source>%n 个文件</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 个文件夹</source>
        <translation>
            <numerusform>%n folder</numerusform>
            <numerusform>%n folders</numerusform>
        </translation>
    </message>
    <message>
        <source>将移除 %1和 %2，保留 %3。</source>
        <translation>This removes %1 and %2 and keeps %3.</translation>
    </message>
    <message>
        <source>将移除 %1和 %2。</source>
        <translation>This removes %1 and %2.</translation>
    </message>
    <message>
        <source>已移除 %1和 %2。</source>
        <translation>Removed %1 and %2.</translation>
    </message>
    <message>
        <source>已移除 %1和 %2，保留 %3。</source>
        <translation>Removed %1 and %2; kept %3.</translation>
    </message>
    <message>
        <source>以下文件和文件夹将被移除：</source>
        <translation>These files and folders will be removed:</translation>
    </message>
    <message>
        <source>以下文件和文件夹已移除：</source>
        <translation>These files and folders were removed:</translation>
    </message>
    <message>
        <source>以下文件未能移除：</source>
        <translation>These files could not be removed:</translation>
    </message>
    <message>
        <source>已安装的字体不会被卸载。</source>
        <translation>Installed fonts are not uninstalled.</translation>
    </message>
    <message>
        <source>没有可以卸载的模板</source>
        <translation>No Templates to Uninstall</translation>
    </message>
    <message>
        <source>卸载已安装的模板？</source>
        <translation>Uninstall the installed templates?</translation>
    </message>
    <message>
        <source>…还有 %1 个</source>
        <translation>…and %1 more</translation>
    </message>
    <message>
        <source>剩余约 %1 秒</source>
        <translation>Time remaining: about %1 s</translation>
    </message>
    <message>
        <source>剩余约 %1 分钟</source>
        <translation>Time remaining: about %1 min</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::FittedImage</name>
    <message>
        <source>插件位置</source>
        <translation>Where the plug-ins appear in Final Cut Pro</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::FolderListPanel</name>
    <message>
        <source>插件类型</source>
        <translation>Plug-in Type</translation>
    </message>
    <message>
        <source>修改在FCPX中显示名称</source>
        <translation>Name Shown in FCPX</translation>
    </message>
    <message>
        <source>或者合并到现有目录</source>
        <translation>Or Merge Into…</translation>
    </message>
    <message>
        <source>筛选模板</source>
        <translation>Filter templates</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::FolderPicker</name>
    <message>
        <source>选择已有文件夹</source>
        <translation>Choose an existing folder</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::FolderRow</name>
    <message>
        <source>在FCPX中的显示名称</source>
        <translation>Name shown in FCPX</translation>
    </message>
    <message>
        <source>将合并到已有文件夹</source>
        <translation>Will merge into the existing folder</translation>
    </message>
    <message>
        <source>将新建文件夹</source>
        <translation>Will create a new folder</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::FontInstallation</name>
    <message>
        <source>“%1” 的名称不是有效的 UTF-8，不会安装它</source>
        <translation>The name of “%1” is not valid UTF-8; it is not installed.</translation>
    </message>
    <message>
        <source>字体 “%1” 是链接，但它指向的不是字体包内的普通文件</source>
        <translation>The font “%1” is a link, but not to a regular file inside the pack.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::InstallSteps</name>
    <message>
        <source>正在等待另一个安装程序完成...</source>
        <translation>Waiting for another installer to finish…</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::Installation</name>
    <message>
        <source>磁盘空间不足：需要 %1，可用 %2</source>
        <translation>Not enough disk space: %1 needed, %2 free</translation>
    </message>
    <message>
        <source>无法找到资源文件夹</source>
        <translation>The resource folder cannot be found.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::InstallerViewModel</name>
    <message>
        <source>模板包有一部分无法读取: %1</source>
        <translation>Part of the template pack cannot be read: %1</translation>
    </message>
    <message>
        <source>开始安装...</source>
        <translation>Starting installation…</translation>
    </message>
    <message>
        <source>正在安装: %1</source>
        <translation>Installing “%1”…</translation>
    </message>
    <message>
        <source>安装 %1 失败: %2</source>
        <translation>“%1” could not be installed: %2</translation>
    </message>
    <message>
        <source>已安装: %1</source>
        <translation>Installed “%1”.</translation>
    </message>
    <message>
        <source>执行安装后脚本...</source>
        <translation>Running the post-install script…</translation>
    </message>
    <message>
        <source>安装完成！</source>
        <translation>Installation complete.</translation>
    </message>
    <message>
        <source>字体安装失败: %1</source>
        <translation>The fonts could not be installed: %1</translation>
    </message>
    <message>
        <source>字体已安装到当前用户的字体文件夹</source>
        <translation>The fonts were installed in your own Fonts folder.</translation>
    </message>
    <message>
        <source>字体安装完成</source>
        <translation>The fonts were installed.</translation>
    </message>
    <message>
        <source>安装已取消</source>
        <translation>Installation Canceled</translation>
    </message>
    <message>
        <source>插件未能安装</source>
        <translation>The Plug-ins Could Not Be Installed</translation>
    </message>
    <message>
        <source>部分插件未能安装</source>
        <translation>Some Plug-ins Could Not Be Installed</translation>
    </message>
    <message>
        <source>安装完成！</source>
        <comment>title</comment>
        <translation>Installation Complete</translation>
    </message>
    <message>
        <source>插件安装成功！</source>
        <translation>The plug-ins were installed.</translation>
    </message>
    <message>
        <source>插件已安装，但安装后脚本执行失败</source>
        <translation>The plug-ins were installed, but the post-install script failed.</translation>
    </message>
    <message>
        <source>%1 个插件安装失败，共 %2 个</source>
        <translation>%1 of %2 plug-ins could not be installed.</translation>
    </message>
    <message>
        <source>；安装后脚本也执行失败</source>
        <translation> The post-install script failed as well.</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>…还有 %1 个</source>
        <translation>…and %1 more</translation>
    </message>
    <message>
        <source>安装记录未能保存，卸载将无法删除本次安装的文件：</source>
        <translation>The install record could not be saved, so an uninstall cannot remove what this run installed: </translation>
    </message>
    <message>
        <source>请重新启动 Final Cut Pro 以载入新模板</source>
        <translation>Restart Final Cut Pro to load the new templates.</translation>
    </message>
    <message>
        <source>安装已取消：已安装 %1 个，共 %2 个</source>
        <translation>Installation canceled. Installed: %1 of %2.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::Kind</name>
    <message>
        <source>字幕Titles</source>
        <translation>Titles</translation>
    </message>
    <message>
        <source>效果Effects</source>
        <translation>Effects</translation>
    </message>
    <message>
        <source>发生器Generators</source>
        <translation>Generators</translation>
    </message>
    <message>
        <source>转场Transitions</source>
        <translation>Transitions</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::LocationSheet</name>
    <message>
        <source>插件位置</source>
        <translation>Plug-in Location</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::MakeInstaller</name>
    <message>
        <source>用法: %1 --make-installer PACK --out FOLDER [选项]...
不用编译器，把正在运行的安装程序复制为 FOLDER/APP_NAME.app，装入模板包 PACK，写入你的名称、版本和图标。

  --display-name TEXT   窗口标题和应用名称（默认: 插件安装工具）
  --app-name NAME       包名 NAME.app 和可执行文件名（默认: PluginInstaller）
  --bundle-id ID        CFBundleIdentifier（默认: com.orvo.plugininstaller）
  --maker-name TEXT     窗口的署名（默认: Orvo Studio）
  --maker-url URL       署名链接打开的网址（默认: https://www.orvo.studio/）
  --tutorial-url URL    模板包没有 tutorial_url.txt 时的教程网址
  --version X.Y.Z       版本，一到三个数字（默认: 1.0.0）
  --icon PNG|ICNS       图标: .icns 文件，或 1024 像素以上的正方形 PNG
  --sign IDENTITY       macOS: 用 codesign 签名（hardened runtime、时间戳）
  --dmg                 macOS: 用 hdiutil 制作磁盘映像
  --tar                 Linux: 制作与 package 目标相同的 .tar.gz
  --force               替换已有的 FOLDER/APP_NAME.app
  --dry-run             只检查并列出会做的事和会运行的命令，什么都不写

退出状态: 0 完成；1 失败（最终名称下不留下半成品）；2 参数有误，什么都没写入。</source>
        <translation>Usage: %1 --make-installer PACK --out FOLDER [OPTION]...
Without a compiler: copies the running installer to FOLDER/APP_NAME.app around the template pack PACK, under your names, version and icon.

  --display-name TEXT   the window&apos;s title and the app&apos;s name (default: 插件安装工具, in English “Plug-in Installer”)
  --app-name NAME       the bundle NAME.app and its executable (default: PluginInstaller)
  --bundle-id ID        CFBundleIdentifier (default: com.orvo.plugininstaller)
  --maker-name TEXT     the window&apos;s credit line (default: Orvo Studio)
  --maker-url URL       the address the credit link opens (default: https://www.orvo.studio/)
  --tutorial-url URL    the tutorial address when the pack has no tutorial_url.txt
  --version X.Y.Z       the version, one to three numbers (default: 1.0.0)
  --icon PNG|ICNS       the icon: an .icns file, or a square PNG of 1024 pixels or more
  --sign IDENTITY       macOS: sign with codesign (hardened runtime, timestamp)
  --dmg                 macOS: make the disk image with hdiutil
  --tar                 Linux: make the .tar.gz the package target makes
  --force               replace an existing FOLDER/APP_NAME.app
  --dry-run             check, then list what would be made and every command it would run; write nothing

Exit status: 0 made; 1 failed (nothing half made left under the final name); 2 wrong arguments, nothing written.</translation>
    </message>
    <message>
        <source>运行 %1 --make-installer --help 查看用法</source>
        <translation>Try %1 --make-installer --help</translation>
    </message>
    <message>
        <source>多余的参数: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>--%1 只能给一次</source>
        <translation>--%1 may be given once only</translation>
    </message>
    <message>
        <source>请用 --out FOLDER 给出放安装程序的文件夹</source>
        <translation>Give the folder for the installer with --out FOLDER</translation>
    </message>
    <message>
        <source>Finder 把 “:” 显示为 “/”</source>
        <translation>the Finder shows “:” as “/”</translation>
    </message>
    <message>
        <source>只能有字母、数字、连字符和点，例如 com.example.mytemplates</source>
        <translation>letters, digits, hyphens and dots only, e.g. com.example.mytemplates</translation>
    </message>
    <message>
        <source>--sign 和 --dmg 需要 macOS 的 codesign 和 hdiutil（--dry-run 可在这里列出这些命令）</source>
        <translation>--sign and --dmg need codesign and hdiutil on macOS (--dry-run lists those commands here)</translation>
    </message>
    <message>
        <source>--tar 用于 Linux；在 macOS 上请用 --dmg</source>
        <translation>--tar is for Linux; on macOS use --dmg</translation>
    </message>
    <message>
        <source>--dmg 和 --tar 只能选一个</source>
        <translation>Give --dmg or --tar, not both</translation>
    </message>
    <message>
        <source>不是 .icns 文件</source>
        <translation>not an .icns file</translation>
    </message>
    <message>
        <source>无法制作安装程序: 正在运行的程序不在一个带 Info.plist 的 .app 包里（%1）</source>
        <translation>Cannot make an installer: the running program is not inside an .app bundle with an Info.plist (%1)</translation>
    </message>
    <message>
        <source>--out “%1”: 应为一个文件夹，或一个已有文件夹里的新名称</source>
        <translation>--out “%1”: give a folder, or a new name inside an existing folder</translation>
    </message>
    <message>
        <source>--out “%1”: 不能放在正在运行的安装程序 “%2” 里，也不能替换它</source>
        <translation>--out “%1”: cannot be inside the running installer “%2”, nor replace it</translation>
    </message>
    <message>
        <source>“%1” 已经存在；要替换它请加上 --force</source>
        <translation>“%1” already exists; add --force to replace it</translation>
    </message>
    <message>
        <source>“%1” 不是一个安装程序包，不会替换它</source>
        <translation>“%1” is not an installer bundle; it is not replaced</translation>
    </message>
    <message>
        <source>“%1” 不是一个文件，不会替换它</source>
        <translation>“%1” is not a file; it is not replaced</translation>
    </message>
    <message>
        <source>会制作: %1</source>
        <translation>Would make: %1</translation>
    </message>
    <message>
        <source>会运行: %1</source>
        <translation>Would run: %1</translation>
    </message>
    <message>
        <source>剩下一步，公证: %1</source>
        <translation>One step left, notarising: %1</translation>
    </message>
    <message>
        <source>无法制作安装程序: %1</source>
        <translation>Cannot make the installer: %1</translation>
    </message>
    <message>
        <source>无法制作安装程序: %1 失败: %2</source>
        <translation>Cannot make the installer: %1 failed: %2</translation>
    </message>
    <message>
        <source>已制作: %1</source>
        <translation>Made: %1</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::ManifestFormat</name>
    <message>
        <source>安装记录 “%1” 的内容格式不正确: %2</source>
        <translation>The install record “%1” is malformed: %2</translation>
    </message>
    <message>
        <source>安装记录 “%1” 中的路径 “%2” 不在模板文件夹内</source>
        <translation>The install record “%1” names “%2”, which is not inside the templates folder</translation>
    </message>
    <message>
        <source>安装记录 “%1” 不是有效的 JSON: %2</source>
        <translation>The install record “%1” is not valid JSON: %2</translation>
    </message>
    <message>
        <source>安装记录 “%1” 的格式版本 %2 比本程序能读的 %3 更新</source>
        <translation>The install record “%1” has format %2, newer than the %3 this installer reads</translation>
    </message>
    <message>
        <source>安装记录 “%1” 属于另一个程序（%2）</source>
        <translation>The install record “%1” belongs to another program (%2)</translation>
    </message>
    <message>
        <source>安装记录 “%1” 记的是另一个模板文件夹（%2）</source>
        <translation>The install record “%1” is for another templates folder (%2)</translation>
    </message>
    <message>
        <source>无法写入安装记录: 系统没有给出存放它的文件夹</source>
        <translation>The install record could not be written: the system names no folder for it</translation>
    </message>
    <message>
        <source>无法写入安装记录: %1</source>
        <translation>The install record could not be written: %1</translation>
    </message>
    <message>
        <source>没有安装记录: 系统没有给出存放它的文件夹</source>
        <translation>There is no install record: the system names no folder for it</translation>
    </message>
    <message>
        <source>没有安装记录 “%1”</source>
        <translation>There is no install record “%1”</translation>
    </message>
    <message>
        <source>无法读取安装记录: %1</source>
        <translation>The install record could not be read: %1</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::PackCheck</name>
    <message>
        <source>模板包 “%1” 不是一个文件夹</source>
        <translation>the template pack “%1” is not a folder</translation>
    </message>
    <message>
        <source>没有模板文件夹：每个模板应是 Titles/、Effects/、Generators/ 或 Transitions/ 里的一个文件夹</source>
        <translation>no template folder; put each template in a folder of its own inside Titles/, Effects/, Generators/ or Transitions/</translation>
    </message>
    <message>
        <source>这个模板名称不能作为模板文件夹的名称（%1）；请给文件夹改名</source>
        <translation>this template name cannot be a folder name in the templates folder (%1); rename the folder</translation>
    </message>
    <message>
        <source>缺少这张图片：窗口的“插件位置”将不显示图片</source>
        <translation>missing; the window’s “Plug-in Location” sheet will show no picture</translation>
    </message>
    <message>
        <source>不是一个 http 或 https 地址：教程按钮不会打开网页</source>
        <translation>not one http or https address; the tutorial button will not open a web page</translation>
    </message>
    <message>
        <source>不是字体（.ttf、.otf、.ttc、.otc 或 .dfont），但仍会被复制到字体文件夹</source>
        <translation>not a font (.ttf, .otf, .ttc, .otc or .dfont); it is copied into the fonts folder all the same</translation>
    </message>
    <message>
        <source>错误: 模板包: %1</source>
        <translation>Error: template pack: %1</translation>
    </message>
    <message>
        <source>警告: 模板包: %1</source>
        <translation>Warning: template pack: %1</translation>
    </message>
    <message>
        <source>错误: 模板包条目 %1: %2</source>
        <translation>Error: template pack entry %1: %2</translation>
    </message>
    <message>
        <source>警告: 模板包条目 %1: %2</source>
        <translation>Warning: template pack entry %1: %2</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::PackScan</name>
    <message>
        <source>“%1” 的名称不是有效的 UTF-8，不会安装它</source>
        <translation>The name of “%1” is not valid UTF-8; it is not installed.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::RealFileSystem</name>
    <message>
        <source>无法读取文件夹 “%1”: %2</source>
        <translation>The folder “%1” could not be read: %2</translation>
    </message>
    <message>
        <source>无法读取属性 “%1”: %2</source>
        <translation>The attributes of “%1” could not be read: %2</translation>
    </message>
    <message>
        <source>无法创建文件夹 “%1”: %2</source>
        <translation>The folder “%1” could not be created: %2</translation>
    </message>
    <message>
        <source>不是普通文件、文件夹或链接，不会打开它</source>
        <translation>it is not a file, folder or link, so it is not opened</translation>
    </message>
    <message>
        <source>名称不是有效的 UTF-8 文本，无法按原名读取</source>
        <translation>the name is not valid UTF-8 text and cannot be read as stored</translation>
    </message>
    <message>
        <source>无法复制 “%1” 到 “%2”: %3</source>
        <translation>“%1” could not be copied to “%2”: %3</translation>
    </message>
    <message>
        <source>无法复制 “%1” 到 “%2”: “%3”: %4</source>
        <translation>“%1” could not be copied to “%2”: “%3”: %4</translation>
    </message>
    <message>
        <source>无法克隆 “%1”: %2</source>
        <translation>“%1” cannot be cloned: %2</translation>
    </message>
    <message>
        <source>无法删除 “%1”: %2</source>
        <translation>“%1” could not be removed: %2</translation>
    </message>
    <message>
        <source>无法删除 “%1”: 那里是一个文件夹</source>
        <translation>“%1” could not be removed: it is a folder</translation>
    </message>
    <message>
        <source>无法删除文件夹 “%1”: %2</source>
        <translation>The folder “%1” could not be removed: %2</translation>
    </message>
    <message>
        <source>无法写入 “%1”: 那里是一个文件夹</source>
        <translation>“%1” could not be written: there is a folder there</translation>
    </message>
    <message>
        <source>无法写入 “%1”: %2</source>
        <translation>“%1” could not be written: %2</translation>
    </message>
    <message>
        <source>无法读取文件 “%1”: 它不是普通文件</source>
        <translation>The file “%1” cannot be read: it is not a regular file.</translation>
    </message>
    <message>
        <source>无法读取文件 “%1”: %2</source>
        <translation>The file “%1” cannot be read: %2</translation>
    </message>
    <message>
        <source>无法锁定 “%1”: %2</source>
        <translation>“%1” cannot be locked: %2</translation>
    </message>
    <message>
        <source>无法锁定 “%1”: 它不是普通文件</source>
        <translation>“%1” cannot be locked: it is not a regular file.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::Refusal</name>
    <message>
        <source>“%1” 是符号链接：安装程序不会写入链接指向的位置，链接和它指向的内容保持不变</source>
        <translation>“%1” is a symbolic link. The installer never writes where a link points; the link and what it points to are left as they are.</translation>
    </message>
    <message>
        <source>“%1” 不是普通文件、文件夹或链接，不会打开它</source>
        <translation>“%1” is not a file, folder or link, so it is not opened.</translation>
    </message>
    <message>
        <source>“%1” 是文件夹，不能用文件替换：文件夹及其中的内容保持不变</source>
        <translation>“%1” is a folder and cannot be replaced by a file; the folder and its contents are left as they are.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::ScriptLog</name>
    <message>
        <source>无法保存脚本输出: 系统没有提供应用数据文件夹</source>
        <translation>The script’s output cannot be saved: the system names no application-data folder.</translation>
    </message>
    <message>
        <source>无法保存脚本输出 “%1”: %2</source>
        <translation>The script’s output cannot be saved in “%1”: %2</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::SystemReason</name>
    <message>
        <source>没有这个文件或文件夹</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>不允许这样操作</source>
        <translation>the operation is not permitted</translation>
    </message>
    <message>
        <source>已经存在</source>
        <translation>it already exists</translation>
    </message>
    <message>
        <source>路径中有一项不是文件夹</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>文件夹不是空的</source>
        <translation>the folder is not empty</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>超出了磁盘配额</source>
        <translation>the disk quota is exceeded</translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>名称太长</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>符号链接层数太多</source>
        <translation>too many levels of links</translation>
    </message>
    <message>
        <source>正在被其他程序使用</source>
        <translation>it is in use by another program</translation>
    </message>
    <message>
        <source>不能跨磁盘移动</source>
        <translation>it cannot be moved to another disk</translation>
    </message>
    <message>
        <source>读写磁盘时出错</source>
        <translation>the disk could not be read or written</translation>
    </message>
    <message>
        <source>打开的文件太多</source>
        <translation>too many files are open</translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>there is not enough memory</translation>
    </message>
    <message>
        <source>参数无效</source>
        <translation>an argument is not valid</translation>
    </message>
    <message>
        <source>这个磁盘不支持这项操作</source>
        <translation>this disk does not support the operation</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::SystemRunningPrograms</name>
    <message>
        <source>无法列出正在运行的程序 “/proc”: %1</source>
        <translation>The running programs cannot be listed from “/proc”: %1</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::TemplateInstaller</name>
    <message>
        <source>名称为空，不能用作文件夹名</source>
        <translation>The name is empty and cannot be used as a folder name.</translation>
    </message>
    <message>
        <source>名称 “%1” 不能用作文件夹名：它指向当前或上一级文件夹</source>
        <translation>The name “%1” cannot be used as a folder name: it refers to the current or the enclosing folder.</translation>
    </message>
    <message>
        <source>名称 “%1” 不能用作文件夹名：其中含有空字符</source>
        <translation>The name “%1” cannot be used as a folder name: it contains a null character.</translation>
    </message>
    <message>
        <source>名称 “%1” 不能用作文件夹名：其中含有控制字符</source>
        <translation>The name “%1” cannot be used as a folder name: it contains a control character.</translation>
    </message>
    <message>
        <source>名称 “%1” 不能用作文件夹名：其中含有 “/”</source>
        <translation>The name “%1” cannot be used as a folder name: it contains “/”.</translation>
    </message>
    <message>
        <source>名称太长，不能用作文件夹名：%1 字节，最多 255 字节</source>
        <translation>The name is too long for a folder name: %1 bytes, at most 255.</translation>
    </message>
    <message>
        <source>名称 “%1” 不能用作文件夹名：以 “.” 开头的文件夹是隐藏的，Final Cut Pro 不会显示它</source>
        <translation>The name “%1” cannot be used as a folder name: folders whose names begin with “.” are hidden, and Final Cut Pro does not show them.</translation>
    </message>
    <message>
        <source>无法确定用户的主文件夹（HOME 未设置或不是绝对路径），不会安装到 “/%1”</source>
        <translation>Your home folder could not be determined (HOME is not set or is not an absolute path), so nothing is installed in “/%1”.</translation>
    </message>
    <message>
        <source>HOME “%1” 不是用户的主文件夹（它是根目录，或不是一个文件夹），不会安装任何内容</source>
        <translation>HOME “%1” is not a home folder (it is the root folder, or not a folder at all), so nothing is installed.</translation>
    </message>
    <message>
        <source>安装已取消</source>
        <translation>The installation was canceled.</translation>
    </message>
    <message>
        <source>“%1” 已存在，但不是文件夹</source>
        <translation>“%1” already exists but is not a folder.</translation>
    </message>
    <message>
        <source>“%1” 是文件，不能把 “%2” 合并进去</source>
        <translation>“%1” is a file, so “%2” cannot be merged into it.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller::Uninstall</name>
    <message>
        <source>“%1” 已不存在</source>
        <translation>“%1” is no longer there</translation>
    </message>
    <message>
        <source>保留 “%1”: 通往它的文件夹已是链接或不再是文件夹，不会跟随</source>
        <translation>Kept “%1”: a folder on the way to it is now a link or no folder at all, which is never followed</translation>
    </message>
    <message>
        <source>保留 “%1”: 安装后已被替换为另一个项目</source>
        <translation>Kept “%1”: it was replaced by another item after it was installed</translation>
    </message>
    <message>
        <source>保留 “%1”: 安装后已被修改（大小或修改时间不同）</source>
        <translation>Kept “%1”: it changed after it was installed (its size or modification time differs)</translation>
    </message>
    <message>
        <source>保留 “%1”: 不是安装程序放入的</source>
        <translation>Kept “%1”: the installer did not put it there</translation>
    </message>
    <message>
        <source>另一个安装程序正在使用模板文件夹 “%1”，请等它完成后再试</source>
        <translation>Another installer is using the templates folder “%1”; try again when it has finished</translation>
    </message>
</context>
</TS>
