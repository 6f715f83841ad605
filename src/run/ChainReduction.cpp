#include "run/ChainReduction.h"

#include "files/ReductionKeys.h"
#include "reduction/GaussPlaneReduction.h"

std::optional<std::string> ReduceChainInput(ChainInput& input)
{
    if (!input.reduction) return std::nullopt;
    for (const SideObservation& side : input.observations.sides)
        if (side.reduction) return std::nullopt;  // reduced already
    auto reduced = ReduceToGaussPlane(input.observations, *input.reduction);
    if (const ReductionFault* fault = std::get_if<ReductionFault>(&reduced)) return ReductionFaultText(*fault, input);
    input.observations = std::move(std::get<ChainObservations>(reduced));
    return std::nullopt;
}

std::optional<std::string> ReduceChainInput(ChainInput& input, const ReductionRecord& record)
{
    auto parameters = ReductionOf(record, input);
    if (const ReductionRefusal* refused = std::get_if<ReductionRefusal>(&parameters))
        return (refused->key.empty() ? "" : refused->key + "：") + refused->message;
    input.reduction = std::get<0>(parameters);
    return ReduceChainInput(input);
}
