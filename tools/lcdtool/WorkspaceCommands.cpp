#include "WorkspaceCommands.h"

#include <cstdio>

#include "CommandLine.h"
#include "Output.h"
#include "ToolMessenger.h"
#include "project/DeviceCatalogue.h"
#include "project/Workspace.h"

int WorkspaceCommands::NewProject(const CommandLine& args) {
    ToolMessenger messenger(args);
    DeviceCatalogue catalogue(messenger);
    catalogue.Load(false);
    ScreenParams screen;
    int32_t bitmaps = 1;
    const std::string device = args.Value("--device");
    WorkspaceUi ui;
    // The command line has no device editor to open: an empty catalogue is one more
    // device that is not there.
    ui.newProject = [&](NewProjectChoice& c) {
        if (!catalogue.Lookup(device, screen, bitmaps)) {
            Output::Fail("设备目录中没有设备 " + device);
            return false;
        }
        c = NewProjectChoice{screen, bitmaps != 0, args.Positional()[1], args.Positional()[0]};
        return true;
    };
    Workspace ws(messenger);
    if (!ws.NewProject(ui)) return 1;
    std::printf("%s/%s\n", ws.GetProject().directory.c_str(), ws.GetProject().fileName.c_str());
    return 0;
}

int WorkspaceCommands::NewPage(const CommandLine& args) {
    ToolMessenger messenger(args);
    Workspace ws(messenger);
    if (!ws.OpenProjectFile(args.Positional()[0])) return 1;
    // The project file holds no screen: an open project takes it from its pages, and one
    // without pages yet from the device named here (the editor still knows it from the
    // new-project dialog).
    Workspace::Project& project = ws.GetProject();
    if (args.Has("--device")) {
        const std::string device = args.Value("--device");
        DeviceCatalogue catalogue(messenger);
        catalogue.Load(false);
        ScreenParams screen;
        int32_t bitmaps = 1;
        if (!catalogue.Lookup(device, screen, bitmaps))
            return Output::Fail("设备目录中没有设备 " + device);
        if (ws.Pages().empty()) {
            project.screen = screen;
            project.bitmapSupport = bitmaps;
        } else if (project.screen.device != device) {
            return Output::Fail("工程的页面是为设备 " + project.screen.device + " 做的");
        }
    } else if (ws.Pages().empty()) {
        return Output::Fail("工程中还没有页面，请用 --device 指定设备类型");
    }
    // The last page opened is the project's last entry: the new page starts after it.
    WorkspaceUi ui;
    ui.pageName = [&](std::string& name) {
        name = args.Positional()[1];
        return true;
    };
    CLedDoc* page = ws.NewPage(ui);
    if (!page) return 1;
    std::printf("%s\n", page->m_strPath.c_str());
    return 0;
}
