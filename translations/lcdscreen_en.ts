<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AnimationPanel</name>
    <message>
        <source>ID值:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>起点</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>终点</source>
        <translation>End</translation>
    </message>
    <message>
        <source>动画控件的行为尚未设计：间隔和“增加图片”只留在面板上。</source>
        <translation>The animation widget's behaviour is not designed yet: the interval and "Add picture" stay on this panel.</translation>
    </message>
    <message>
        <source>动画间隔:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>增加图片</source>
        <translation>Add picture</translation>
    </message>
</context>
<context>
    <name>ArcPanel</name>
    <message>
        <source>半径</source>
        <translation>Radius</translation>
    </message>
    <message>
        <source>起始角</source>
        <translation>Start angle</translation>
    </message>
    <message>
        <source>终止角</source>
        <translation>End angle</translation>
    </message>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
</context>
<context>
    <name>BitmapProcessingDialog</name>
    <message>
        <source>位图处理</source>
        <translation>Bitmap to array</translation>
    </message>
    <message>
        <source>原始尺寸</source>
        <translation>Original size</translation>
    </message>
    <message>
        <source>8色</source>
        <translation>8 colours</translation>
    </message>
    <message>
        <source>64色</source>
        <translation>64 colours</translation>
    </message>
    <message>
        <source>256色</source>
        <translation>256 colours</translation>
    </message>
    <message>
        <source>16位色</source>
        <translation>16-bit colour</translation>
    </message>
    <message>
        <source>14位色</source>
        <translation>14-bit colour</translation>
    </message>
    <message>
        <source>使用控制位</source>
        <translation>Use control bits</translation>
    </message>
    <message>
        <source>控制模式:</source>
        <translation>Control mode:</translation>
    </message>
    <message>
        <source>相或(0,0)</source>
        <translation>OR (0,0)</translation>
    </message>
    <message>
        <source>相与(0,1)</source>
        <translation>AND (0,1)</translation>
    </message>
    <message>
        <source>异或(1,0)</source>
        <translation>XOR (1,0)</translation>
    </message>
    <message>
        <source>覆盖(1,1)</source>
        <translation>Overwrite (1,1)</translation>
    </message>
    <message>
        <source>提取</source>
        <translation>Extract</translation>
    </message>
    <message>
        <source>位图尺寸:</source>
        <translation>Bitmap size:</translation>
    </message>
    <message>
        <source>颜色数:</source>
        <translation>Colours:</translation>
    </message>
    <message>
        <source>位图文件:</source>
        <translation>Bitmap file:</translation>
    </message>
    <message>
        <source>位图文件</source>
        <translation>Bitmap file</translation>
    </message>
    <message>
        <source>位图文件 (*.bmp);;All Files (*)</source>
        <translation>Bitmap files (*.bmp);;All files (*)</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>文本文件 (*.TXT);;All Files (*)</source>
        <translation>Text files (*.TXT);;All files (*)</translation>
    </message>
</context>
<context>
    <name>CirclePanel</name>
    <message>
        <source>半径:</source>
        <translation>Radius:</translation>
    </message>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
</context>
<context>
    <name>ColourPickDialog</name>
    <message>
        <source>改变颜色</source>
        <translation>Change colour</translation>
    </message>
    <message>
        <source>选定颜色</source>
        <translation>Chosen colour</translation>
    </message>
