#include "files/DxfDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <tuple>

#include "text/DisplayFormat.h"

namespace {

// Handles of the objects the others point at; the records and entities are
// numbered from FIRST_FREE on.
enum Handle : unsigned {
    VPORT_TABLE = 0x1, LTYPE_TABLE, LAYER_TABLE, STYLE_TABLE, VIEW_TABLE, UCS_TABLE, APPID_TABLE, DIMSTYLE_TABLE,
    BLOCK_RECORD_TABLE, ROOT_DICTIONARY, GROUP_DICTIONARY, LAYOUT_DICTIONARY, MODEL_RECORD, PAPER_RECORD,
    MODEL_LAYOUT, PAPER_LAYOUT, FIRST_FREE = 0x20
};

std::string Hex(unsigned handle)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", handle);
    return buf;
}

// Group codes and values, one a line, CR LF as CAD on Windows writes them.
class Groups {
public:
    explicit Groups(std::string& out) : out_(out) {}
    void Add(int code, std::string_view value)
    {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%3d\r\n", code);
        out_ += buf;
        out_.append(value);
        out_ += "\r\n";
    }
    void Add(int code, double value) { Add(code, ShortestDecimal(value)); }
    void Add(int code, int value) { Add(code, std::to_string(value)); }
    void Handle(int code, unsigned handle) { Add(code, Hex(handle)); }
    // A point: codes 10 + offset, 20 + offset, 30 + offset.
    void At(int offset, double x, double y)
    {
        Add(10 + offset, x), Add(20 + offset, y), Add(30 + offset, 0.0);
    }

private:
    std::string& out_;
};

