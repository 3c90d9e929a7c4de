#pragma once
// The image layer's classes a page file may name.

class ClassRegistry;

class ImageClasses {
public:
    // Registers "CBmpObj" (schema 1) into `registry`.
    static void Register(ClassRegistry& registry);
};
