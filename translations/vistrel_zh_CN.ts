<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Vistrel</source>
        <translation>关于Vistrel</translation>
    </message>
    <message>
        <source>Vistrel for Win 9x &amp; NT Version 1.00</source>
        <translation>Vistrel（适用于 Win 9x 和 NT）版本 1.00</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Open source edition</source>
        <translation>开源版</translation>
    </message>
    <message>
        <source>Free under the MIT License.</source>
        <translation>依据 MIT 许可证免费使用。</translation>
    </message>
    <message>
        <source>Author:</source>
        <translation>作者：</translation>
    </message>
    <message>
        <source>Vistrel developers</source>
        <translation>Vistrel 开发者</translation>
    </message>
    <message>
        <source>Email:</source>
        <translation>邮箱：</translation>
    </message>
    <message>
        <source>Homepage:</source>
        <translation>主页：</translation>
    </message>
</context>
<context>
    <name>AutostartEntry</name>
    <message>
        <source>Changes the desktop background to a Vistrel landscape on a schedule</source>
        <translation>按计划把桌面背景换成一幅 Vistrel 风景</translation>
    </message>
</context>
<context>
    <name>BackgroundActions</name>
    <message>
        <source>This desktop&apos;s lock screen shows the desktop background.</source>
        <translation>此桌面的锁屏显示的是桌面背景。</translation>
    </message>
    <message>
        <source>Change Background Automatically…</source>
        <translation>自动更换背景…</translation>
    </message>
</context>
<context>
    <name>BackgroundFolder</name>
    <message>
        <source>the folder %1 cannot be made</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
</context>
<context>
    <name>ChangerFiles</name>
    <message>
        <source>the folder %1 could not be created</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>it is damaged, so it starts afresh</source>
        <translation>该文件已损坏，因此重新开始</translation>
    </message>
</context>
<context>
    <name>FavouritesFile</name>
    <message>
        <source>the file could not be read, so it is left as it is</source>
        <translation>无法读取该文件，因此保持原样</translation>
    </message>
    <message>
        <source>the folder %1 could not be created</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>it is not a plain file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>it is larger than %1 MB, far more than any list of favourites</source>
        <translation>它大于 %1 MB，远超任何收藏列表</translation>
    </message>
    <message>
        <source>it grew larger than %1 MB while it was read</source>
        <translation>读取时它增长到超过 %1 MB</translation>
    </message>
    <message>
        <source>another program kept the file locked</source>
        <translation>另一个程序一直锁定着该文件</translation>
    </message>
    <message>
        <source>no lock beside the file could be made</source>
        <translation>无法在该文件旁建立锁</translation>
    </message>
</context>
<context>
    <name>LaunchError</name>
    <message>
        <source>The operating system is out
of memory or resources.</source>
        <translation>操作系统的内存
或资源不足。</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>找不到指定的文件。</translation>
    </message>
    <message>
        <source>The specified path was not found.</source>
        <translation>找不到指定的路径。</translation>
    </message>
    <message>
        <source>The operating system denied
access to the specified file.</source>
        <translation>操作系统拒绝
访问指定的文件。</translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <translation>内存不足，无法完成此操作。</translation>
    </message>
    <message>
        <source>The .EXE file is invalid
(non-Win32 .EXE or error in .EXE image).</source>
        <translation>.EXE 文件无效
（不是 Win32 .EXE 文件，或 .EXE 映像有错误）。</translation>
    </message>
    <message>
        <source>A sharing violation occurred. </source>
        <translation>发生共享冲突。</translation>
    </message>
    <message>
        <source>The filename association is
incomplete or invalid.</source>
        <translation>文件名关联
不完整或无效。</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because the request timed out.</source>
        <translation>请求超时，
DDE 事务无法完成。</translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <translation>DDE 事务失败。</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because other DDE transactions
were being processed.</source>
        <translation>其他 DDE 事务正在处理中，
此 DDE 事务无法完成。</translation>
    </message>
    <message>
        <source>There is no application associated
with the given filename extension.</source>
        <translation>没有与此文件扩展名
关联的应用程序。</translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found.</source>
        <translation>找不到指定的动态链接库。</translation>
    </message>
    <message>
        <source>Unknown Error (%1) occurred.</source>
        <translation>发生未知错误（%1）。</translation>
    </message>
    <message>
        <source>Unable to open hyperlink:

%1</source>
        <translation>无法打开超链接：

%1</translation>
    </message>
