#pragma once
// The editor's command ids. They are the program's own numbers (menus, toolbars and the
// canvas's tool buttons use them) and each one is kept as the data of its QAction.

namespace Cmd {

enum : int {
    None = 0,
    // Project and pages.
    NewProject = 32793,
    OpenProject = 32819,
    SaveProject = 32820,
    CloseProject = 32799,
    ManageProject = 32822,
    NewPage = 32784,
    OpenPage = 32795,
    SavePage = 57603,
    ExportPage = 32815,
    ImportPage = 32823,
    DeletePage = 32824,
    ConvertPage = 32813,
    Exit = 32707,
    // Editing.
    Undo = 57643,
    Redo = 57644,
    DeleteItem = 32811,
    ReplaceBitmap = 32825,
    // View.
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    Palette = 32794,
    Toolbox = 32809,
    Properties = 32802,
    InstructionTree = 32803,
    // Windows.
    NewWindow = 57648,
    Cascade = 57650,
    Tile = 57651,
    ArrangeIcons = 57649,
    // System, link and help.
    EditDevices = 32801,
    LinkSettings = 32807,
    UpgradeCpu = 32828,
    ShowPage = 32798,
    SendFont = 32804,
    SendFile = 32827,
    BitmapData = 32814,
    About = 57664,
    Help = 57670,
    Upgrade = 32808,
    // The virtual module's dock (the editor's own command).
    VirtualModule = 32900,
    // Drawing tools.
    SelectTool = 32785,
    SelectMany = 32816,
    LineTool = 32774,
    TextTool = 32773,
    HollowRect = 32775,
    SolidRect = 32776,
    HollowEllipse = 32771,
    SolidEllipse = 32786,
    HollowCircle = 32787,
    SolidCircle = 32780,
    PolylineTool = 32789,
    PolygonTool = 32810,
    FillTool = 32790,
    PieTool = 32781,
    ArcTool = 32782,
    BitmapTool = 32791,
    ButtonTool = 32829,
    InputBoxTool = 32821,
    NumberTool = 32833,
    AnimationTool = 32834,
};

}  // namespace Cmd
