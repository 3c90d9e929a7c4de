#include "ProjectChars.h"

#include "CharSources.h"
#include "base/Messenger.h"
#include "items/CItemFont.h"
#include "project/Workspace.h"

namespace {

// Keeps the first message the project loading reports instead of showing it.
class FirstMessage final : public Messenger {
public:
    void Tell(const std::string& text, const std::string&) override {
        if (first.empty()) first = text;
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        Tell(text, caption);
        return Answer::No;
    }
    std::string first;
};

}  // namespace

bool ProjectChars::Read(const std::string& zkp, std::vector<GbkCode>& codes, std::string& error) {
    FirstMessage messages;
    Workspace workspace(messages);
    const bool opened = workspace.OpenProjectFile(zkp);
    codes.clear();
    for (const auto& page : workspace.Pages()) {
        for (const auto& item : page->CurrentItems())
            if (const auto* text = dynamic_cast<const CItemFont*>(item.get()))
                for (const CTextChar& ch : text->m_arrChars)
                    if (!ch.IsReturn())
                        codes.push_back(ch.m_bDouble
                                            ? static_cast<GbkCode>(ch.m_lead << 8 | ch.m_trail)
                                            : ch.m_lead);
    }
    if (!opened || !messages.first.empty()) {
        error = messages.first.empty() ? "无法读取工程 " + zkp : messages.first;
        return false;
    }
    CharSources::SortUnique(codes);
    return true;
}

std::vector<std::string> ProjectChars::Files(const std::string& zkp) {
    FirstMessage messages;
    Workspace workspace(messages);
    std::vector<std::string> files{zkp};
    if (!workspace.OpenProjectFile(zkp)) return files;
    const Workspace::Project& project = workspace.GetProject();
    for (const CDocObj& entry : project.entries)
        files.push_back(Workspace::PageFile(project.directory, entry.m_strName));
    return files;
}
