// The gama-local document parsed by python3's xml.etree: every typed side once
// between the right names, the orientation angle, names escaped; and the
// network it describes solved again by the independent adjustment by
// observation equations, which must land on the program's coordinates.
// (Debian 12 has no package of GNU Gama, so gama-local itself is not run.)
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "ExportFixtures.h"
#include "core/AdjustChain.h"
#include "files/GamaExport.h"
#include "text/PackedAngle.h"
#include "reference/ParametricAdjustment.h"

namespace {

using namespace exports;
using chain::Closing;

// Prints the document's points, distances and angles, names in hex:
//   P id x y fix|adj     D from to val stdev     A from bs fs val stdev     S sigma-apr
const char* GAMA_READER = R"(
import sys, xml.etree.ElementTree as ET
NS = '{http://www.gnu.org/software/gama/gama-local}'
h = lambda s: s.encode('utf-8').hex()
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == NS + 'gama-local', root.tag
net = root.find(NS + 'network')
assert net.get('axes-xy') == 'ne' and net.get('angles') == 'left-handed'
for e in root.iter():
    if e.tag == NS + 'point':
        kind = 'fix' if e.get('fix') == 'xy' else ('adj' if e.get('adj') == 'xy' else '?')
        print('P', h(e.get('id')), e.get('x'), e.get('y'), kind)
    elif e.tag == NS + 'distance':
        print('D', h(e.get('from')), h(e.get('to')), e.get('val'), e.get('stdev'))
    elif e.tag == NS + 'angle':
        print('A', h(e.get('from')), h(e.get('bs')), h(e.get('fs')), e.get('val'), e.get('stdev'))
    elif e.tag == NS + 'parameters':
        print('S', e.get('sigma-apr'))
)";

struct GamaPoint {
    double x = 0, y = 0;
    bool fixed = false;
};
struct GamaDistance {
    std::string from, to, val, stdev;
};
struct GamaAngle {
    std::string from, bs, fs, val, stdev;
};
struct GamaDocument {
    std::map<std::string, GamaPoint> points;
    std::vector<std::string> order;  // point ids in document order
    std::vector<GamaDistance> distances;
    std::vector<GamaAngle> angles;
    std::string sigmaApr;  // of <parameters>, empty without one
};

GamaDocument Parse(const std::string& xml)
{
    TempFolder folder;
    int status = -1;
    std::string out = RunPython(folder, GAMA_READER, folder.Write("chain.gkf", xml), &status);
    EXPECT_EQ(status, 0) << out;
    GamaDocument d;
    for (const std::string& line : Lines(out)) {
        std::vector<std::string> w = Words(line);
        if (w[0] == "P" && w.size() == 5) {
            const std::string id = FromHex(w[1]);
            EXPECT_EQ(d.points.count(id), 0u) << "point id twice: " << id;
            EXPECT_NE(w[4], "?") << id;
            d.points[id] = {std::stod(w[2]), std::stod(w[3]), w[4] == "fix"};
            d.order.push_back(id);
        } else if (w[0] == "D" && w.size() == 5) {
            d.distances.push_back({FromHex(w[1]), FromHex(w[2]), w[3], w[4]});
        } else if (w[0] == "S" && w.size() == 2) {
            EXPECT_TRUE(d.sigmaApr.empty()) << "two parameters";
            d.sigmaApr = w[1];
        } else if (w[0] == "A" && w.size() == 6) {
            d.angles.push_back({FromHex(w[1]), FromHex(w[2]), FromHex(w[3]), w[4], w[5]});
        } else {
            ADD_FAILURE() << "reader printed: " << line;
        }
    }
    return d;
}

double DmsToDegrees(const std::string& dms)
{
    int d = 0, m = 0;
    double s = 0;
    EXPECT_EQ(std::sscanf(dms.c_str(), "%d-%d-%lf", &d, &m, &s), 3) << dms;
    return d + m / 60.0 + s / 3600.0;
}

chain::GeneratedChain Chain(Closing closing, int n, std::uint64_t seed, double noiseMm)
{
    chain::ChainSpec spec;
    spec.triangles = n;
    spec.closing = closing;
    spec.seed = seed;
    spec.noiseMm = noiseMm;
    spec.signs = chain::RandomSigns(n, seed, closing);
    return chain::GenerateChain(spec);
}

