#pragma once
// The item classes a page file may name, registered by their exact class names.

class ClassRegistry;

class ItemClasses {
public:
    // Registers every item class (schema 1) into `registry`.
    static void Register(ClassRegistry& registry);
};
