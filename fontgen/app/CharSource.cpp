#include "CharSource.h"

#include "CharSources.h"
#include "ProjectChars.h"

bool CollectCodes(const CharSource& source, std::vector<GbkCode>& codes, std::string& error,
                  std::vector<std::string>* inputs) {
    switch (source.kind) {
        case SourceKind::Text:
            return GbkText::FromUtf8(source.text, codes, error);
        case SourceKind::Range:
            return CharSources::ParseRange(source.range, codes, error);
        case SourceKind::Gb2312Level1:
            codes = CharSources::Gb2312Level1();
            return true;
        case SourceKind::Gb2312All:
            codes = CharSources::Gb2312All();
            return true;
        case SourceKind::Project:
            if (source.project.empty()) {
                error = "请选择工程文件（.zkp）";
                return false;
            }
            return ProjectChars::Read(source.project, codes, error, inputs);
    }
    return false;
}
