// The command-line rule of core/program_path.h bound to this machine: its files, its search
// path and its environment.
#pragma once

#include "core/program_path.h"

ProgramLookup SystemProgramLookup();
