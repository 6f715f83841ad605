#include "adjust_pdf.h"

std::string WriteAdjustReportPdf(const Report&, const std::string&, int, char**)
{
    return "this trilat-adjust was built without Qt: no PDF output";
}

std::string WriteAdjustFullReportPdf(const FullReport&, const ChainListing&, const ChainResult&, const std::string&, int,
                                     char**)
{
    return "this trilat-adjust was built without Qt: no PDF output";
}
