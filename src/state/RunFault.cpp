#include "state/RunFault.h"

#include <cmath>

void RaiseFault(FaultKind kind, std::string message) { throw RunFault{kind, std::move(message)}; }

const char* FaultKindName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::TypeMismatch: return "类型不匹配";
    case FaultKind::Overflow: return "溢出";
    case FaultKind::IndexRange: return "下标越界";
    case FaultKind::DivisionByZero: return "除以零";
    case FaultKind::InvalidArgument: return "无效参数";
    }
    return "错误";
}

void RequireFinite(double value, std::string_view what)
{
    if (!std::isfinite(value))
        RaiseFault(FaultKind::Overflow, std::string(what) + " 超出数值范围，计算无法继续");
}