// The tables: viewport, line types, layers, text styles, application,
// dimension style, block records.
void Tables(Groups& g, unsigned& next, const DxfExtent& e, const std::vector<DxfLayer>& layers, const char* style,
            const char* font)
{
    auto table = [&](const char* name, unsigned handle, int count) {
        g.Add(0, "TABLE");
        g.Add(2, name);
        g.Handle(5, handle);
        g.Handle(330, 0);
        g.Add(100, "AcDbSymbolTable");
        g.Add(70, count);
    };
    auto record = [&](const char* type, unsigned owner, const char* subclass, const char* name, int handleCode = 5) {
        g.Add(0, type);
        g.Handle(handleCode, next++);
        g.Handle(330, owner);
        g.Add(100, "AcDbSymbolTableRecord");
        g.Add(100, subclass);
        g.Add(2, name);
        g.Add(70, 0);
    };
    g.Add(0, "SECTION");
    g.Add(2, "TABLES");

    // the view that opens: the whole drawing, a little room around it
    table("VPORT", VPORT_TABLE, 1);
    record("VPORT", VPORT_TABLE, "AcDbViewportTableRecord", "*Active");
    constexpr double ASPECT = 1.6;  // width / height of a CAD window
    const double height = 1.1 * std::max({e.maxY - e.minY, (e.maxX - e.minX) / ASPECT, 1.0});
    g.At(0, 0, 0);
    g.Add(11, 1.0), g.Add(21, 1.0);
    g.Add(12, (e.minX + e.maxX) / 2), g.Add(22, (e.minY + e.maxY) / 2);
    g.Add(13, 0.0), g.Add(23, 0.0), g.Add(14, 1.0), g.Add(24, 1.0), g.Add(15, 10.0), g.Add(25, 10.0);
    g.Add(16, 0.0), g.Add(26, 0.0), g.Add(36, 1.0), g.Add(17, 0.0), g.Add(27, 0.0), g.Add(37, 0.0);
    g.Add(40, height), g.Add(41, ASPECT), g.Add(42, 50.0), g.Add(43, 0.0), g.Add(44, 0.0), g.Add(50, 0.0), g.Add(51, 0.0);
    g.Add(71, 0), g.Add(72, 100), g.Add(73, 1), g.Add(74, 3), g.Add(75, 0), g.Add(76, 0), g.Add(77, 0), g.Add(78, 0);
    g.Add(0, "ENDTAB");

    table("LTYPE", LTYPE_TABLE, 3);
    for (const char* name : {"ByBlock", "ByLayer", "Continuous"}) {
        record("LTYPE", LTYPE_TABLE, "AcDbLinetypeTableRecord", name);
        g.Add(3, std::string_view(name) == "Continuous" ? "Solid line" : "");
        g.Add(72, 65), g.Add(73, 0), g.Add(40, 0.0);
    }
    g.Add(0, "ENDTAB");

    table("LAYER", LAYER_TABLE, 1 + static_cast<int>(layers.size()));
    record("LAYER", LAYER_TABLE, "AcDbLayerTableRecord", "0");
    g.Add(62, 7), g.Add(6, "Continuous");
    for (const DxfLayer& layer : layers) {
        record("LAYER", LAYER_TABLE, "AcDbLayerTableRecord", layer.name);
        g.Add(62, layer.colour), g.Add(6, "Continuous");
    }
    g.Add(0, "ENDTAB");

    table("STYLE", STYLE_TABLE, 2);
    for (const auto& [name, font] : {std::pair{"Standard", "txt"}, std::pair{style, font}}) {
        record("STYLE", STYLE_TABLE, "AcDbTextStyleTableRecord", name);
        g.Add(40, 0.0), g.Add(41, 1.0), g.Add(50, 0.0), g.Add(71, 0), g.Add(42, 2.5);
        g.Add(3, font), g.Add(4, "");
    }
    g.Add(0, "ENDTAB");

    table("VIEW", VIEW_TABLE, 0);
    g.Add(0, "ENDTAB");
    table("UCS", UCS_TABLE, 0);
    g.Add(0, "ENDTAB");

    table("APPID", APPID_TABLE, 1);
    record("APPID", APPID_TABLE, "AcDbRegAppTableRecord", "ACAD");
    g.Add(0, "ENDTAB");

    table("DIMSTYLE", DIMSTYLE_TABLE, 1);
    g.Add(100, "AcDbDimStyleTable");
    record("DIMSTYLE", DIMSTYLE_TABLE, "AcDbDimStyleTableRecord", "Standard", 105);
    g.Add(0, "ENDTAB");

    table("BLOCK_RECORD", BLOCK_RECORD_TABLE, 2);
    for (const auto& [handle, name, layout] :
         {std::tuple{MODEL_RECORD, "*Model_Space", MODEL_LAYOUT}, std::tuple{PAPER_RECORD, "*Paper_Space", PAPER_LAYOUT}}) {
        g.Add(0, "BLOCK_RECORD");
        g.Handle(5, handle);
        g.Handle(330, BLOCK_RECORD_TABLE);
        g.Add(100, "AcDbSymbolTableRecord");
        g.Add(100, "AcDbBlockTableRecord");
        g.Add(2, name);
        g.Handle(340, layout);
    }
    g.Add(0, "ENDTAB");
    g.Add(0, "ENDSEC");
}

void Blocks(Groups& g, unsigned& next)
{
    g.Add(0, "SECTION");
    g.Add(2, "BLOCKS");
    for (const auto& [record, name] : {std::pair{MODEL_RECORD, "*Model_Space"}, std::pair{PAPER_RECORD, "*Paper_Space"}}) {
        g.Add(0, "BLOCK");
        g.Handle(5, next++);
        g.Handle(330, record);
        g.Add(100, "AcDbEntity");
        g.Add(8, "0");
        g.Add(100, "AcDbBlockBegin");
        g.Add(2, name);
        g.Add(70, 0);
        g.At(0, 0, 0);
        g.Add(3, name);
        g.Add(1, "");
        g.Add(0, "ENDBLK");
        g.Handle(5, next++);
        g.Handle(330, record);
        g.Add(100, "AcDbEntity");
        g.Add(8, "0");
        g.Add(100, "AcDbBlockEnd");
    }
    g.Add(0, "ENDSEC");
}

