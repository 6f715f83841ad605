#pragma once
// What must hold whatever the operator types: every run ends completed,
// cancelled or failed; each run reads at least one answer; no number field and
// no report number shows a value that is not a number. Shared by the fuzz
// target and the test that replays its corpus and every finding.
#include <cstddef>
#include <cstdint>
#include <string>

// Runs the answers (lines of data) as trilat-replay does. Returns the first
// property violated, or the empty text.
std::string CheckAnswerProperties(const std::uint8_t* data, std::size_t size);
