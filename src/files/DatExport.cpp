#include "files/DatExport.h"

#include <cerrno>
#include <iconv.h>

#include "files/NameText.h"
#include "text/DisplayFormat.h"

namespace {

constexpr const char* DAT_ENCODING = "GBK";

// UTF-8 text to GBK; false when a character has no GBK form.
bool ToGbk(iconv_t cd, const std::string& text, std::string& out)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // initial state
    std::string in = text;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    std::string buffer(in.size() * 2 + 16, '\0');  // GBK needs at most 2 bytes a character
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    out.append(buffer.data(), buffer.size() - outLeft);
    return true;
}

struct Converter {
    iconv_t cd = iconv_open(DAT_ENCODING, "UTF-8");
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
};

}  // namespace

ExportOutcome DatExport(const ChainListing& listing)
{
    Converter conv;
    if (conv.cd == reinterpret_cast<iconv_t>(-1))
        return ExportOutcome::Refused("本机没有 GBK 编码转换，不能写入 DAT 文件");
    std::string out;
    for (const ListedPoint& p : listing.points) {
        const std::string shown = "点名" + QuotedName(p.name);
        if (p.name.find(',') != std::string::npos)
            return ExportOutcome::Refused(shown + "含逗号，DAT 文件以逗号分隔各项，不能写入");
        if (p.name.find_first_of("\r\n") != std::string::npos)
            return ExportOutcome::Refused(shown + "含换行，DAT 文件一行一点，不能写入");
        if (!IsValidUtf8(p.name))
            return ExportOutcome::Refused(shown + "不是有效的 UTF-8 文字，不能写入 DAT 文件");
        std::string name;
        if (!ToGbk(conv.cd, p.name, name))
            return ExportOutcome::Refused(shown + "含 GBK 编码没有的字符，不能写入 DAT 文件");
        out += name + ",," + FormatFixed(p.Y, 3) + "," + FormatFixed(p.X, 3) + ",0.000\r\n";
    }
    return ExportOutcome::Written(std::move(out));
}