// Every typed side exactly once between its two names, with its typed value
// and its standard error: with weights its own [mm], else the equal weights'
// 1 mm.
void ExpectEveryTypedSideOnce(const ChainListing& l, const GamaDocument& d)
{
    std::multiset<std::string> seen;
    for (const GamaDistance& g : d.distances) {
        if (!l.weights) {
            EXPECT_EQ(g.stdev, "1");
        }
        EXPECT_TRUE(d.points.count(g.from) && d.points.count(g.to)) << g.from << " " << g.to;
        seen.insert(g.from + "|" + g.to + "|" + g.val);
    }
    std::size_t typed = 0;
    for (const ListedSide& s : l.sides) {
        if (s.known) continue;
        ++typed;
        bool found = false;
        for (const GamaDistance& g : d.distances)
            if (((g.from == s.from && g.to == s.to) || (g.from == s.to && g.to == s.from)) &&
                std::stod(g.val) == s.observed) {
                EXPECT_FALSE(found) << "side " << s.k << " twice";
                found = true;
                if (l.weights) {
                    ASSERT_TRUE(s.sigmaMm);
                    EXPECT_EQ(std::stod(g.stdev), *s.sigmaMm) << "side " << s.k;
                }
            }
        EXPECT_TRUE(found) << "side " << s.k << " " << s.from << "-" << s.to;
    }
    EXPECT_EQ(d.distances.size(), typed);
}

// The document as a network for the reference adjustment, new points started
// a few centimetres off their approximate coordinates.
reference::Network NetworkOf(const GamaDocument& d, std::map<std::string, int>& index)
{
    reference::Network net;
    for (const std::string& id : d.order) {
        const GamaPoint& p = d.points.at(id);
        index[id] = static_cast<int>(net.coords.size());
        const double k = static_cast<double>(net.coords.size());
        chain::Point2 start{p.x, p.y};
        if (!p.fixed) {
            start.x += 0.04 * std::sin(1.3 * k + 0.2);
            start.y += 0.04 * std::cos(2.1 * k + 0.7);
        }
        net.coords.push_back(start);
        net.known.push_back(p.fixed);
    }
    for (const GamaDistance& g : d.distances)
        net.distances.push_back({index.at(g.from), index.at(g.to), std::stod(g.val), std::stod(g.stdev) / 1000, 0});
    if (!d.angles.empty()) {
        const GamaAngle& a = d.angles.front();
        reference::Orientation o;
        o.at = index.at(a.from);
        o.to = index.at(a.bs);
        // the foresight is a fixed point: the direction to it is a fixed azimuth
        const GamaPoint& at = d.points.at(a.from);
        const GamaPoint& fs = d.points.at(a.fs);
        o.azimuthDeg = chain::AzimuthDeg({at.x, at.y}, {fs.x, fs.y});
        o.observedDeg = DmsToDegrees(a.val);
        o.sigmaSec = std::stod(a.stdev);
        net.orientation = o;
    }
    return net;
}

