#pragma once
// lcdtool's project commands that the main frame's menu runs: new-project and new-page.

class CommandLine;

class WorkspaceCommands {
public:
    // lcdtool new-project DIR NAME --device NAME
    static int NewProject(const CommandLine& args);
    // lcdtool new-page PROJECT.zkp NAME
    static int NewPage(const CommandLine& args);
};
