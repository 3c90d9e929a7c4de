#pragma once
// The classes a reader may create, by exact class name, each with its schema number.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "base/CObject.h"

class ClassRegistry {
public:
    using Factory = std::function<std::unique_ptr<CObject>()>;

    void Register(const std::string& name, int schema, Factory factory);
    // nullptr when the name is unknown.
    const Factory* Find(const std::string& name) const;
    int Schema(const std::string& name) const;

    template <class T>
    void Register(int schema = 1) {
        Register(T().ClassName(), schema, [] { return std::make_unique<T>(); });
    }

private:
    struct Entry {
        int schema;
        Factory factory;
    };
    std::map<std::string, Entry> m_entries;
};
