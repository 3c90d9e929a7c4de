#pragma once
// The open project and the open page documents: what one main window holds. Every project
// command's logic lives here; questions and messages go through the workspace's own
// Messenger (its pages report through it too), and the choices a dialog would make come
// from the caller's WorkspaceUi callbacks. Two workspaces share nothing.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "images/DownloadSettings.h"
#include "project/CDocObj.h"
#include "project/CLedDoc.h"
#include "project/LocalBitmapStore.h"
#include "project/Observers.h"
#include "project/ScreenParams.h"

struct NewProjectChoice {
    ScreenParams screen;
    bool bitmaps = true;
    std::string name;       // the project's name (UTF-8)
    std::string parentDir;  // the folder the project directory is made in
};

struct NewPageChoice {
    ScreenParams screen;
    bool bitmaps = true;
    std::string name;
};

// What the dialogs of the project commands answer. A callback returns false when the
// user cancelled. Dialogs validate with Workspace's checks before they close; the
// commands check again and refuse what is still invalid.
struct WorkspaceUi {
    std::function<bool()> hasDevices;   // the device catalogue is not empty
    std::function<void()> editDevices;  // the device-edit dialog
    std::function<bool(NewProjectChoice&)> newProject;
    std::function<bool(std::string&)> pageName;     // name of a new project page
    std::function<bool(NewPageChoice&)> newPage;    // a page without a project
    std::function<bool(std::string&)> projectFile;  // "打开工程文件"
};

class Workspace {
public:
    struct Project {
        ScreenParams screen{"----", 8, 102.5, 75.5, 320, 234};
        int32_t bitmapSupport = 1;
        std::string name;
        std::string directory;  // without a trailing "/"
        bool open = false;
        std::string newPageTitle;
        std::vector<CDocObj> entries;
        int32_t nextStartPage = 0;
        std::string fileName;  // name + ".zkp"
        int nextBackId = 0;
    };

    // `messenger` (not owned) must outlive the workspace.
    explicit Workspace(Messenger& messenger);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Messenger& GetMessenger() const { return m_messenger; }
    // The download settings project management edits; the image builder, the layout and
    // the pixel conversion take a copy.
    DownloadSettings& Settings() { return m_settings; }
    const DownloadSettings& Settings() const { return m_settings; }
    // The project's local bitmaps; the pages of this workspace only.
    LocalBitmapStore& Bitmaps() { return m_bitmaps; }
    const LocalBitmapStore& Bitmaps() const { return m_bitmaps; }
    // Observers of pages opened and closed and of the project opened and closed.
    void AddObserver(WorkspaceObserver* observer);
    void RemoveObserver(WorkspaceObserver* observer);

    // The project commands; each returns true when it did what was asked.
    bool NewProject(const WorkspaceUi& ui);
    bool OpenProject(const WorkspaceUi& ui);
    bool OpenProjectFile(const std::string& path);
    bool SaveProject();
    // Asks about each modified page first (save, drop, or cancel: the project stays open).
    bool CloseProject();
    // Asks about every modified page ("已被修改，是否保存？"): Yes saves, No drops the
    // change, Cancel (false) stops. Quitting asks this about all pages before closing any.
    // A page without a file (made without a project) is saved where SaveAs answers; a
    // cancelled choice stops too.
    bool OfferToSaveModified();
    // Where a page that has no file yet is saved: false when the user cancelled.
    using SaveAs = std::function<bool(const CLedDoc& page, std::string& path)>;
    void SetSaveAs(SaveAs saveAs) { m_saveAs = std::move(saveAs); }
    // Forgets every open page without asking (after OfferToSaveModified).
    void CloseAllPages();
    CLedDoc* NewPage(const WorkspaceUi& ui);
    CLedDoc* OpenPage(const std::string& path);
    // Removes `page` (the active page) from the project after asking; the file stays.
    bool DeletePage(CLedDoc* page);
    // Opens every entry's page (reusing open ones) with its start page: project
    // management's step before the dialog.
    void OpenProjectPages();
    // Closing a page's window: the entry named like the page takes its start page and
    // page count; a modified page is offered for saving (Cancel keeps it open: false).
    // Yes saves it to its own file, else into the project directory; a page with neither
    // asks SaveAs for a name (cancelled: the page stays open).
    bool ClosePage(CLedDoc* page);
    // Imports a page opened on its own into the project.
    bool ImportIntoProject(CLedDoc* page, const WorkspaceUi& ui);
    bool WriteProjectFile();

    const Project& GetProject() const { return m_project; }
    Project& GetProject() { return m_project; }
    const std::vector<std::unique_ptr<CLedDoc>>& Pages() const { return m_pages; }
    // The page read or written last.
    CLedDoc* ActivePage() const { return m_active; }
    // The page picker "页面切换：" of the page-properties bar.
    const std::vector<std::string>& PagePicker() const { return m_picker; }
    CLedDoc* FindPage(const std::string& path) const;

    // A page name completed with ".pg": appended unless the text from the last "." on
    // is ".pg" (in any case).
    static std::string CompletePageName(const std::string& name);
    // Where a page of a project lives: the project directory + its name completed with
    // ".pg". The editor, lcdtool and lcdsim all place and find pages by this one rule.
    static std::string PageFile(const std::string& directory, const std::string& name);
    // The first complaint about a dialog's choice, or "" when it is acceptable.
    static std::string CheckNewProject(const NewProjectChoice& c);
    std::string CheckPageName(const std::string& completed) const;
    static std::string CheckNewPage(const NewPageChoice& c);
    // A name read from a project file may only name a file inside the project directory.
    static bool IsSafeEntryName(const std::string& name);
    // The complaint about an entry name the folder or the GBK project file cannot hold,
    // or "" when it is fine.
    static std::string CheckEntryName(const std::string& name);
    // PageFile in the open project's directory.
    std::string PathOf(const std::string& title) const;
    // The file of the project entry `name`: PathOf, or the bare name an earlier version
    // stored the page under when only that file exists.
    std::string EntryFile(const std::string& name) const;
    // The file `page` is saved to: its place in the open project, else the file it was
    // read from (empty for a page that has neither).
    std::string FileOf(const CLedDoc& page) const;

private:
    void Tell(const std::string& text, const std::string& caption = "提示") const;
    Messenger::Answer Ask(const std::string& text, Messenger::Buttons buttons,
                          const std::string& caption = "提示") const;
    bool EnsureDevices(const WorkspaceUi& ui, const char* text, const char* caption);
    bool SavePage(CLedDoc* page, const std::string& path);
    void LoadProjectPages();
    CLedDoc* Adopt(std::unique_ptr<CLedDoc> doc);
    void Forget(CLedDoc* page);
    void Announce(void (WorkspaceObserver::*event)());
    void AnnouncePage(void (WorkspaceObserver::*event)(CLedDoc&), CLedDoc& page);

    Messenger& m_messenger;
    SaveAs m_saveAs;
    DownloadSettings m_settings;
    LocalBitmapStore m_bitmaps;
    std::vector<WorkspaceObserver*> m_observers;
    Project m_project;
    std::vector<std::unique_ptr<CLedDoc>> m_pages;
    CLedDoc* m_active = nullptr;
    std::vector<std::string> m_picker;
};
