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
    <name>vistrel::ViewerDialog</name>
    <message>
        <source>Interval</source>
        <translation>间隔</translation>
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
</context>
</TS>
