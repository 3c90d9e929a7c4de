#include "project/Workspace.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "project/ProjectFile.h"

namespace fs = std::filesystem;

namespace {

// A file (or anything else) already at `path` is replaced only when the user says Yes.
bool MayReplace(Messenger& messenger, const std::string& path, const std::string& question) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return true;
    return messenger.Ask(path + " " + question, "提示", Messenger::Buttons::YesNo) ==
           Messenger::Answer::Yes;
}

}  // namespace

Workspace::Workspace(Messenger& messenger)
    : m_messenger(messenger),
      m_bitmaps(
          [this] {
              std::vector<CLedDoc*> pages;
              for (const auto& p : m_pages)
                  pages.push_back(p.get());
              return pages;
          },
          &m_settings) {}
Workspace::~Workspace() = default;

void Workspace::Tell(const std::string& text, const std::string& caption) const {
    m_messenger.Tell(text, caption);
}

Messenger::Answer Workspace::Ask(const std::string& text, Messenger::Buttons buttons,
                                 const std::string& caption) const {
    return m_messenger.Ask(text, caption, buttons);
}

std::string Workspace::CompletePageName(const std::string& name) {
    const size_t dot = name.rfind('.');
    const bool pg = dot != std::string::npos && name.size() - dot == 3 &&
                    (name[dot + 1] | 0x20) == 'p' && (name[dot + 2] | 0x20) == 'g';
    return pg ? name : name + ".pg";
}

std::string Workspace::PageFile(const std::string& directory, const std::string& name) {
    return directory + "/" + CompletePageName(name);
}

std::string Workspace::CheckNewProject(const NewProjectChoice& c) {
    if (c.screen.device.empty()) return "请选择设备类型";
    if (c.name.empty()) return "请填写工程名称";
    if (c.parentDir.empty()) return "请选择工程存放目录";
    if (!IsSafeEntryName(c.name)) return "工程名称不能包含路径分隔符或“..”";
    return "";
}

std::string Workspace::CheckPageName(const std::string& completed) const {
    if (completed.empty() || completed == ".pg") return "页面名称不能为空";
    if (const std::string complaint = CheckEntryName(completed); !complaint.empty())
        return complaint;
    for (const CDocObj& e : m_project.entries)
        if (e.m_strName == completed) return "页面名称不能重复";
    return "";
}

std::string Workspace::CheckNewPage(const NewPageChoice& c) {
    if (c.screen.device.empty()) return "请选择设备类型";
    if (c.name.empty()) return "请填写页面名称";
    return "";
}

std::string Workspace::CheckEntryName(const std::string& name) {
    if (!IsSafeEntryName(name)) return "页面名称不能包含路径分隔符或“..”";
    if (std::string gbk; !GbkCodec::FromUtf8(name, gbk))
        return "页面名称含有 GBK 编码无法表示的字符";
    return "";
}

bool Workspace::IsSafeEntryName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos) return false;
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string Workspace::PathOf(const std::string& title) const {
    return PageFile(m_project.directory, title);
}

std::string Workspace::EntryFile(const std::string& name) const {
    const std::string completed = PathOf(name), bare = m_project.directory + "/" + name;
    // Earlier versions kept an entry's file under its bare name ("menu.pg1" after a
    // duplicate import): such a page stays where it is, or the project would lose it.
    std::error_code ec;
    if (completed != bare && !fs::exists(completed, ec) && fs::is_regular_file(bare, ec))
        return bare;
    return completed;
}

std::string Workspace::FileOf(const CLedDoc& page) const {
    if (page.m_bInProject && m_project.open && !m_project.directory.empty())
        return EntryFile(page.m_strTitle);
    return page.m_strPath;
}

CLedDoc* Workspace::FindPage(const std::string& path) const {
    for (const auto& p : m_pages)
        if (!p->m_strPath.empty() && p->m_strPath == path) return p.get();
    return nullptr;
}