</context>
<context>
    <name>CommSettingsDialog</name>
    <message>
        <source>通讯口设置</source>
        <translation>Link settings</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>并口</source>
        <translation>Parallel</translation>
    </message>
    <message>
        <source>虚拟模块</source>
        <translation>Virtual module</translation>
    </message>
    <message>
        <source>编辑器内的虚拟模块：不接硬件也能检查下载的内容</source>
        <translation>The module inside the editor: check what a download sends without hardware</translation>
    </message>
    <message>
        <source>端口选择：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>这个 COM 口打开的串口设备</source>
        <translation>The serial device this COM port opens</translation>
    </message>
    <message>
        <source>设备：</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>溢出时间：</source>
        <translation>Timeout:</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>字符间隔：</source>
        <translation>Byte interval:</translation>
    </message>
    <message>
        <source>微秒</source>
        <translation>µs</translation>
    </message>
    <message>
        <source>判断忙闲</source>
        <translation>Busy check</translation>
    </message>
    <message>
        <source>设备选择：</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>主板默认并口</source>
        <translation>Motherboard parallel port</translation>
    </message>
    <message>
        <source>主板扩展并口</source>
        <translation>Parallel port card</translation>
    </message>
    <message>
        <source>帧间隔：</source>
        <translation>Frame interval:</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>DeviceChoiceDialog</name>
    <message>
        <source>新建工程</source>
        <translation>New project</translation>
    </message>
    <message>
        <source>新建页面</source>
        <translation>New page</translation>
    </message>
    <message>
        <source>页面转换</source>
        <translation>Convert page</translation>
    </message>
    <message>
        <source>设备型号：</source>
        <translation>Device type:</translation>
    </message>
    <message>
        <source>物理尺寸：</source>
        <translation>Physical size:</translation>
    </message>
    <message>
        <source>毫米</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>逻辑尺寸：</source>
        <translation>Logical size:</translation>
    </message>
    <message>
        <source>像素</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>颜色数：</source>
        <translation>Colours:</translation>
    </message>
    <message>
        <source>色</source>
        <translation>colours</translation>
    </message>
    <message>
        <source>位图支持：</source>
        <translation>Bitmaps:</translation>
    </message>
    <message>
        <source>工程名称：</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <source>页面名称：</source>
        <translation>Page name:</translation>
    </message>
    <message>
        <source>存放路径：</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>设备配置表中没有添加任何设备</source>
        <translation>The device catalogue holds no device</translation>
    </message>
    <message>
        <source>请添加设备后再创建</source>
        <translation>Add a device first</translation>
    </message>
    <message>
        <source>工程存放路径选择</source>
        <translation>Choose the project folder</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>DeviceEditDialog</name>
    <message>
        <source>设备编辑</source>
        <translation>Devices</translation>
    </message>
    <message>
        <source>支持</source>
        <translation>Supported</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>设备支持颜色数目</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>位图支持</source>
        <translation>Bitmaps</translation>
    </message>
    <message>
        <source>逻辑尺寸</source>
        <translation>Logical size</translation>
    </message>
    <message>
        <source>点</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>物理尺寸</source>
        <translation>Physical size</translation>
    </message>
    <message>
        <source>毫米</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DownloadProgressDialog</name>
    <message>
        <source>发送命令</source>
        <translation>Sending a command</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>正在等待模块……</source>
        <translation>Waiting for the module…</translation>
    </message>
    <message>
        <source>正在下载……</source>
        <translation>Downloading…</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>正在停止……</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>完成：已发送 %1 字节，用时 %2 秒</source>
        <translation>Done: %1 bytes sent in %2 s</translation>
    </message>
    <message>
        <source>下载已停止：已发送 %1 / %2 字节</source>
        <translation>Download stopped: %1 / %2 bytes sent</translation>
    </message>
    <message>
        <source>发送失败</source>
        <translation>Sending failed</translation>
    </message>
    <message>
        <source>已把 %1 字节交给 CAN 适配器，用时 %2 秒；CAN 连接没有应答，无法确认模块全部收到</source>
        <translation>%1 bytes handed to the CAN adapter in %2 s; a CAN link does not answer, so it cannot be confirmed that the module received them all</translation>
    </message>
</context>
<context>
    <name>FillColourDialog</name>
    <message>
        <source>填充设置</source>
        <translation>Fill</translation>
    </message>
    <message>
        <source>填充颜色</source>
        <translation>Fill colour</translation>
    </message>
    <message>
        <source>边界颜色</source>
        <translation>Border colour</translation>
    </message>
