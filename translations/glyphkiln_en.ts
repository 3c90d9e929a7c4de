<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Glyphkiln</name>
    <message>
        <source>点阵字库生成软件</source>
        <translation>Dot-matrix font generator</translation>
    </message>
    <message>
        <source>选择点阵的宽度、高度和字体，给出字符（输入、编码范围或工程用到的字符），按“生成”保存字库文件。文件没有文件头：每个字 ((宽度+7)/8)×高度 字节，按字符的顺序排列，每行从左到右、最高位在左。查看字库时须用生成时的宽度和高度。</source>
        <translation>Choose the width, height and font of the dots, give the characters (typed, a code range or those a project uses) and press "Generate" to save the font file. The file has no header: each character takes ((width+7)/8)×height bytes, in the order of the characters, each row left to right, the highest bit on the left. Viewing a font needs the width and height it was made with.</translation>
    </message>
    <message>
        <source>操作类型:</source>
        <translation>Task:</translation>
    </message>
    <message>
        <source>生成字库</source>
        <translation>Generate a font</translation>
    </message>
    <message>
        <source>查看字库</source>
        <translation>View a font</translation>
    </message>
    <message>
        <source>宋体</source>
        <translation>宋体</translation>
    </message>
    <message>
        <source>字体名称，或字体文件的路径（TrueType、OpenType、BDF、PCF）</source>
        <translation>A font family name, or the path of a font file (TrueType, OpenType, BDF, PCF)</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>宽度:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高度:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>字体:</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>输入的字符</source>
        <translation>Typed characters</translation>
    </message>
    <message>
        <source>编码范围</source>
        <translation>Code range</translation>
    </message>
    <message>
        <source>GB2312 一级汉字</source>
        <translation>GB2312 level-1 hanzi</translation>
    </message>
    <message>
        <source>GB2312 全部</source>
        <translation>All of GB2312</translation>
    </message>
    <message>
        <source>工程用到的字符</source>
        <translation>Characters of a project</translation>
    </message>
    <message>
        <source>液晶</source>
        <translation>液晶</translation>
    </message>
    <message>
        <source>从</source>
        <translation>From</translation>
    </message>
    <message>
        <source>到</source>
        <translation>to</translation>
    </message>
    <message>
        <source>（十六进制 GBK 编码，如 20 到 7E 或 B0A1 到 D7F9）</source>
        <translation>(hexadecimal GBK codes, e.g. 20 to 7E or B0A1 to D7F9)</translation>
    </message>
    <message>
        <source>GB2312 一级汉字：B0A1 到 D7F9，共 3755 个，按编码顺序。</source>
        <translation>GB2312 level-1 hanzi: B0A1 to D7F9, 3755 characters, in code order.</translation>
    </message>
    <message>
        <source>GB2312 全部：A1 到 F7 区，每区 94 位，共 8178 个位置，按编码顺序；空位是空白字形，所以第 n 个字形就是 (区-0xA1)×94+(位-0xA1)。</source>
        <translation>All of GB2312: rows A1 to F7 of 94 cells, 8178 places in code order; empty places are blank glyphs, so glyph n is (row-0xA1)×94+(cell-0xA1).</translation>
    </message>
    <message>
        <source>工程文件:</source>
        <translation>Project file:</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>字符来源:</source>
        <translation>Characters:</translation>
    </message>
    <message>
        <source>预览:</source>
        <translation>Preview:</translation>
    </message>
    <message>
        <source>打开字库文件</source>
        <translation>Open a font file</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>关于 Glyphkiln(&amp;A)...</source>
        <translation>&amp;About Glyphkiln...</translation>
    </message>
    <message>
        <source>使用字体：%1（%2）</source>
        <translation>Font used: %1 (%2)</translation>
    </message>
    <message>
        <source>共 %1 个字，每个 %2 字节，文件 %3 字节</source>
        <translation>%1 characters of %2 bytes, file %3 bytes</translation>
    </message>
    <message>
        <source>；字体中没有 %1 个字（字形为空白）：%2</source>
        <translation>; %1 characters are missing from the font (blank glyphs): %2</translation>
    </message>
    <message>
        <source>没有要生成的字符，不写字库文件</source>
        <translation>No characters to generate: no font file is written</translation>
    </message>
    <message>
        <source>写字库文件失败：%1</source>
        <translation>Writing the font file failed: %1</translation>
    </message>
    <message>
        <source>已生成 %1：%2 个字，%3 字节</source>
        <translation>Generated %1: %2 characters, %3 bytes</translation>
    </message>
    <message>
        <source>字体“%1”中没有这 %2 个字，它们的字形是空白的：%3</source>
        <translation>The font "%1" lacks these %2 characters; their glyphs are blank: %3</translation>
    </message>
    <message>
        <source>共 %1 个字形，每个 %2 字节</source>
        <translation>%1 glyphs of %2 bytes</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>关于 Glyphkiln</source>
        <translation>About Glyphkiln</translation>
    </message>
    <message>
        <source>Glyphkiln 点阵字库生成软件
版本 %1</source>
        <translation>Glyphkiln dot-matrix font generator
version %1</translation>
    </message>
    <message>
        <source>字形序号:</source>
        <translation>Glyph:</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>保存字库文件</source>
        <translation>Save the font file</translation>
    </message>
    <message>
        <source>打开字库文件</source>
        <translation>Open a font file</translation>
    </message>
    <message>
        <source>打开工程文件</source>
        <translation>Open a project file</translation>
    </message>
    <message>
        <source>工程文件 (*.zkp)</source>
        <translation>Project files (*.zkp)</translation>
    </message>
    <message>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>字库文件 (*.bin);;所有文件 (*)</source>
        <translation>Font files (*.bin);;All files (*)</translation>
    </message>
</context>
</TS>