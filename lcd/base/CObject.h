#pragma once
// Base of every class that is stored in archive files and created from them by name.

class Archive;

class CObject {
public:
    virtual ~CObject() = default;
    // The class name written into files, spelled exactly (e.g. "CItemLine").
    virtual const char* ClassName() const = 0;
    // Writes or reads the object's own fields, whichever the archive does.
    virtual void Serialize(Archive& ar) = 0;
};