TEST(GamaExport, RealisticChainsDescribeTheProgramsAdjustment)
{
    for (Closing closing : {Closing::ExternalAzimuth, Closing::PointD, Closing::NoAzimuth}) {
        for (int n : {5, 14}) {
            SCOPED_TRACE(std::string(chain::ClosingName(closing)) + ", N = " + std::to_string(n));
            chain::GeneratedChain g = Chain(closing, n, static_cast<std::uint64_t>(n) * 3 + 1, 3);
            ListedRun r = RunAndList(g.answers, "工程 <甲> & 乙");
            ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
            ExportOutcome x = GamaExport(r.listing);
            ASSERT_TRUE(x.ok()) << x.refusal;
            GamaDocument d = Parse(x.bytes);

            // A, B, C, D fixed at their typed coordinates, every new point free
            for (const ListedPoint& p : r.listing.knownPoints) {
                ASSERT_TRUE(d.points.count(p.name)) << p.name;
                EXPECT_TRUE(d.points.at(p.name).fixed) << p.name;
                EXPECT_EQ(d.points.at(p.name).x, p.X);
                EXPECT_EQ(d.points.at(p.name).y, p.Y);
            }
            std::size_t newPoints = 0;
            for (const ListedPoint& p : r.listing.points) {
                if (p.known) continue;
                ++newPoints;
                ASSERT_TRUE(d.points.count(p.name)) << p.name;
                EXPECT_FALSE(d.points.at(p.name).fixed) << p.name;
            }
            EXPECT_EQ(newPoints, g.unknownPoints.size());
            const std::size_t auxiliary = closing == Closing::ExternalAzimuth ? 1 : 0;
            EXPECT_EQ(d.points.size(), r.listing.knownPoints.size() + newPoints + auxiliary);

            ExpectEveryTypedSideOnce(r.listing, d);
            EXPECT_EQ(d.sigmaApr, "1");

            if (closing == Closing::ExternalAzimuth) {
                ASSERT_EQ(d.angles.size(), 1u);
                const GamaAngle& a = d.angles[0];
                EXPECT_EQ(a.from, "C");
                EXPECT_EQ(a.bs, r.listing.closing->lastSideFar);
                EXPECT_EQ(a.stdev, "0.001");
                double q = g.orientationTypedDeg < 0 ? g.orientationTypedDeg + 360 : g.orientationTypedDeg;
                EXPECT_NEAR(DmsToDegrees(a.val), q, 1e-9);
                const GamaPoint& aux = d.points.at(a.fs);
                EXPECT_TRUE(aux.fixed);
                EXPECT_NEAR(chain::AzimuthDeg({g.C.x, g.C.y}, {aux.x, aux.y}), g.azimuthTypedDeg, 1e-9);
            } else {
                EXPECT_TRUE(d.angles.empty());
            }

            std::map<std::string, int> index;
            // the two solve the same least-squares problem: they agree to well
            // below a micrometre on these chains; 0.01 mm leaves room
            reference::Result ref = reference::Adjust(NetworkOf(d, index));
            ASSERT_TRUE(ref.converged);
            EXPECT_EQ(ref.redundancy, closing == Closing::NoAzimuth ? 2 : 3);
            for (const ListedPoint& p : r.listing.points) {
                if (p.known) continue;
                const chain::Point2& c = ref.coords.at(static_cast<std::size_t>(index.at(p.name)));
                EXPECT_NEAR(c.x, p.X, 1e-5) << p.name;
                EXPECT_NEAR(c.y, p.Y, 1e-5) << p.name;
            }
        }
    }
}

// With weights every side carries its standard error a + b D (or its own),
// the angle its own in arc seconds (the unit of a sexagesimal value) and
// sigma-apr is mu0 = a + b: the reference with these weights lands on the
// program's weighted adjustment.
TEST(GamaExport, AWeightedChainCarriesEachObservationsStandardError)
{
    for (Closing closing : {Closing::ExternalAzimuth, Closing::PointD, Closing::NoAzimuth}) {
        SCOPED_TRACE(chain::ClosingName(closing));
        chain::GeneratedChain g = Chain(closing, 9, 31, 4);
        ListedRun run = RunAndList(g.answers);
        ASSERT_EQ(run.outcome.kind, RunOutcome::Completed) << run.outcome.reason;
        ChainInput input = run.state.LastRun->input;
        input.observations.edm = DistanceAccuracy{3, 2};
        input.observations.sides.at(6).sigmaMm = 7.5;
        if (input.observations.orientation) input.observations.orientation->sigmaSec = 2.5;
        const ChainOutcome out = AdjustChain(input.observations);
        ASSERT_FALSE(out.fault);
        const ChainListing l = ListChain(input, out.result);
        ASSERT_TRUE(l.weights);
        ExportOutcome x = GamaExport(l);
        ASSERT_TRUE(x.ok()) << x.refusal;
        const GamaDocument d = Parse(x.bytes);
        EXPECT_EQ(d.sigmaApr, "5");
        ExpectEveryTypedSideOnce(l, d);
        for (const GamaDistance& side : d.distances)
            if (side.stdev == "7.5") {
                EXPECT_EQ(std::stod(side.val), l.sides.at(5).observed);  // side 6
            }
        if (closing == Closing::ExternalAzimuth) {
            ASSERT_EQ(d.angles.size(), 1u);
            EXPECT_EQ(d.angles[0].stdev, "2.5");
        }
        std::map<std::string, int> index;
        const reference::Result ref = reference::Adjust(NetworkOf(d, index));
        ASSERT_TRUE(ref.converged);
        for (const ListedPoint& p : l.points) {
            if (p.known) continue;
            const chain::Point2& c = ref.coords.at(static_cast<std::size_t>(index.at(p.name)));
            EXPECT_NEAR(c.x, p.X, 1e-5) << p.name;
            EXPECT_NEAR(c.y, p.Y, 1e-5) << p.name;
        }
    }
}

