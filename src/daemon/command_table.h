// The command table: every family's rows joined, looked up by the lower-cased command word.
#pragma once

#include "daemon/session.h"

#include <string_view>

// The handler of a lower-cased command word, or null for a word that names no command.
Handler LookupCommand(std::string_view cmd);
