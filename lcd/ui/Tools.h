#pragma once
// The drawing tools: one table feeds the toolbox, the drawing menu and the canvas. Each
// row is the toolbox command, the page controller's tool (the page's item type numbers,
// named in PageController.h), the tool's name and its icon.

#include <QtGlobal>

#include "edit/PageController.h"
#include "ui/Commands.h"

struct ToolDef {
    int command;
    int tool;
    const char* text;  // translated where shown
    const char* icon;  // resources/icons/<icon>.svg
};

inline constexpr ToolDef kTools[] = {
    {Cmd::SelectTool, Tool::Select, QT_TRANSLATE_NOOP("Tools", "图元选择工具"), "select"},
    {Cmd::SelectMany, Tool::Select,
     QT_TRANSLATE_NOOP("Tools", "选择多个图形（Ctrl+单击，或拖出方框）"), "select-many"},
    {Cmd::LineTool, Tool::Line, QT_TRANSLATE_NOOP("Tools", "直线工具"), "line"},
    {Cmd::TextTool, Tool::Text, QT_TRANSLATE_NOOP("Tools", "文字工具"), "text"},
    {Cmd::HollowRect, Tool::HollowRect, QT_TRANSLATE_NOOP("Tools", "空心矩形"), "rect-hollow"},
    {Cmd::SolidRect, Tool::SolidRect, QT_TRANSLATE_NOOP("Tools", "实心矩形"), "rect-solid"},
    {Cmd::HollowEllipse, Tool::HollowEllipse, QT_TRANSLATE_NOOP("Tools", "空心椭圆"),
     "ellipse-hollow"},
    {Cmd::SolidEllipse, Tool::SolidEllipse, QT_TRANSLATE_NOOP("Tools", "实心椭圆"),
     "ellipse-solid"},
    {Cmd::HollowCircle, Tool::HollowCircle, QT_TRANSLATE_NOOP("Tools", "空心圆"), "circle-hollow"},
    {Cmd::SolidCircle, Tool::SolidCircle, QT_TRANSLATE_NOOP("Tools", "实心圆"), "circle-solid"},
    {Cmd::PolylineTool, Tool::Polyline, QT_TRANSLATE_NOOP("Tools", "折线"), "polyline"},
    {Cmd::PolygonTool, Tool::Polygon, QT_TRANSLATE_NOOP("Tools", "多边形工具"), "polygon"},
    {Cmd::FillTool, Tool::Fill, QT_TRANSLATE_NOOP("Tools", "油漆桶"), "fill"},
    {Cmd::PieTool, Tool::Pie, QT_TRANSLATE_NOOP("Tools", "扇形工具"), "pie"},
    {Cmd::ArcTool, Tool::Arc, QT_TRANSLATE_NOOP("Tools", "圆弧工具"), "arc"},
    {Cmd::BitmapTool, Tool::Bitmap, QT_TRANSLATE_NOOP("Tools", "位图工具"), "bitmap"},
    {Cmd::ButtonTool, Tool::Button, QT_TRANSLATE_NOOP("Tools", "添加一个按钮"), "button"},
    {Cmd::InputBoxTool, Tool::InputBox, QT_TRANSLATE_NOOP("Tools", "添加输入框"), "input-box"},
    {Cmd::NumberTool, Tool::Number, QT_TRANSLATE_NOOP("Tools", "数字控件"), "number"},
    {Cmd::AnimationTool, Tool::Animation, QT_TRANSLATE_NOOP("Tools", "动画控件"), "animation"},
};

// The row of a toolbox command, or null.
inline const ToolDef* FindTool(int command) {
    for (const ToolDef& t : kTools)
        if (t.command == command) return &t;
    return nullptr;
}
