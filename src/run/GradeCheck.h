#pragma once
// A completed run against a grade (等级): each item of the grade's limits
// checked against the chain's figure (state/GradeLimits.h names the items and
// their units); the verdict goes into the run's listing.
#include <optional>
#include <string>

#include "state/CompletedRun.h"
#include "state/GradeLimits.h"

// Returns the refusal where the limits have no grade of that name (the
// listing then has no verdict).
std::optional<std::string> CheckRunGrade(CompletedRun& run, const std::string& name, const GradeLimits& limits);
