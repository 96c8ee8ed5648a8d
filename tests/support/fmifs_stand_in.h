#pragma once
// What the stand-in format library (fmifs_stand_in.cpp, built as fmifs.dll) records of the last FormatEx
// call; LastFormatExCall() returns it.
#include <windows.h>

struct FormatExCall {
    wchar_t volume[16];
    DWORD mediaKind;
    wchar_t fileSystem[16];
    wchar_t label[64];
    BOOL quick;
    DWORD clusterSize;
    int steps; // progress steps the callback let through
};
