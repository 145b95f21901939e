// The status line: one sentence telling a new player what the game waits for.
#pragma once

#include <cstdint>
#include <string>

#include "core/game_table.h"

// nowMs: the clock the table's ReceiveDatagram was given, for how long a
// remote PC has kept silent.
std::string StatusLine(const tGameTable& table, std::int64_t nowMs, bool german);