void Workspace::AddObserver(WorkspaceObserver* observer) {
    if (observer &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Workspace::RemoveObserver(WorkspaceObserver* observer) {
    std::erase(m_observers, observer);
}

void Workspace::Announce(void (WorkspaceObserver::*event)()) {
    const std::vector<WorkspaceObserver*> observers = m_observers;
    for (WorkspaceObserver* o : observers)
        (o->*event)();
}

void Workspace::AnnouncePage(void (WorkspaceObserver::*event)(CLedDoc&), CLedDoc& page) {
    const std::vector<WorkspaceObserver*> observers = m_observers;
    for (WorkspaceObserver* o : observers)
        (o->*event)(page);
}

CLedDoc* Workspace::Adopt(std::unique_ptr<CLedDoc> doc) {
    doc->SetMessenger(m_messenger);
    m_bitmaps.RegisterPage(*doc);
    m_pages.push_back(std::move(doc));
    m_active = m_pages.back().get();
    AnnouncePage(&WorkspaceObserver::PageOpened, *m_active);
    return m_active;
}

void Workspace::Forget(CLedDoc* page) {
    if (m_active == page) m_active = nullptr;
    AnnouncePage(&WorkspaceObserver::PageClosed, *page);
    std::erase_if(m_pages, [&](const auto& p) { return p.get() == page; });
}

void Workspace::CloseAllPages() {
    for (const auto& page : m_pages)
        AnnouncePage(&WorkspaceObserver::PageClosed, *page);
    m_pages.clear();
    m_active = nullptr;
}

bool Workspace::EnsureDevices(const WorkspaceUi& ui, const char* text, const char* caption) {
    if (!ui.hasDevices || ui.hasDevices()) return true;
    Tell(text, caption);
    if (ui.editDevices) ui.editDevices();
    return true;
}

bool Workspace::SavePage(CLedDoc* page, const std::string& path) {
    std::string error;
    if (page->SaveFile(path, error)) {
        m_active = page;
        return true;
    }
    Tell(error);
    return false;
}

bool Workspace::WriteProjectFile() {
    if (!m_project.open) return false;
    const std::string path = m_project.directory + "/" + m_project.fileName;
    std::string error;
    CByteArray bytes;
    if (!ProjectFile::Write(m_project.entries, bytes, error) ||
        !AtomicFile::Write(path, bytes, error)) {
        Tell("工程文件保存失败：" + error);
        return false;
    }
    return true;
}

bool Workspace::NewProject(const WorkspaceUi& ui) {
    EnsureDevices(ui, "请先在系统中添加您所购买的设备", "设备信息文件丢失");
    if (m_project.open) {
        if (Ask("创建新工程将会关闭已经打开或者创建的工程，是否继续？",
                Messenger::Buttons::YesNoCancel,
                "已经有工程被创建或者被打开") != Messenger::Answer::Yes)
            return false;
        if (!CloseProject()) return false;
    }
    NewProjectChoice c;
    if (!ui.newProject || !ui.newProject(c)) return false;
    if (const std::string complaint = CheckNewProject(c); !complaint.empty()) {
        Tell(complaint);
        return false;
    }
    const std::string directory = c.parentDir + "/" + c.name;
    const std::string file = directory + "/" + c.name + ".zkp";
    if (!MayReplace(m_messenger, file, "已经存在，覆盖将丢失其中的页面列表，是否覆盖？"))
        return false;
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec || !fs::is_directory(directory)) {
        Tell("无法创建工程目录 " + directory);
        return false;
    }
    std::string error;
    if (!AtomicFile::Write(file, {}, error)) {
        Tell(error);
        return false;
    }
    m_project.screen = c.screen;
    m_project.bitmapSupport = c.bitmaps ? 1 : 0;
    m_project.name = c.name;
    m_project.newPageTitle = c.name;
    m_project.directory = directory;
    m_project.fileName = c.name + ".zkp";
    m_project.entries.clear();
    m_project.open = true;
    Announce(&WorkspaceObserver::ProjectOpened);
    return true;
}

bool Workspace::OfferToSaveModified() {
    for (const auto& p : m_pages) {
        if (!p->m_bModified) continue;
        const auto answer =
            Ask(p->m_strTitle + "已被修改，是否保存？", Messenger::Buttons::YesNoCancel);
        if (answer == Messenger::Answer::Cancel) return false;
        if (answer == Messenger::Answer::Yes) {
            std::string path = FileOf(*p);
            if (path.empty() && (!m_saveAs || !m_saveAs(*p, path))) return false;
            if (!SavePage(p.get(), path)) return false;
        }
    }
    return true;
}

bool Workspace::OpenProject(const WorkspaceUi& ui) {
    if (m_project.open) {
        if (Ask("已经有工程被打开或者创建，是否关闭？", Messenger::Buttons::YesNo) !=
            Messenger::Answer::Yes)
            return false;
        // Modified pages are offered for saving rather than dropped.
        if (!OfferToSaveModified()) return false;
        CloseAllPages();
        m_project.entries.clear();
        m_picker.clear();
        m_project.open = false;
        Announce(&WorkspaceObserver::ProjectClosed);
    }
    std::string path;
    if (!ui.projectFile || !ui.projectFile(path)) return false;
    return OpenProjectFile(path);
}

bool Workspace::OpenProjectFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    std::vector<CDocObj> entries;
    if (!AtomicFile::Read(path, bytes, error, ProjectFile::kMaxFileBytes)) {
        Tell(error);
        return false;
    }
    if (!ProjectFile::Read(bytes, entries, error)) {
        Tell(path + "：" + error);
        return false;
    }
    const fs::path p(path);
    m_project.directory = p.parent_path().empty() ? "." : p.parent_path().string();
    m_project.fileName = p.filename().string();
    m_project.name = p.stem().string();
    m_project.entries = std::move(entries);
    m_project.open = true;
    LoadProjectPages();
    Announce(&WorkspaceObserver::ProjectOpened);
    return true;
}

