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

bool ProjectChars::Read(const std::string& zkp, std::vector<GbkCode>& codes, std::string& error,
                        std::vector<std::string>* files) {
    FirstMessage messages;
    Workspace workspace(messages);
    const bool opened = workspace.OpenProjectFile(zkp);
    codes.clear();
    if (files) files->push_back(zkp);
    for (const auto& page : workspace.Pages()) {
        if (files) files->push_back(page->m_strPath);
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
