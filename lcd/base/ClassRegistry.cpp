#include "base/ClassRegistry.h"

void ClassRegistry::Register(const std::string& name, int schema, Factory factory) {
    m_entries[name] = Entry{schema, std::move(factory)};
}

const ClassRegistry::Factory* ClassRegistry::Find(const std::string& name) const {
    const auto it = m_entries.find(name);
    return it == m_entries.end() ? nullptr : &it->second.factory;
}

int ClassRegistry::Schema(const std::string& name) const {
    const auto it = m_entries.find(name);
    return it == m_entries.end() ? -1 : it->second.schema;
}