</context>
<context>
    <name>FontDownloadDialog</name>
    <message>
        <source>字库下载</source>
        <translation>Font download</translation>
    </message>
    <message>
        <source>标准字库</source>
        <translation>Standard font</translation>
    </message>
    <message>
        <source>自定义字库</source>
        <translation>Custom font</translation>
    </message>
    <message>
        <source>种类( 0--9 ):</source>
        <translation>Kind (0–9):</translation>
    </message>
    <message>
        <source>字库文件:</source>
        <translation>Font file:</translation>
    </message>
    <message>
        <source>打开自定义字库文件</source>
        <translation>Open a custom font file</translation>
    </message>
    <message>
        <source>打开字库文件</source>
        <translation>Open a font file</translation>
    </message>
    <message>
        <source>字库文件(*.bin)</source>
        <translation>Font files (*.bin)</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>lcdscreen 使用手册</source>
        <translation>lcdscreen manual</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Contents</translation>
    </message>
</context>
<context>
    <name>ItemPanel</name>
    <message>
        <source>圆心</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>横坐标</source>
        <translation>X</translation>
    </message>
    <message>
        <source>纵坐标</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>颜色代码:</source>
        <translation>Colour code:</translation>
    </message>
    <message>
        <source>下载到模块的是从起点到终点的一条直线：模块本身不认识这个控件。</source>
        <translation>The module receives a line from the start to the end point: it does not know this widget itself.</translation>
    </message>
</context>
<context>
    <name>LinePanel</name>
    <message>
        <source>直线颜色:</source>
        <translation>Line colour:</translation>
    </message>