void Workspace::LoadProjectPages() {
    m_picker.clear();
    // A damaged project file may have thousands of bad entries: one message names the
    // first and counts them all.
    std::string first;
    int bad = 0;
    const auto skip = [&](const std::string& why) {
        if (bad++ == 0) first = why;
    };
    for (const CDocObj& e : m_project.entries) {
        if (!IsSafeEntryName(e.m_strName)) {
            skip("工程中的页面名称“" + e.m_strName + "”不在工程目录中，已跳过");
            continue;
        }
        const std::string path = EntryFile(e.m_strName);
        CLedDoc* page = FindPage(path);
        if (!page) {
            auto doc = std::make_unique<CLedDoc>();
            std::string error;
            if (!doc->LoadFile(path, error)) {
                // The entry stays in the project file; only its page is not opened.
                skip("无法打开工程页面 " + e.m_strName + "：" + error);
                continue;
            }
            doc->m_strTitle = e.m_strName;
            doc->m_strPath = path;
            page = Adopt(std::move(doc));
        }
        page->m_nStartPage = e.m_nStartPage;
        page->m_bInProject = 1;
        m_project.screen = page->GetScreenParams();
        m_picker.push_back(e.m_strName);
    }
    if (bad > 1) first += "（另有 " + std::to_string(bad - 1) + " 个页面项也有问题，均已跳过）";
    if (bad > 0) Tell(first);
}

void Workspace::OpenProjectPages() {
    if (!m_project.open) return;
    LoadProjectPages();
}

bool Workspace::SaveProject() {
    bool ok = true;
    for (const auto& p : m_pages) {
        if (!p->m_bModified) continue;
        ok = SavePage(p.get(), FileOf(*p)) && ok;
    }
    if (m_project.open) ok = WriteProjectFile() && ok;
    return ok;
}

bool Workspace::CloseProject() {
    // Each modified page is asked about: saved, dropped, or the project stays open.
    if (!OfferToSaveModified()) return false;
    CloseAllPages();
    const bool wasOpen = m_project.open;
    if (wasOpen) WriteProjectFile();
    m_project.entries.clear();
    m_picker.clear();
    m_project.open = false;
    if (wasOpen) Announce(&WorkspaceObserver::ProjectClosed);
    return true;
}

CLedDoc* Workspace::NewPage(const WorkspaceUi& ui) {
    EnsureDevices(ui, "请你先添加设备", "系统还没有添加任何设备");
    if (m_project.open) {
        std::string name;
        if (!ui.pageName || !ui.pageName(name)) return nullptr;
        if (name.empty()) {
            Tell("页面名称不能为空", "请填写页面名称");
            return nullptr;
        }
        const std::string title = CompletePageName(name);
        if (const std::string complaint = CheckPageName(title); !complaint.empty()) {
            Tell(complaint);
            return nullptr;
        }
        // A page file that is not in the project is someone's work too.
        const std::string path = PathOf(title);
        if (!MayReplace(m_messenger, path,
                        "已经存在（不在工程中），覆盖将丢失其中的图元，是否覆盖？"))
            return nullptr;
        m_project.newPageTitle = title;
        if (m_active)
            m_project.nextStartPage = m_active->m_nStartPage + m_active->ComputePageCount();
        auto doc = std::make_unique<CLedDoc>(m_project.screen);
        doc->m_strTitle = title;
        doc->m_nStartPage = m_project.nextStartPage;
        doc->m_bInProject = 1;
        std::string error;
        if (!doc->SaveFile(path, error)) {
            Tell(error);
            return nullptr;
        }
        doc->m_strPath = path;
        CLedDoc* previous = m_active;
        CLedDoc* page = Adopt(std::move(doc));
        m_project.entries.emplace_back(title, m_project.nextStartPage, 1);
        m_picker.push_back(title);
        if (!WriteProjectFile()) {
            // A page the project file does not list would be lost to the project: undo.
            m_project.entries.pop_back();
            m_picker.pop_back();
            Forget(page);
            m_active = previous;
            std::remove(path.c_str());
            return nullptr;
        }
        return page;
    }
    NewPageChoice c;
    if (!ui.newPage || !ui.newPage(c)) return nullptr;
    if (const std::string complaint = CheckNewPage(c); !complaint.empty()) {
        Tell(complaint);
        return nullptr;
    }
    const std::string title = CompletePageName(c.name);
    m_project.screen = c.screen;
    m_project.bitmapSupport = c.bitmaps ? 1 : 0;
    m_project.directory.clear();
    m_project.name = title;
    m_project.newPageTitle = title;
    auto doc = std::make_unique<CLedDoc>(m_project.screen);
    doc->m_strTitle = title;
    doc->m_nStartPage = m_project.nextStartPage;
    doc->m_bInProject = 0;
    doc->m_bModified = true;
    return Adopt(std::move(doc));
}

