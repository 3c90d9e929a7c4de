#pragma once
// The lcdsim program: `run` executes stream files, `serve` executes what a pseudo-terminal
// or the CAN adapter emulator delivers. Exit status 0, or 1 with one line on stderr.

int LcdSimMain(int argc, char** argv);