// The root dictionary with the groups (none) and the two layouts.
void Objects(Groups& g)
{
    auto dictionary = [&](unsigned handle, unsigned owner, std::initializer_list<std::pair<const char*, unsigned>> entries) {
        g.Add(0, "DICTIONARY");
        g.Handle(5, handle);
        g.Handle(330, owner);
        g.Add(100, "AcDbDictionary");
        g.Add(281, 1);
        for (const auto& [name, entry] : entries) g.Add(3, name), g.Handle(350, entry);
    };
    g.Add(0, "SECTION");
    g.Add(2, "OBJECTS");
    dictionary(ROOT_DICTIONARY, 0, {{"ACAD_GROUP", GROUP_DICTIONARY}, {"ACAD_LAYOUT", LAYOUT_DICTIONARY}});
    dictionary(GROUP_DICTIONARY, ROOT_DICTIONARY, {});
    dictionary(LAYOUT_DICTIONARY, ROOT_DICTIONARY, {{"Layout1", PAPER_LAYOUT}, {"Model", MODEL_LAYOUT}});
    for (const auto& [handle, name, record, tab] :
         {std::tuple{MODEL_LAYOUT, "Model", MODEL_RECORD, 0}, std::tuple{PAPER_LAYOUT, "Layout1", PAPER_RECORD, 1}}) {
        g.Add(0, "LAYOUT");
        g.Handle(5, handle);
        g.Handle(330, LAYOUT_DICTIONARY);
        // plot settings: an A3 sheet [mm], landscape, no device
        g.Add(100, "AcDbPlotSettings");
        g.Add(1, ""), g.Add(2, "none_device"), g.Add(4, "ISO_A3_(420.00_x_297.00_MM)"), g.Add(6, "");
        g.Add(40, 7.5), g.Add(41, 20.0), g.Add(42, 7.5), g.Add(43, 20.0), g.Add(44, 420.0), g.Add(45, 297.0);
        g.Add(46, 0.0), g.Add(47, 0.0), g.Add(48, 0.0), g.Add(49, 0.0), g.Add(140, 0.0), g.Add(141, 0.0);
        g.Add(142, 1.0), g.Add(143, 1.0);
        g.Add(70, tab == 0 ? 1024 : 0);
        g.Add(72, 1), g.Add(73, 1), g.Add(74, 5), g.Add(7, ""), g.Add(75, 16), g.Add(147, 1.0), g.Add(148, 0.0), g.Add(149, 0.0);
        g.Add(100, "AcDbLayout");
        g.Add(1, name);
        g.Add(70, 1), g.Add(71, tab);
        g.Add(10, 0.0), g.Add(20, 0.0), g.Add(11, 420.0), g.Add(21, 297.0);
        g.At(2, 0, 0);
        g.Add(14, 1e20), g.Add(24, 1e20), g.Add(34, 1e20), g.Add(15, -1e20), g.Add(25, -1e20), g.Add(35, -1e20);
        g.Add(146, 0.0);
        g.At(3, 0, 0);
        g.Add(16, 1.0), g.Add(26, 0.0), g.Add(36, 0.0), g.Add(17, 0.0), g.Add(27, 1.0), g.Add(37, 0.0);
        g.Add(76, 1);
        g.Handle(330, record);
    }
    g.Add(0, "ENDSEC");
}

void Header(Groups& g, const DxfExtent& e, unsigned handseed, const char* style)
{
    auto variable = [&](const char* name) { g.Add(9, name); };
    g.Add(0, "SECTION");
    g.Add(2, "HEADER");
    variable("$ACADVER"), g.Add(1, "AC1015");
    variable("$ACADMAINTVER"), g.Add(70, 6);
    variable("$DWGCODEPAGE"), g.Add(3, "ANSI_936");
    variable("$INSBASE"), g.At(0, 0, 0);
    variable("$EXTMIN"), g.At(0, e.minX, e.minY);
    variable("$EXTMAX"), g.At(0, e.maxX, e.maxY);
    variable("$LIMMIN"), g.Add(10, e.minX), g.Add(20, e.minY);
    variable("$LIMMAX"), g.Add(10, e.maxX), g.Add(20, e.maxY);
    variable("$TEXTSTYLE"), g.Add(7, style);
    variable("$CLAYER"), g.Add(8, "0");
    variable("$LUNITS"), g.Add(70, 2);   // decimal
    variable("$LUPREC"), g.Add(70, 3);   // millimetres of the ground
    variable("$INSUNITS"), g.Add(70, 6);  // metres
    variable("$MEASUREMENT"), g.Add(70, 1);
    variable("$PDMODE"), g.Add(70, 0);
    variable("$HANDSEED"), g.Add(5, Hex(handseed));
    g.Add(0, "ENDSEC");
    g.Add(0, "SECTION");
    g.Add(2, "CLASSES");
    g.Add(0, "ENDSEC");
}

}  // namespace

