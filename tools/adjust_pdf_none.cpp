#include "adjust_command.h"
#include "adjust_pdf.h"

std::string WriteAdjustPdfs(const Arguments& a, int, char**, const std::string&)
{
    return PdfFilesOf(a).front() + ": this trilat-adjust was built without Qt: no PDF output";
}