</context>
<context>
    <name>LimitedRead</name>
    <message>
        <source>it is not a plain file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message numerus="yes">
        <source>it is larger than %n bytes</source>
        <translation>
            <numerusform>它大于 %n 字节</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PictureActions</name>
    <message>
        <source>The picture could not be saved as %1: %2</source>
        <translation>无法将图片保存为 %1：%2</translation>
    </message>
    <message>
        <source>Show Seed</source>
        <translation>显示种子</translation>
    </message>
    <message>
        <source>Scene seed (0 to 32767):</source>
        <translation>场景种子（0 到 32767）：</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Save Picture…</source>
        <translation>保存图片…</translation>
    </message>
    <message>
        <source>Show Seed…</source>
        <translation>显示种子…</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>收藏</translation>
    </message>
    <message>
        <source>Set as Desktop Background</source>
        <translation>设为桌面背景</translation>
    </message>
    <message>
        <source>Set Across All Screens</source>
        <translation>跨所有屏幕设为背景</translation>
    </message>
    <message>
        <source>Set as Lock Screen Background</source>
        <translation>设为锁屏背景</translation>
    </message>
</context>
<context>
    <name>StateFile</name>
    <message>
        <source>another program kept the file locked</source>
        <translation>另一个程序一直锁定着该文件</translation>
    </message>
</context>
<context>
    <name>ViewerDialog</name>
    <message>
        <source>Previous</source>
        <translation>上一张</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一张</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Interval:</source>
        <translation>间隔：</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
</context>
<context>
    <name>vistrel::BackgroundChannel</name>
    <message>
        <source>the desktop&apos;s settings take a path as UTF-8 text, and %1 is not UTF-8</source>
        <translation>桌面设置只接受 UTF-8 文本形式的路径，而 %1 不是 UTF-8</translation>
    </message>
    <message>
        <source>%1 could not be run: %2</source>
        <translation>无法运行 %1：%2</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 执行失败：%2</translation>
    </message>
</context>
<context>
    <name>vistrel::BackgroundImages</name>
    <message>
        <source>There is not enough memory for a background of %1 × %2 pixels.</source>
        <translation>内存不足，无法生成 %1 × %2 像素的背景。</translation>
    </message>
    <message>
        <source>The background could not be saved as %1: %2</source>
        <translation>无法将背景保存为 %1：%2</translation>
    </message>
