// mkexamples OUTDIR: writes the example pages.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ExamplePage.h"
#include "base/AtomicFile.h"
#include "base/Messages.h"
#include "project/ProjectFile.h"

namespace {

// The core's message, in the locale's language.
void Report(const std::string& error) {
    std::fprintf(stderr, "mkexamples: %s\n", Messages::Tr(error).c_str());
}

bool Write(ExamplePage& page, const std::string& dir, const char* name) {
    std::string error;
    const std::string path = dir + "/" + name;
    if (!page.Save(path, error)) {
        Report(error);
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

// 800 x 480 at 256 colours: every shape class, solid and hollow, with a fill.
bool Shapes256(const std::string& dir) {
    ExamplePage p("7寸屏800x480", 256, 154.2, 85.9, 800, 480);
    p.Background(0, 2);
    p.Colour(15, 15);
    p.Rectangle(8, 8, 792, 472, false);
    p.Colour(14, 0);
    p.Rectangle(30, 30, 230, 150, true);
    p.Colour(15, 12);
    p.Rectangle(250, 30, 450, 150, false);
    p.Fill(350, 90, 7, 3, 15, 12);
    p.Colour(1, 12);
    p.Ellipse(470, 30, 770, 150, true);
    p.Colour(15, 3);
    p.Ellipse(490, 50, 750, 130, false);
    p.Colour(15, 15);
    p.Line(30, 170, 770, 170);
    p.Line(30, 180, 770, 300);
    p.Line(400, 180, 400, 300);
    p.Colour(3, 15);
    p.Circle(120, 370, 180, 370, true);
    p.Colour(14, 3);
    p.Circle(120, 370, 200, 410, false);
    p.Colour(15, 0);
    p.Arc({330, 370}, {400, 370}, {330, 300});
    p.Colour(2, 15);
    p.Pie({480, 370}, {540, 370}, {480, 440});
    p.Colour(11, 11);
    p.Polyline({{600, 320}, {640, 440}, {680, 330}, {720, 440}, {770, 320}});
    p.Colour(6, 6);
    p.Polygon({{560, 190}, {620, 290}, {500, 290}});
    p.Fill(560, 260, 13, 3, 6, 6);
    return Write(p, dir, "shapes-256.pg");
}

// 320 x 240 at 64 colours.
bool Shapes64(const std::string& dir) {
    ExamplePage p("3.5寸屏320x240", 64, 70.08, 52.56, 320, 240);
    p.Background(0, 0);
    p.Colour(7, 7);
    p.Rectangle(2, 2, 318, 238, false);
    p.Colour(1, 1);
    p.Rectangle(10, 10, 110, 70, true);
    p.Colour(2, 2);
    p.Ellipse(120, 10, 220, 70, false);
    p.Fill(170, 40, 4, 4, 2, 2);
    p.Colour(3, 3);
    p.Circle(270, 40, 300, 40, false);
    p.Colour(6, 6);
    p.Line(10, 90, 310, 90);
    p.Line(10, 100, 310, 140);
    p.Colour(5, 5);
    p.Arc({60, 190}, {100, 190}, {60, 150});
    p.Colour(3, 6);
    p.Pie({160, 190}, {200, 190}, {160, 230});
    p.Colour(7, 0);
    p.Polygon({{230, 160}, {300, 160}, {310, 220}, {220, 220}});
    p.Colour(0, 7);
    p.Polyline({{230, 150}, {260, 120}, {290, 150}});
    return Write(p, dir, "shapes-64.pg");
}

// 320 x 234 at 8 colours, and an auxiliary page drawn over whatever the module shows.
bool Shapes8(const std::string& dir) {
    ExamplePage p("5.7寸屏320x234", 8, 115.2, 86.4, 320, 234);
    p.Background(0, 1);
    p.Colour(0, 7);
    p.Rectangle(4, 4, 316, 230, false);
    p.Colour(0, 4);
    p.Rectangle(20, 20, 100, 80, true);
    p.Colour(0, 2);
    p.Ellipse(120, 20, 200, 80, true);
    p.Colour(0, 6);
    p.Circle(260, 50, 290, 50, false);
    p.Fill(260, 50, 0, 5, 0, 6);
    p.Colour(0, 3);
    p.Arc({60, 160}, {100, 160}, {60, 120});
    p.Colour(0, 5);
    p.Pie({160, 160}, {200, 160}, {160, 200});
    p.Colour(0, 7);
    p.Polyline({{220, 120}, {250, 200}, {280, 120}, {300, 200}});
    p.Polygon({{20, 200}, {60, 220}, {20, 225}});
    p.Line(10, 100, 310, 100);
    if (!Write(p, dir, "shapes-8.pg")) return false;

    ExamplePage aux("5.7寸屏320x234", 8, 115.2, 86.4, 320, 234);
    aux.Kind(1);
    aux.Delay(40);
    aux.Colour(0, 6);
    aux.Rectangle(100, 90, 220, 140, true);
    aux.Colour(0, 4);
    aux.Line(100, 90, 220, 140);
    aux.Line(100, 140, 220, 90);
    return Write(aux, dir, "overlay-aux-8.pg");
}

// Text at every magnification, ASCII and Chinese, several colours, line breaks and wrapping.
bool Text256(const std::string& dir) {
    ExamplePage p("7寸屏800x480", 256, 154.2, 85.9, 800, 480);
    p.Background(0, 0);
    p.Colour(15, 15);
    p.Text(10, 10, 400, 40, {{"Hello 液晶屏 1x1"}});
    p.Text(10, 50, 400, 90, {{"宽 2x1 wide", 2, 1, 15, 12}});
    p.Text(10, 100, 400, 150, {{"高 1x2 tall", 1, 2, 1, 12}});
    p.Text(420, 10, 790, 80, {{"大字 2x2", 2, 2, 14, 0}});
    p.Text(420, 100, 790, 150, {{"三倍 3x1", 3, 1, 3, 15}});
    p.Text(10, 170, 300, 200,
           {{"第一行", 1, 1, 15, 15},
            {"\r"},
            {"second line 第二行", 1, 1, 2, 15},
            {"\r"},
            {"A long line that wraps inside its frame 自动换行的一段文字。", 1, 1, 15, 3}});
    p.Colour(0, 3);
    p.Rectangle(8, 168, 302, 320, false);
    return Write(p, dir, "text-256.pg");
}

// Text on the small 8-colour screen, mixed with shapes.
bool Text8(const std::string& dir) {
    ExamplePage p("5.7寸屏320x234", 8, 115.2, 86.4, 320, 234);
    p.Background(0, 1);
    p.Colour(0, 7);
    p.Text(8, 8, 312, 40, {{"温度 Temp: 25℃", 1, 1, 0, 7}});
    p.Text(8, 60, 312, 120, {{"报警", 2, 2, 0, 4}, {" OK", 2, 2, 0, 2}});
    p.Colour(0, 6);
    p.Line(8, 140, 312, 140);
    p.Text(8, 150, 200, 230, {{"菜单\r1 设置\r2 退出", 1, 1, 0, 6}});
    return Write(p, dir, "text-8.pg");
}

// A 24-bit BMP of a colour gradient with a white frame, made here so the examples carry
// no picture of unclear origin.
bool WritePicture(const std::string& path, int w, int h, int seed) {
    const int row = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b(static_cast<size_t>(54 + row * h), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1, b[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &b[static_cast<size_t>(54 + y * row + x * 3)];
            const bool frame = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            p[0] = frame ? 255 : static_cast<uint8_t>(255 * y / h);                      // blue
            p[1] = frame ? 255 : static_cast<uint8_t>((seed * 40 + 255 * x / w) % 256);  // green
            p[2] = frame ? 255 : static_cast<uint8_t>(255 - 255 * x / w);                // red
        }
    }
    std::string error;
    if (!AtomicFile::Write(path, b, error)) {
        Report(error);
        return false;
    }
    return true;
}

// Local bitmaps and both widgets at 256 colours, and a background-bitmap page.
bool Bitmaps256(const std::string& dir) {
    const std::string logo = dir + "/pictures/logo.bmp", icon = dir + "/pictures/icon.bmp",
                      backdrop = dir + "/pictures/backdrop.bmp";
    std::error_code ec;
    std::filesystem::create_directories(dir + "/pictures", ec);
    if (!WritePicture(logo, 64, 48, 1) || !WritePicture(icon, 24, 24, 3) ||
        !WritePicture(backdrop, 80, 60, 5))
        return false;

    ExamplePage p("3.5寸屏320x240", 256, 70.08, 52.56, 320, 240);
    p.Background(0, 1);
    p.Bitmap(10, 10, logo);
    p.Bitmap(90, 10, icon);
    p.Bitmap(120, 10, icon);
    p.Colour(15, 15);
    p.Text(10, 70, 300, 90, {{"数值 Value:"}});
    p.Colour(15, 12);
    p.Number(110, 70, 4, 1, 0);
    p.Colour(14, 3);
    p.Animation(10, 110, 110, 170);
    if (!Write(p, dir, "bitmaps-256.pg")) return false;

    ExamplePage bg("3.5寸屏320x240", 256, 70.08, 52.56, 320, 240);
    int nextBackId = 0;
    if (!bg.Background(backdrop, nextBackId)) return false;
    bg.Colour(15, 15);
    bg.Text(20, 200, 300, 220, {{"背景位图 background"}});
    bg.Rectangle(10, 190, 310, 230, false);
    return Write(bg, dir, "background-256.pg");
}

// A project for a 320 x 240, 256-colour module: shapes and text, a menu, local bitmaps, a
// background page and an auxiliary page, each placed after the one before in flash.
bool Demo(const std::string& examples) {
    const std::string dir = examples + "/demo";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string pictures = examples + "/pictures";
    const char* device = "3.5寸屏320x240";
    std::vector<std::unique_ptr<ExamplePage>> pages;
    std::vector<std::string> names;
    auto page = [&](const char* name) {
        pages.push_back(std::make_unique<ExamplePage>(device, 256, 70.08, 52.56, 320, 240));
        names.push_back(name);
        return pages.back().get();
    };

    ExamplePage* main = page("main.pg");
    main->Background(0, 2);
    main->Colour(15, 15);
    main->Rectangle(4, 4, 316, 236, false);
    main->Text(20, 16, 300, 48, {{"液晶屏演示", 2, 2, 15, 12}});
    main->Colour(14, 0);
    main->Circle(60, 130, 100, 130, true);
    main->Colour(1, 12);
    main->Rectangle(120, 90, 200, 170, true);
    main->Colour(3, 15);
    main->Pie({260, 130}, {300, 130}, {260, 170});
    main->Colour(15, 15);
    main->Line(20, 200, 300, 200);

    ExamplePage* menu = page("menu.pg");
    menu->Background(0, 0);
    menu->Colour(15, 15);
    menu->Text(20, 20, 300, 140, {{"菜单\r1 设置 Setup\r2 状态 Status\r3 退出 Exit"}});
    menu->Colour(15, 12);
    menu->Polygon({{10, 24}, {18, 28}, {10, 32}});

    ExamplePage* photo = page("photo.pg");
    photo->Background(0, 1);
    photo->Bitmap(20, 20, pictures + "/logo.bmp");
    photo->Bitmap(120, 20, pictures + "/icon.bmp");
    photo->Colour(15, 15);
    photo->Number(20, 100, 5, 2, 0);

    ExamplePage* back = page("back.pg");
    int nextBackId = 0;
    if (!back->Background(pictures + "/backdrop.bmp", nextBackId)) return false;
    back->Colour(15, 15);
    back->Text(20, 200, 300, 220, {{"背景位图 Background"}});

    ExamplePage* overlay = page("overlay.pg");
    overlay->Kind(1);
    overlay->Colour(14, 0);
    overlay->Rectangle(100, 80, 220, 160, true);
    overlay->Colour(15, 15);
    overlay->Text(110, 110, 210, 126, {{"报警 Alarm"}});

    std::vector<CDocObj> entries;
    int start = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
        CLedDoc& doc = pages[i]->Doc();
        doc.m_nStartPage = start;
        const int count = doc.ComputePageCount();
        entries.emplace_back(names[i], start, count);
        start += count;
        if (!Write(*pages[i], dir, names[i].c_str())) return false;
    }
    std::string error;
    CByteArray zkp;
    if (!ProjectFile::Write(entries, zkp, error) ||
        !AtomicFile::Write(dir + "/demo.zkp", zkp, error)) {
        Report(error);
        return false;
    }
    std::printf("%s/demo.zkp\n", dir.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkexamples OUTDIR\n");
        return 1;
    }
    Messages::Use(Messages::FromEnvironment());
    const std::string dir = argv[1];
    return Shapes256(dir) && Shapes64(dir) && Shapes8(dir) && Text256(dir) && Text8(dir) &&
                   Bitmaps256(dir) && Demo(dir)
               ? 0
               : 1;
}