TEST(GamaExport, NamesAreEscapedAndTheAuxiliaryPointGivesWayToATypedName)
{
    chain::GeneratedChain g = Chain(Closing::ExternalAzimuth, 6, 5, 1);
    std::vector<std::string> answers = Renamed(g.answers, "P1", "Tb");
    answers = Renamed(answers, "P2", "<&>\"'");
    answers = Renamed(answers, "B", "起点 B");
    ListedRun r = RunAndList(answers);
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
    RenamePoint(r.listing, "P3", "two\nlines\tand\r");
    ExportOutcome x = GamaExport(r.listing);
    ASSERT_TRUE(x.ok()) << x.refusal;
    GamaDocument d = Parse(x.bytes);
    for (const char* name : {"Tb", "<&>\"'", "起点 B", "two\nlines\tand\r"}) EXPECT_TRUE(d.points.count(name)) << name;
    EXPECT_FALSE(d.points.at("Tb").fixed);  // the typed point keeps its name
    ExpectEveryTypedSideOnce(r.listing, d);
    ASSERT_EQ(d.angles.size(), 1u);
    EXPECT_EQ(d.angles[0].fs, "Tb'");
    EXPECT_TRUE(d.points.at("Tb'").fixed);
}

TEST(GamaExport, RefusesWhatAPointIdCannotBeNamingThePoint)
{
    chain::GeneratedChain g = Chain(Closing::PointD, 5, 2, 1);
    std::vector<std::string> answers = Renamed(g.answers, "P" + std::to_string(g.unknownPoints[1]), "P" + std::to_string(g.unknownPoints[0]));
    ListedRun twice = RunAndList(answers);
    ASSERT_EQ(twice.outcome.kind, RunOutcome::Completed) << twice.outcome.reason;
    ExportOutcome x = GamaExport(twice.listing);
    EXPECT_FALSE(x.ok());
    EXPECT_TRUE(x.bytes.empty());
    EXPECT_NE(x.refusal.find("“P" + std::to_string(g.unknownPoints[0]) + "”"), std::string::npos) << x.refusal;
    EXPECT_NE(x.refusal.find("两个点"), std::string::npos) << x.refusal;

    ListedRun r = RunAndList(g.answers);
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
    const std::string victim = "P" + std::to_string(g.unknownPoints[0]);
    for (const auto& [name, shown] : std::vector<std::pair<std::string, std::string>>{
             {"bell\a", "bell\\x07"}, {"bad\xC0\xAF", "bad\\xC0\\xAF"}, {"", "为空"}}) {
        ChainListing l = r.listing;
        RenamePoint(l, victim, name);
        ExportOutcome refused = GamaExport(l);
        EXPECT_FALSE(refused.ok()) << shown;
        EXPECT_NE(refused.refusal.find(shown), std::string::npos) << refused.refusal;
    }
}

TEST(GamaExport, DegreesAreSexagesimalWithinOneTurn)
{
    EXPECT_EQ(DegreesToDashedDms(123.5), "123-30-00.000000");
    EXPECT_EQ(DegreesToDashedDms(-30.25), "329-45-00.000000");
    EXPECT_EQ(DegreesToDashedDms(10 + 20 / 60.0 + 30.123456 / 3600), "10-20-30.123456");
    EXPECT_EQ(DegreesToDashedDms(360 - 0.0000001 / 3600), "0-00-00.000000");
}

}  // namespace
