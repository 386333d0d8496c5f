// Everything the main module offers other modules: files, globals, procedures, the frame's
// toolbar and start-up. Include the single headers where only one part is used.
#pragma once

#include "core/browse.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/globals.h"
#include "core/procedures.h"
#include "core/start.h"
