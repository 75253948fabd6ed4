// The Mac OS error numbers that the plug-in's own containers raise as exceptions. They are
// thrown as values of this enumeration, so handlers can tell them from other failures.
#pragma once

#include <cstdint>

enum EMacError : int16_t { eParamErr = -50, eMemFullErr = -108 };