</context>
<context>
    <name>LinkCommands</name>
    <message>
        <source>发送文件</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>打开升级程序</source>
        <translation>Open the CPU program</translation>
    </message>
    <message>
        <source>升级程序(*.bin *.hex)</source>
        <translation>CPU programs (*.bin *.hex)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>工程(&amp;P)</source>
        <translation>&amp;Project</translation>
    </message>
    <message>
        <source>页面(&amp;G)</source>
        <translation>Pa&amp;ge</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>绘图(&amp;D)</source>
        <translation>&amp;Draw</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>系统(&amp;S)</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <source>窗口(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>页面属性</source>
        <translation>Page properties</translation>
    </message>
    <message>
        <source>颜色代码：</source>
        <translation>Colour code:</translation>
    </message>
    <message>
        <source>直线</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>圆</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>圆弧</source>
        <translation>Arc</translation>
    </message>
    <message>
        <source>数字控件</source>
        <translation>Number widget</translation>
    </message>
    <message>
        <source>动画控件</source>
        <translation>Animation widget</translation>
    </message>
    <message>
        <source>两点图元</source>
        <translation>Two-point item</translation>
    </message>
    <message>
        <source>新建工程(&amp;N)</source>
        <translation>&amp;New project</translation>
    </message>
    <message>
        <source>打开工程(&amp;O)</source>
        <translation>&amp;Open project</translation>
    </message>
    <message>
        <source>保存工程(&amp;S)</source>
        <translation>&amp;Save project</translation>
    </message>
    <message>
        <source>关闭工程(&amp;X)</source>
        <translation>Clo&amp;se project</translation>
    </message>
    <message>
        <source>工程管理(&amp;M)</source>
        <translation>Project &amp;management</translation>
    </message>
    <message>
        <source>新建页面(&amp;N)</source>
        <translation>&amp;New page</translation>
    </message>
    <message>
        <source>打开页面(&amp;O)</source>
        <translation>&amp;Open page</translation>
    </message>
    <message>
        <source>保存页面(&amp;S)</source>
        <translation>&amp;Save page</translation>
    </message>
    <message>
        <source>导出页面(&amp;E)</source>
        <translation>&amp;Export page</translation>
    </message>
    <message>
        <source>导入页面(&amp;I)</source>
        <translation>&amp;Import page</translation>
    </message>
    <message>
        <source>删除页面(&amp;D)</source>
        <translation>&amp;Delete page</translation>
    </message>
    <message>
        <source>页面转换</source>
        <translation>Convert page</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>撤消(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>重做(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>剪切(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>再制一份(&amp;L)</source>
        <translation>Dup&amp;licate</translation>
    </message>
    <message>
        <source>删除图元(&amp;D)</source>
        <translation>&amp;Delete item</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>Select &amp;all</translation>
    </message>
    <message>
        <source>左对齐</source>
        <translation>Align left</translation>
    </message>
    <message>
        <source>右对齐</source>
        <translation>Align right</translation>
    </message>
    <message>
        <source>顶端对齐</source>
        <translation>Align top</translation>
    </message>
    <message>
        <source>底端对齐</source>
        <translation>Align bottom</translation>
    </message>
    <message>
        <source>水平居中</source>
        <translation>Centre horizontally</translation>
    </message>
    <message>
        <source>垂直居中</source>
        <translation>Centre vertically</translation>
    </message>
    <message>
        <source>等宽</source>
        <translation>Same width</translation>
    </message>
    <message>
        <source>等高</source>
        <translation>Same height</translation>
    </message>
    <message>
        <source>水平等距分布</source>
        <translation>Distribute horizontally</translation>
    </message>
    <message>
        <source>垂直等距分布</source>
        <translation>Distribute vertically</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message>
        <source>调色板(&amp;P)</source>
        <translation>&amp;Palette</translation>
    </message>
    <message>
        <source>画笔工具箱(&amp;B)</source>
        <translation>Drawing tool&amp;box</translation>
    </message>
    <message>
        <source>显示或关闭属性页</source>
        <translation>Show or hide the properties</translation>
    </message>
    <message>
        <source>指令集</source>
        <translation>Instruction tree</translation>
    </message>
    <message>
        <source>虚拟模块(&amp;M)</source>
        <translation>Virtual &amp;module</translation>
    </message>
    <message>
        <source>网格</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>对齐到网格</source>
        <translation>Snap to grid</translation>
    </message>
    <message>
        <source>模块效果</source>
        <translation>As the module shows it</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>新建窗口(&amp;N)</source>
        <translation>&amp;New window</translation>
    </message>
    <message>
        <source>层叠(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>平铺(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <source>排列图标(&amp;A)</source>
        <translation>&amp;Arrange icons</translation>
    </message>
    <message>
        <source>下一个窗口</source>
        <translation>Next window</translation>
    </message>
    <message>
        <source>上一个窗口</source>
        <translation>Previous window</translation>
    </message>
    <message>
        <source>设备编辑(&amp;E)</source>
        <translation>&amp;Devices</translation>
    </message>
    <message>
        <source>设置通信方式</source>
        <translation>Link settings</translation>
    </message>
    <message>
        <source>升级CPU程序</source>
        <translation>Upgrade the CPU program</translation>
    </message>
    <message>
        <source>显示当前页面</source>
        <translation>Show the page on the module</translation>
    </message>
    <message>
        <source>传送字库</source>
        <translation>Send font</translation>
    </message>
    <message>
        <source>发送文件</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>提取位图数据</source>
        <translation>Bitmap to array</translation>
    </message>
    <message>
        <source>关于 lcdscreen(&amp;A)...</source>
        <translation>&amp;About lcdscreen...</translation>
    </message>
    <message>
        <source>关于 lcdscreen</source>
        <translation>About lcdscreen</translation>
    </message>
    <message>
        <source>&lt;b&gt;lcdscreen&lt;/b&gt; %1&lt;p&gt;液晶屏画面编辑与下载程序&lt;/p&gt;</source>
        <translation>&lt;b&gt;lcdscreen&lt;/b&gt; %1&lt;p&gt;Page editor and downloader for graphic LCD modules&lt;/p&gt;</translation>
    </message>
    <message>
        <source>升级(&amp;U)</source>
        <translation>&amp;Upgrade</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>请通过系统的软件包管理器升级 lcdscreen。</source>
        <translation>Upgrade lcdscreen with the system's package manager.</translation>
    </message>
    <message>
        <source>最近的工程</source>
        <translation>Recent projects</translation>
    </message>
    <message>
        <source>最近的页面</source>
        <translation>Recent pages</translation>
    </message>
    <message>
        <source>对齐与分布</source>
        <translation>Align and distribute</translation>
    </message>
    <message>
        <source>已去掉不存在的文件：%1</source>
        <translation>Removed a file that is gone: %1</translation>
    </message>
    <message>
        <source>%1 已不存在，已从最近的文件中去掉</source>
        <translation>%1 is gone; it was removed from the recent files</translation>
    </message>
    <message>
        <source>工程</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>显示比例（Ctrl+滚轮，Ctrl+加号/减号）</source>
        <translation>Zoom (Ctrl+wheel, Ctrl+plus/minus)</translation>
    </message>
    <message>
        <source> 点</source>
        <translation> px</translation>
    </message>
    <message>
        <source>网格间距（模块像素）</source>
        <translation>Grid spacing (module pixels)</translation>
    </message>
    <message>
        <source>通信</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>画笔工具箱</source>
        <translation>Drawing toolbox</translation>
    </message>
    <message>
        <source>逻辑坐标x=%1,y=%1 物理坐标X=%2,Y=%2</source>
        <translation>Module x=%1,y=%1 screen X=%2,Y=%2</translation>
    </message>
    <message>
        <source>%1 指令集</source>
        <translation>%1 instruction tree</translation>
    </message>
    <message>
        <source>Open bitmap file</source>
        <translation>Open bitmap file</translation>
    </message>
    <message>
        <source>图片文件(*.bmp *.gif *.jpg *.png);;BMP files(*.bmp);;GIF files(*.gif);;JPEG files(*.jpg);;PNG files(*.png)</source>
        <translation>Pictures (*.bmp *.gif *.jpg *.png);;BMP files (*.bmp);;GIF files (*.gif);;JPEG files (*.jpg);;PNG files (*.png)</translation>
    </message>
    <message>
        <source>打开Led页面文件</source>
        <translation>Open a page file</translation>
    </message>
    <message>
        <source>Led Page Files(*.pg)</source>
        <translation>Page files (*.pg)</translation>
    </message>
    <message>
        <source>导出页面</source>
        <translation>Export page</translation>
    </message>
    <message>
        <source>Binary Files(*.bin)</source>
        <translation>Binary files (*.bin)</translation>
    </message>
    <message>
        <source>找不到使用手册 manual.html：请检查 lcdscreen 的安装。</source>
        <translation>The manual (manual.html) cannot be found: check the lcdscreen installation.</translation>
    </message>
    <message>
        <source>保存Lcd页面文件</source>
        <translation>Save the page file</translation>
    </message>
    <message>
        <source>Lcd Page Files(*.pg)</source>
        <translation>Page files (*.pg)</translation>
    </message>
    <message>
        <source>语言将在下次启动时改变</source>
        <translation>The language changes at the next start</translation>
    </message>
</context>
<context>
    <name>NumberPanel</name>
    <message>
        <source>ID值必须在 0 到 %1 之间，%2 无法使用；保留原值 %3。</source>
        <translation>The ID must lie between 0 and %1; %2 cannot be used, %3 is kept.</translation>
    </message>
    <message>
        <source>ID值:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>字体点阵：</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>颜色设置</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>前景色</source>
        <translation>Foreground</translation>
    </message>
    <message>
        <source>背景色</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>起点</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>数值位数</source>
        <translation>Digits</translation>
    </message>
    <message>
        <source>整数位:</source>
        <translation>Integer digits:</translation>
    </message>
    <message>
        <source>小数位:</source>
        <translation>Decimals:</translation>
    </message>
    <message>
        <source>代数符号</source>
        <translation>Sign</translation>
    </message>
    <message>
        <source>无符号</source>
        <translation>Unsigned</translation>
    </message>
    <message>
        <source>有符号</source>
        <translation>Signed</translation>
    </message>
    <message>
        <source>对齐方式</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>左对齐</source>
        <translation>Align left</translation>
    </message>
    <message>
        <source>右对齐</source>
        <translation>Align right</translation>
    </message>
    <message>
        <source>前导零</source>
        <translation>Leading zeros</translation>
    </message>
</context>
<context>
    <name>PageCanvas</name>
    <message>
        <source>逻辑坐标x=%1,y=%2 物理坐标X=%3,Y=%4</source>
        <translation>Module x=%1,y=%2 screen X=%3,Y=%4</translation>
    </message>
    <message>
        <source>字符“%1”不在GBK字符集中，无法输入。</source>
        <translation>The character "%1" is not in the GBK character set and cannot be typed.</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
</context>
<context>
    <name>PageNameDialog</name>
    <message>
        <source>页面名称</source>
        <translation>Page name</translation>
    </message>
    <message>
        <source>页面名称：</source>
        <translation>Page name:</translation>
    </message>
    <message>
        <source>请填写页面名称</source>
        <translation>Enter the page name</translation>
    </message>
    <message>
        <source>页面名称不能为空</source>
        <translation>The page name must not be empty</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>PagePropertiesBar</name>
    <message>
        <source>主页面</source>
        <translation>Main page</translation>
    </message>
    <message>
        <source>辅助页面</source>
        <translation>Auxiliary page</translation>
    </message>
    <message>
        <source>背景位图</source>
        <translation>Background bitmap</translation>
    </message>
    <message>
        <source>代码:</source>
        <translation>Code:</translation>
    </message>
    <message>
        <source>延时：</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>*0.25秒</source>
        <translation>×0.25 s</translation>
    </message>
    <message>
        <source>页面属性:</source>
        <translation>Page kind:</translation>
    </message>
    <message>
        <source>背景位图:</source>
        <translation>Background bitmap:</translation>
    </message>
    <message>
        <source>页面切换：</source>
        <translation>Go to page:</translation>
    </message>
    <message>
        <source>背景色</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>前景色</source>
        <translation>Foreground</translation>
    </message>
    <message>
        <source>物理宽度:%1 物理高度:%2 逻辑宽度:%3 逻辑高度:%4 颜色数:%5</source>
        <translation>Physical width: %1 height: %2 Logical width: %3 height: %4 Colours: %5</translation>
    </message>
</context>
<context>
    <name>ParallelBaseDialog</name>
    <message>
        <source>扩展并口卡地址设置</source>
        <translation>Parallel port card address</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>请输入并口扩展卡入口地址如（0x378）:</source>
        <translation>The card's base address (e.g. 0x378):</translation>
    </message>
</context>
<context>
    <name>ProjectCommands</name>
    <message>
        <source>打开工程文件</source>
        <translation>Open a project file</translation>
    </message>
    <message>
        <source>Lcd Project Files(*.zkp)</source>
        <translation>Project files (*.zkp)</translation>
    </message>
</context>
<context>
    <name>ProjectManagerDialog</name>
    <message>
        <source>循环显示</source>
        <translation>Cyclic</translation>
    </message>
    <message>
        <source>顺序显示</source>
        <translation>Sequential</translation>
    </message>
    <message>
        <source>独立显示</source>
        <translation>Independent</translation>
    </message>
    <message>
        <source>手工设定</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>老板子</source>
        <translation>Old board</translation>
    </message>
    <message>
        <source>工程管理</source>
        <translation>Project management</translation>
    </message>
    <message>
        <source>预置画面 </source>
        <translation>Pages </translation>
    </message>
    <message>
        <source>局部位图</source>
        <translation>Local bitmaps</translation>
    </message>
    <message>
        <source>预置画面存储结构</source>
        <translation>Page area</translation>
    </message>
    <message>
        <source>用鼠标拖动可以来调整页面的顺序哦</source>
        <translation>Drag a page with the mouse to change the order</translation>
    </message>
    <message>
        <source>页面顺序</source>
        <translation>Page order</translation>
    </message>
    <message>
        <source>选中页面属性：</source>
        <translation>Selected page:</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>开始页面:</source>
        <translation>Start page:</translation>
    </message>
    <message>
        <source>页</source>
        <translation>pages</translation>
    </message>
    <message>
        <source>长度:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>下一页:</source>
        <translation>Next page:</translation>
    </message>
    <message>
        <source>显示模式:</source>
        <translation>Display mode:</translation>
    </message>
    <message>
        <source>所在块:</source>
        <translation>Block:</translation>
    </message>
    <message>
        <source>开始页:</source>
        <translation>Start page:</translation>
    </message>
    <message>
        <source>尺寸:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>调用页面:</source>
        <translation>Used by:</translation>
    </message>
    <message>
        <source>指令模式</source>
        <translation>Instruction mode</translation>
    </message>
    <message>
        <source>板子类型</source>
        <translation>Board type</translation>
    </message>
    <message>
        <source>字符开关:</source>
        <translation>Characters:</translation>
    </message>
    <message>
        <source>并口开关:</source>
        <translation>Parallel port:</translation>
    </message>
    <message>
        <source>局部位图:</source>
        <translation>Local bitmaps:</translation>
    </message>
    <message>
        <source>快速设定波特率：</source>
        <translation>Set the baud rate:</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>CRC校验</source>
        <translation>CRC table</translation>
    </message>
    <message>
        <source>开始校验</source>
        <translation>Start check</translation>
    </message>
    <message>
        <source>读取系统版本</source>
        <translation>Read the system version</translation>
    </message>
    <message>
        <source>读取配置信息</source>
        <translation>Read the configuration</translation>
    </message>
    <message>
        <source>只下载改动的部分</source>
        <translation>Download only what changed</translation>
    </message>
    <message>
        <source>只发送与这个连接上次下载不同的记录；模块型号或下载设置改变时仍发送全部</source>
        <translation>Send only the records that differ from this link's last download; everything goes when the device type or the download settings changed</translation>
    </message>
    <message>
        <source>下载后校验</source>
        <translation>Verify after the download</translation>
    </message>
    <message>
        <source>附上CRC表并发送开始校验命令：模块检查闪存并显示结果（USB-CAN 等单向连接无法得知字节是否全部到达）</source>
        <translation>Append the CRC table and the start-check command: the module checks its flash and shows the result (a one-way link such as USB-CAN cannot tell whether every byte arrived)</translation>
    </message>
    <message>
        <source>通信方式</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>测试画面</source>
        <translation>Test display</translation>
    </message>
    <message>
        <source>导出全屏位图信息</source>
        <translation>Export the background bitmap report</translation>
    </message>
    <message>
        <source>导出局部位图信息</source>
        <translation>Export the local bitmap report</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>局部位图区 第%1块存储结构</source>
        <translation>Local bitmap area, block %1</translation>
    </message>
    <message>
        <source>模块上已是这个工程的内容，没有要发送的改动</source>
        <translation>The module already holds this project: nothing changed to send</translation>
    </message>
    <message>
        <source>下载没有完成：已发送 %1 字节</source>
        <translation>The download did not finish: %1 bytes sent</translation>
    </message>
    <message>
        <source>已下载 %1 字节（共 %2 条记录中的 %3 条），用时 %4 秒</source>
        <translation>Downloaded %1 bytes (%3 of %2 records) in %4 s</translation>
    </message>
    <message>
        <source>Binary Files(*.bin)</source>
        <translation>Binary files (*.bin)</translation>
    </message>
    <message>
        <source>已导出 %1（%2 字节）</source>
        <translation>Exported %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>打开校验文件</source>
        <translation>Open the file to check</translation>
    </message>
    <message>
        <source>校验文件(*.bin)</source>
        <translation>Files to check (*.bin)</translation>
    </message>
    <message>
        <source>文本(*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>已把 %1 字节（共 %2 条记录中的 %3 条）交给 CAN 适配器，用时 %4 秒；CAN 连接没有应答，无法确认模块全部收到</source>
        <translation>%1 bytes (%3 of %2 records) handed to the CAN adapter in %4 s; a CAN link does not answer, so it cannot be confirmed that the module received them all</translation>
    </message>
</context>
<context>
    <name>QDialog</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TestDisplayDialog</name>
    <message>
        <source>测试画面</source>
        <translation>Test display</translation>
    </message>
    <message>
        <source>每页显示的时间，单位 0.5 秒</source>
        <translation>How long each page shows, in 0.5 s</translation>
    </message>
    <message>
        <source>关</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>周期：</source>
        <translation>Period:</translation>
    </message>
    <message>
        <source>开始/停止：</source>
        <translation>Start/stop:</translation>
    </message>
    <message>
        <source>开</source>
        <translation>On</translation>
    </message>
</context>
<context>
    <name>TextPanel</name>
    <message>
        <source>边框：</source>
        <translation>Frame:</translation>
    </message>
    <message>
        <source>横坐标</source>
        <translation>X</translation>
    </message>
    <message>
        <source>纵坐标</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>字框宽度:</source>
        <translation>Frame width:</translation>
    </message>
    <message>
        <source>文字：</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>横向放大:</source>
        <translation>Horizontal magnification:</translation>
    </message>
    <message>
        <source>纵向放大:</source>
        <translation>Vertical magnification:</translation>
    </message>
</context>
<context>
    <name>Tools</name>
    <message>
        <source>图元选择工具</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>选择多个图形（Ctrl+单击，或拖出方框）</source>
        <translation>Select several (Ctrl+click, or drag a box)</translation>
    </message>
    <message>
        <source>直线工具</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>文字工具</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>空心矩形</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>实心矩形</source>
        <translation>Filled rectangle</translation>
    </message>
    <message>
        <source>空心椭圆</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>实心椭圆</source>
        <translation>Filled ellipse</translation>
    </message>
    <message>
        <source>空心圆</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>实心圆</source>
        <translation>Filled circle</translation>
    </message>
    <message>
        <source>折线</source>
        <translation>Polyline</translation>
    </message>
    <message>
        <source>多边形工具</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <source>油漆桶</source>
        <translation>Flood fill</translation>
    </message>
    <message>
        <source>扇形工具</source>
        <translation>Pie</translation>
    </message>
    <message>
        <source>圆弧工具</source>
        <translation>Arc</translation>
    </message>
    <message>
        <source>位图工具</source>
        <translation>Bitmap</translation>
    </message>
    <message>
        <source>添加一个按钮</source>
        <translation>Add a button</translation>
    </message>
    <message>
        <source>添加输入框</source>
        <translation>Add an input box</translation>
    </message>
    <message>
        <source>数字控件</source>
        <translation>Number widget</translation>
    </message>
    <message>
        <source>动画控件</source>
        <translation>Animation widget</translation>
    </message>
</context>
<context>
    <name>TreeWindow</name>
    <message>
        <source>%1 指令集</source>
        <translation>%1 instruction tree</translation>
    </message>
</context>
<context>
    <name>TwoPointPanel</name>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>终点</source>
        <translation>End</translation>
    </message>
    <message>
        <source>起点</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>纵坐标</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>横坐标</source>
        <translation>X</translation>
    </message>
</context>
<context>
    <name>VirtualModuleDock</name>
    <message>
        <source>虚拟模块</source>
        <translation>Virtual module</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>按页面的延时与下一页，播放模块中存储的页面</source>
        <translation>Play the pages stored in the module, by their delays and next pages</translation>
    </message>
    <message>
        <source>把通讯口设置为“虚拟模块”后，下载的内容会显示在这里</source>
        <translation>With "Virtual module" chosen in the link settings, downloads show here</translation>
    </message>
    <message>
        <source>警告 %1 条，最后一条：%2</source>
        <translation>%1 warnings, the last: %2</translation>
    </message>
    <message>
        <source>显示第 %1 页</source>
        <translation>Showing page %1</translation>
    </message>
    <message>
        <source>直接显示的画面</source>
        <translation>A direct drawing</translation>
    </message>
    <message>
        <source>模块中还没有存储的页面：请先下载工程</source>
        <translation>No page is stored in the module yet: download the project first</translation>
    </message>
    <message>
        <source>停止播放</source>
        <translation>Stop playing</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>液晶屏画面编辑与下载程序</source>
        <translation>Page editor and downloader for graphic LCD modules</translation>
    </message>
    <message>
        <source>要打开的工程(.zkp)或页面(.pg)</source>
        <translation>a project (.zkp) or page (.pg) to open</translation>
    </message>
    <message>
        <source>把主窗口的截图(PNG)写入目录 DIR 后退出</source>
        <translation>write PNG pictures of the main window into DIR, then quit</translation>
    </message>
</context>
</TS>