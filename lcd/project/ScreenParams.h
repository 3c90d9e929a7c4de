#pragma once
// The screen parameters of a module type; a project and all its pages share one value.

#include <cstdint>
#include <string>

struct ScreenParams {
    std::string device;  // device type name (UTF-8)
    int32_t colours = 256;
    double physWidth = 0;   // millimetres
    double physHeight = 0;  // millimetres
    int32_t logWidth = 320;
    int32_t logHeight = 240;
    friend bool operator==(const ScreenParams&, const ScreenParams&) = default;
};
