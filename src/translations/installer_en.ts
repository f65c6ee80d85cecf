<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>InstallerViewModel</name>
    <message>
        <source>插件安装成功！</source>
        <translation>The plug-ins were installed.</translation>
    </message>
    <message>
        <source>%1 个插件安装失败，共 %2 个</source>
        <translation>%1 of %2 plug-ins could not be installed.</translation>
    </message>
    <message>
        <source>请重新启动 Final Cut Pro 以载入新模板</source>
        <translation>Restart Final Cut Pro to load the new templates.</translation>
    </message>
</context>
<context>
    <name>Orvoinstaller</name>
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
        <source>模板设计与制作：Orvo Studio</source>
        <translation>Templates designed and made by Orvo Studio</translation>
    </message>
    <message>
        <source>最新版本发布于 www.orvo.studio</source>
        <translation>Get the latest version at www.orvo.studio</translation>
    </message>
    <message>
        <source>点击安装插件将自动安装到用户目录-影片-Motion templates文件夹</source>
        <translation>Install Plug-ins puts the templates in your home folder › Movies › Motion Templates.</translation>
    </message>
    <message>
        <source>模板内置的字体仅供演示和学习 商用请自行解决版权问题</source>
        <translation>The bundled fonts are for demonstration and study only; license them yourself for commercial use.</translation>
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
        <source>安装完成！</source>
        <translation>Installation Complete</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
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
        <translation>Type</translation>
    </message>
    <message>
        <source>修改在FCPX中显示名称</source>
        <translation>Name Shown in FCPX</translation>
    </message>
    <message>
        <source>或者合并到现有目录</source>
        <translation>Or Merge Into…</translation>
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
</context>
<context>
    <name>Orvoinstaller::InstallerWindow</name>
    <message>
        <source>插件安装工具</source>
        <translation>Plug-in Installer</translation>
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
</TS>
