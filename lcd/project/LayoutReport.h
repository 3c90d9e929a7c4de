#pragma once
// The two text reports of project management, written as the module's tools read them:
// GBK text, lines ending in CR LF, each field placed at its column (a longer field pushes
// the following ones to the right, nothing is cut), and nothing after the last line.
//
// Local bitmaps ("导出局部位图信息"): a title line, a heading line, then per local bitmap
// that still has its item: block "%d," at column 1, start page "%d," at 8, the item's
// left "%d," at 16, top "%d," at 21, width "%d," at 27, height "%d," at 33, the bitmap's
// source path at 39.
// Full-screen bitmaps ("导出全屏位图信息"): a heading line, then per open page with a
// background bitmap: the bitmap's source path at 0, the page's background id at 20, the
// page's title at 30.

#include <functional>
#include <string>

class Messenger;
class Workspace;

class LayoutReport {
public:
    // The reports' bytes (GBK).
    static std::string LocalBitmaps(const Workspace& ws);
    static std::string Backgrounds(const Workspace& ws);
    // ".txt" is appended unless the name already ends in ".txt".
    static std::string ReportName(const std::string& chosen);
    // Writes `text` under the name the user chooses (`chooseFile` false: cancelled).
    // "创建文件失败" and the reason when the file cannot be written.
    static bool Write(const std::string& text, const std::function<bool(std::string&)>& chooseFile,
                      Messenger& messenger);
    // Spaces up to `column` (in bytes), then `field`.
    static void PlaceField(std::string& line, size_t column, const std::string& field);
};