</context>
<context>
    <name>vistrel::ChangeBackgroundDialog</name>
    <message>
        <source>Change Background Automatically</source>
        <translation>自动更换背景</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>从不</translation>
    </message>
    <message>
        <source>Every 15 minutes</source>
        <translation>每 15 分钟</translation>
    </message>
    <message>
        <source>Every hour</source>
        <translation>每小时</translation>
    </message>
    <message>
        <source>Every 3 hours</source>
        <translation>每 3 小时</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>每天</translation>
    </message>
    <message>
        <source>At each login</source>
        <translation>每次登录时</translation>
    </message>
    <message>
        <source>All pictures</source>
        <translation>所有图片</translation>
    </message>
    <message>
        <source>Favourites only</source>
        <translation>仅收藏</translation>
    </message>
    <message>
        <source>Each monitor its own picture</source>
        <translation>每台显示器各自的图片</translation>
    </message>
    <message>
        <source>One picture across all screens</source>
        <translation>一幅图片跨所有屏幕</translation>
    </message>
    <message>
        <source>&amp;Change:</source>
        <translation>更换(&amp;C)：</translation>
    </message>
    <message>
        <source>&amp;Pictures:</source>
        <translation>图片(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Monitors:</source>
        <translation>显示器(&amp;M)：</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>无法将设置保存到 %1：%2</translation>
    </message>
    <message>
        <source>The agent will still start at login: %1 could not be removed: %2</source>
        <translation>代理仍会在登录时启动：无法删除 %1：%2</translation>
    </message>
    <message>
        <source>The agent could not be set to start at login: %1: %2</source>
        <translation>无法将代理设为登录时启动：%1：%2</translation>
    </message>
    <message>
        <source>The agent %1 could not be started.</source>
        <translation>无法启动代理 %1。</translation>
    </message>
</context>
<context>
    <name>vistrel::DesktopBackground</name>
    <message>
        <source>This desktop offers programs no way to set its background. The picture is saved as %1: you can choose it in the desktop&apos;s own settings.</source>
        <translation>此桌面不允许程序设置背景。图片已保存为 %1，您可以在桌面自身的设置中选用它。</translation>
    </message>
    <message>
        <source>The desktop background could not be set: %1</source>
        <translation>无法设置桌面背景：%1</translation>
    </message>
    <message>
        <source>The desktop background could not be set: the desktop did not answer within %1 seconds.</source>
        <translation>无法设置桌面背景：桌面在 %1 秒内没有响应。</translation>
    </message>
    <message>
        <source>There is no monitor to set the background of.</source>
        <translation>没有可以设置背景的显示器。</translation>
    </message>
    <message>
        <source>This desktop offers programs no way to set its lock screen background. The picture is saved as %1: you can choose it in the desktop&apos;s own settings.</source>
        <translation>此桌面不允许程序设置锁屏背景。图片已保存为 %1，您可以在桌面自身的设置中选用它。</translation>
    </message>
</context>
<context>
    <name>vistrel::Favourites</name>
    <message>
        <source>Your favourites could not be read from %1: %2. Vistrel goes on without them and leaves the file as it is.</source>
        <translation>无法从 %1 读取收藏：%2。Vistrel 将不带收藏继续运行，并保持该文件不变。</translation>
    </message>
    <message>
        <source>Your favourites could not be saved in %1: %2. Vistrel keeps them until it closes.</source>
        <translation>无法将收藏保存到 %1：%2。Vistrel 会保留这些收藏，直到程序关闭。</translation>
    </message>
</context>
<context>
    <name>vistrel::GSettingsBackground</name>
    <message>
        <source>the settings schema %1 is not installed</source>
        <translation>未安装设置架构 %1</translation>
    </message>
    <message>
        <source>the desktop&apos;s settings cannot be reached (is dconf installed?)</source>
        <translation>无法访问桌面设置（是否已安装 dconf？）</translation>
    </message>
    <message>
        <source>the setting %1 of %2 cannot be changed</source>
        <translation>无法更改 %2 的设置项 %1</translation>
    </message>
</context>
<context>
    <name>vistrel::GalleryView</name>
    <message>
        <source>Seed %1</source>
        <translation>种子 %1</translation>
    </message>
    <message>
        <source>No favourites yet. Ctrl+D marks a picture as one, here or in the viewer.</source>
        <translation>还没有收藏。在此处或查看器中按 Ctrl+D 即可收藏图片。</translation>
    </message>
</context>
<context>
    <name>vistrel::GalleryWindow</name>
    <message>
        <source>&amp;Favourites only</source>
        <translation>仅显示收藏(&amp;F)</translation>
    </message>
    <message>
        <source>Vistrel Gallery</source>
        <translation>Vistrel 图库</translation>
    </message>
    <message>
        <source>Show in Viewer</source>
        <translation>在查看器中显示</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>vistrel::IdleInhibitor</name>
    <message>
        <source>Showing a slide show</source>
        <translation>正在放映幻灯片</translation>
    </message>
</context>
<context>
    <name>vistrel::PlasmaBackground</name>
    <message>
        <source>there is no session bus</source>
        <translation>没有会话总线</translation>
    </message>
    <message>
        <source>the Plasma shell answered: %1</source>
        <translation>Plasma 外壳回答：%1</translation>
    </message>
</context>
<context>
    <name>vistrel::PortalBackground</name>
    <message>
        <source>the desktop turned the request down</source>
        <translation>桌面拒绝了该请求</translation>
    </message>
</context>
<context>
    <name>vistrel::PortalRequest</name>
    <message>
        <source>the desktop portal stopped before it answered</source>
        <translation>桌面门户在回答之前就停止了</translation>
    </message>
</context>
<context>
    <name>vistrel::SavePictureDialog</name>
    <message>
        <source>Save Picture</source>
        <translation>保存图片</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG 图像 (*.png)</translation>
    </message>
    <message>
        <source>Scale:</source>
        <translation>放大倍数：</translation>
    </message>
</context>
<context>
    <name>vistrel::SwayBackground</name>
    <message>
        <source>sway reports no active output</source>
        <translation>sway 报告没有处于活动状态的输出</translation>
    </message>
    <message>
        <source>sway would read some of the characters in %1 as part of its command</source>
        <translation>sway 会把 %1 中的某些字符当作其命令的一部分</translation>
    </message>
</context>
<context>
    <name>vistrel::ViewerDialog</name>
    <message>
        <source>Interval</source>
        <translation>间隔</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一张</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>上一张</translation>
    </message>
    <message>
        <source>Scene %1 · seed %2</source>
        <translation>第 %1 幅 · 种子 %2</translation>
    </message>
    <message>
        <source>Seed %1</source>
        <translation>种子 %1</translation>
    </message>
    <message>
        <source>Gallery…</source>
        <translation>图库…</translation>
    </message>
</context>
<context>
    <name>vistrel::XfceBackground</name>
    <message>
        <source>the XFCE desktop lists no monitor backgrounds</source>
        <translation>XFCE 桌面没有列出任何显示器的背景</translation>
    </message>
</context>
</TS>