DxfDrawing::DxfDrawing(std::vector<DxfLayer> layers, const char* textStyle, const char* fontFile)
    : layers_(std::move(layers)), style_(textStyle), font_(fontFile), next_(FIRST_FREE)
{
}

void DxfDrawing::Entity(const char* type, const DxfLayer& layer, const char* subclass)
{
    Groups g(entities_);
    g.Add(0, type);
    g.Handle(5, next_++);
    g.Handle(330, MODEL_RECORD);
    g.Add(100, "AcDbEntity");
    g.Add(8, layer.name);
    g.Add(100, subclass);
}

void DxfDrawing::Point(const DxfLayer& layer, double x, double y)
{
    Entity("POINT", layer, "AcDbPoint");
    Groups(entities_).At(0, x, y);
    extent_.Cover(x, y);
}

void DxfDrawing::Line(const DxfLayer& layer, double x0, double y0, double x1, double y1)
{
    Entity("LINE", layer, "AcDbLine");
    Groups g(entities_);
    g.At(0, x0, y0);
    g.At(1, x1, y1);
    extent_.Cover(x0, y0), extent_.Cover(x1, y1);
}

void DxfDrawing::Circle(const DxfLayer& layer, double x, double y, double r)
{
    Entity("CIRCLE", layer, "AcDbCircle");
    Groups g(entities_);
    g.At(0, x, y);
    g.Add(40, r);
    extent_.Cover(x - r, y - r), extent_.Cover(x + r, y + r);
}

void DxfDrawing::ClosedPolyline(const DxfLayer& layer, const std::vector<std::pair<double, double>>& vertices)
{
    Entity("LWPOLYLINE", layer, "AcDbPolyline");
    Groups g(entities_);
    g.Add(90, static_cast<int>(vertices.size()));
    g.Add(70, 1);
    for (const auto& [x, y] : vertices) {
        g.Add(10, x), g.Add(20, y);
        extent_.Cover(x, y);
    }
}

void DxfDrawing::Text(const DxfLayer& layer, double x, double y, double height, const std::string& text,
                      std::size_t characters)
{
    Entity("TEXT", layer, "AcDbText");
    Groups g(entities_);
    g.At(0, x, y);
    g.Add(40, height);
    g.Add(1, text);
    g.Add(7, style_);
    g.Add(100, "AcDbText");
    extent_.Cover(x, y), extent_.Cover(x + height * static_cast<double>(characters), y + height);
}

void DxfDrawing::Ellipse(const DxfLayer& layer, double x, double y, double ax, double ay, double ratio)
{
    Entity("ELLIPSE", layer, "AcDbEllipse");
    Groups g(entities_);
    g.At(0, x, y);
    g.At(1, ax, ay);
    g.Add(210, 0.0), g.Add(220, 0.0), g.Add(230, 1.0);
    g.Add(40, ratio);
    g.Add(41, 0.0);
    g.Add(42, 2 * std::numbers::pi);
    const double a = std::hypot(ax, ay);
    extent_.Cover(x - a, y - a), extent_.Cover(x + a, y + a);
}

std::string DxfDrawing::File() const
{
    DxfExtent e = extent_;
    if (e.Empty()) e.Cover(0, 0);
    unsigned next = next_;
    std::string body;
    Groups g(body);
    Tables(g, next, e, layers_, style_, font_);
    Blocks(g, next);
    g.Add(0, "SECTION");
    g.Add(2, "ENTITIES");
    body += entities_;
    g.Add(0, "ENDSEC");
    Objects(g);
    g.Add(0, "EOF");

    std::string file;
    Groups head(file);
    Header(head, e, next, style_);
    return file + body;
}
