#include "state/RunFault.h"

void RaiseFault(FaultKind kind, std::string message) { throw RunFault{kind, std::move(message)}; }