CLedDoc* Workspace::OpenPage(const std::string& path) {
    if (CLedDoc* open = FindPage(path)) return m_active = open;
    auto doc = std::make_unique<CLedDoc>();
    std::string error;
    if (!doc->LoadFile(path, error)) {
        Tell(error);
        return nullptr;
    }
    doc->m_strTitle = fs::path(path).filename().string();
    doc->m_strPath = path;
    doc->m_bInProject = 0;
    return Adopt(std::move(doc));
}

bool Workspace::DeletePage(CLedDoc* page) {
    if (!page) return false;
    const std::string& t = page->m_strTitle;
    if (Ask("确认要从工程中删" + t + "？", Messenger::Buttons::YesNoCancel) !=
        Messenger::Answer::Yes)
        return false;
    auto& entries = m_project.entries;
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const CDocObj& e) {
        return e.m_strName == t + ".pg" || e.m_strName == t;
    });
    if (it == entries.end()) return false;
    std::erase(m_picker, it->m_strName);
    entries.erase(it);
    Forget(page);
    return true;
}

bool Workspace::ClosePage(CLedDoc* page) {
    if (!page) return false;
    for (CDocObj& e : m_project.entries) {
        if (e.m_strName == page->m_strTitle) {
            e.m_nStartPage = page->m_nStartPage;
            e.m_nPageCount = page->ComputePageCount();
        }
    }
    if (page->m_bModified) {
        // The question keeps the module's own wording.
        const auto answer =
            Ask(page->m_strTitle + "被修改过，是否保存", Messenger::Buttons::YesNoCancel);
        if (answer == Messenger::Answer::Cancel) return false;
        if (answer == Messenger::Answer::Yes) {
            // A page opened from elsewhere goes back to its own file.
            std::string path = FileOf(*page);
            if (path.empty() && (!m_saveAs || !m_saveAs(*page, path))) return false;
            if (!SavePage(page, path)) return false;
        }
    }
    Forget(page);
    return true;
}

bool Workspace::ImportIntoProject(CLedDoc* page, const WorkspaceUi& ui) {
    if (!page || page->m_bInProject) return false;
    if (!m_project.open) {
        if (Ask("工程没有创建或者已经关闭，是否创建新工程", Messenger::Buttons::YesNoCancel) !=
            Messenger::Answer::Yes)
            return false;
        if (!NewProject(ui)) return false;
        page->m_strDevice = m_project.screen.device;
    }
    const ScreenParams s = m_project.screen;
    if (s.colours != page->m_nColours || s.logWidth != page->m_nLogWidth ||
        s.logHeight != page->m_nLogHeight) {
        Tell("屏幕逻辑尺寸参数不一致，无法导入");
        return false;
    }
    if (s.physWidth != page->m_dPhysWidth || s.physHeight != page->m_dPhysHeight) {
        Tell("屏幕物理尺寸参数不一致，无法导入");
        return false;
    }
    std::string title = page->m_strTitle;
    for (const CDocObj& e : m_project.entries) {
        if (e.m_strName != title) continue;
        // The new name is a page name too: it ends in ".pg" like every other.
        const std::string renamed = CompletePageName(title + "1");
        if (Ask("工程中已经存在" + title + " 页面导入后将修改为" + renamed,
                Messenger::Buttons::YesNoCancel) != Messenger::Answer::Yes)
            return false;
        title = renamed;
        break;
    }
    if (const std::string complaint = CheckEntryName(title); !complaint.empty()) {
        Tell(complaint);
        return false;
    }
    const auto& entries = m_project.entries;
    const int32_t start =
        entries.empty() ? 0 : entries.back().m_nStartPage + entries.back().m_nPageCount;
    const std::string path = PathOf(title);
    if (path != page->m_strPath &&
        !MayReplace(m_messenger, path, "已经存在（不在工程中），覆盖将丢失其中的图元，是否覆盖？"))
        return false;
    const std::string oldTitle = page->m_strTitle;
    page->m_strTitle = title;
    if (!SavePage(page, path)) {
        page->m_strTitle = oldTitle;
        return false;
    }
    m_project.entries.emplace_back(title, start, page->ComputePageCount());
    page->m_strPath = path;
    page->m_nStartPage = start;
    page->m_bInProject = 1;
    return true;
}
