#pragma once
// A drawing in model space as an ASCII DXF file of version AC1015 (R2000):
// entities on layers of the drawing's own, and around them what CAD needs to
// open the file: the header (the extent, $INSUNITS 6 metres, $DWGCODEPAGE
// ANSI_936), the tables (viewport on the whole drawing, line types, layers,
// the text styles Standard and one of the drawing's own, application,
// dimension style, block records), the blocks of model and paper space and
// the root dictionary with the two layouts. Every object has its handle and
// owner. Lines end in CR LF; z is 0 throughout.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

struct DxfLayer {
    const char* name;  // ASCII
    int colour;        // AutoCAD colour index (1 red, 5 blue, 7 black/white, 8 grey)
};

// What the drawing covers so far, DXF x and y.
struct DxfExtent {
    double minX = std::numeric_limits<double>::infinity(), minY = minX, maxX = -minX, maxY = -minX;
    void Cover(double x, double y)
    {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    bool Empty() const { return minX > maxX; }
};

class DxfDrawing {
public:
    // layers: besides CAD's layer 0. textStyle: the ASCII name of the style
    // every text is written in, fontFile its TrueType font file.
    DxfDrawing(std::vector<DxfLayer> layers, const char* textStyle, const char* fontFile);

    void Point(const DxfLayer& layer, double x, double y);
    void Line(const DxfLayer& layer, double x0, double y0, double x1, double y1);
    void Circle(const DxfLayer& layer, double x, double y, double r);
    void ClosedPolyline(const DxfLayer& layer, const std::vector<std::pair<double, double>>& vertices);
    // text: already in DXF's escapes (one line, DxfText); its insertion point
    // the left end of its baseline; characters only for the extent (a
    // character taken as wide as the text is high).
    void Text(const DxfLayer& layer, double x, double y, double height, const std::string& text, std::size_t characters);
    // (ax, ay): the end of the major axis from the centre; ratio: minor / major, 0 < ratio <= 1.
    void Ellipse(const DxfLayer& layer, double x, double y, double ax, double ay, double ratio);

    const DxfExtent& Extent() const { return extent_; }
    // The whole file.
    std::string File() const;

private:
    void Entity(const char* type, const DxfLayer& layer, const char* subclass);

    std::vector<DxfLayer> layers_;
    const char* style_;
    const char* font_;
    std::string entities_;
    DxfExtent extent_;
    unsigned next_;  // the next free handle
};
