// The command rows of each family, which the command table joins. A family's rows live in its
// own file, beside their handlers.
#pragma once

#include "daemon/session.h"

#include <span>

std::span<const CommandRow> BuiltinCommands();
std::span<const CommandRow> PointerCommands();
std::span<const CommandRow> KeyboardCommands();
std::span<const CommandRow> WindowCommands();
std::span<const CommandRow> ScreenCommands();
std::span<const CommandRow> ClipboardCommands();
std::span<const CommandRow> ControlCommands();
std::span<const CommandRow> ImageCommands();
