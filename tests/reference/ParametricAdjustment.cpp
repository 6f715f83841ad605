#include "reference/ParametricAdjustment.h"

#include <Eigen/SparseCholesky>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace reference {

namespace {

constexpr double RHO = 180.0 * 3600.0 / std::numbers::pi;  // arc seconds per radian

double Wrap180(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg <= -180) deg += 360;
    if (deg > 180) deg -= 360;
    return deg;
}

// The linearised observation i at the coordinates: v = computed - observed and
// the row of the design matrix [per m of the unknowns].
struct Linearised {
    double v = 0;
    std::vector<std::pair<int, double>> row;
};

Linearised Linearise(const Network& net, const std::vector<chain::Point2>& coords, const std::vector<int>& slot,
                     std::size_t i)
{
    Linearised l;
    auto add = [&l](int k, double dx, double dy) {
        if (k < 0) return;
        l.row.push_back({k, dx});
        l.row.push_back({k + 1, dy});
    };
    if (i < net.distances.size()) {
        const Distance& d = net.distances[i];
        const chain::Point2& pa = coords.at(static_cast<std::size_t>(d.a));
        const chain::Point2& pb = coords.at(static_cast<std::size_t>(d.b));
        double dx = pb.x - pa.x, dy = pb.y - pa.y;
        double s = std::hypot(dx, dy);
        l.v = s - d.observed;
        add(slot[static_cast<std::size_t>(d.a)], -dx / s, -dy / s);
        add(slot[static_cast<std::size_t>(d.b)], dx / s, dy / s);
        return l;
    }
    const Orientation& o = *net.orientation;
    const chain::Point2& pa = coords.at(static_cast<std::size_t>(o.at));
    const chain::Point2& pb = coords.at(static_cast<std::size_t>(o.to));
    double dx = pb.x - pa.x, dy = pb.y - pa.y;
    double s2 = dx * dx + dy * dy;
    double azimuth = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    l.v = Wrap180((o.azimuthDeg - azimuth) - o.observedDeg) * 3600.0;
    // Q = Tb - atan2(dy, dx): dQ/dx_to = dy / s^2, dQ/dy_to = -dx / s^2 [rad/m]
    add(slot[static_cast<std::size_t>(o.to)], RHO * dy / s2, -RHO * dx / s2);
    add(slot[static_cast<std::size_t>(o.at)], -RHO * dy / s2, RHO * dx / s2);
    return l;
}

double WeightOf(const Network& net, std::size_t i)
{
    const double sigma = i < net.distances.size() ? net.distances[i].sigma : net.orientation->sigmaSec;
    return 1 / (sigma * sigma);
}

}  // namespace

double Result::CofactorX(int point) const
{
    int k = unknownSlot.at(static_cast<std::size_t>(point));
    return k < 0 ? 0.0 : Qxx(k, k);
}

double Result::CofactorY(int point) const
{
    int k = unknownSlot.at(static_cast<std::size_t>(point));
    return k < 0 ? 0.0 : Qxx(k + 1, k + 1);
}

std::vector<std::pair<int, double>> Result::DesignRow(const Network& net, std::size_t i) const
{
    return Linearise(net, coords, unknownSlot, i).row;
}

double Result::ShiftOfPoint(const Network& net, std::size_t i, double bias, int point) const
{
    const int k = unknownSlot.at(static_cast<std::size_t>(point));
    if (k < 0) return 0;
    const double p = WeightOf(net, i);
    double d[2] = {0, 0};
    for (const auto& [j, a] : DesignRow(net, i))
        for (int c = 0; c < 2; ++c) d[c] -= Qxx(k + c, j) * a * p * bias;
    return std::hypot(d[0], d[1]);
}

Result Adjust(const Network& net, int maxIterations, double stepTolerance)
{
    const std::size_t points = net.coords.size();
    if (net.known.size() != points) throw std::invalid_argument("reference: known flags do not match the points");

    Result res;
    res.coords = net.coords;
    res.unknownSlot.assign(points, -1);
    int u = 0;
    for (std::size_t p = 0; p < points; ++p)
        if (!net.known[p]) {
            res.unknownSlot[p] = u;
            u += 2;
        }
    const std::size_t obs = net.distances.size() + (net.orientation ? 1 : 0);
    res.redundancy = static_cast<int>(obs) - u;

    // A'PA and A'Pv at the current coordinates
    Eigen::SparseMatrix<double> normal(u, u);
    Eigen::VectorXd rhs(u);
    auto formNormal = [&] {
        std::vector<Eigen::Triplet<double>> entries;
        rhs.setZero();
        for (std::size_t i = 0; i < obs; ++i) {
            const Linearised l = Linearise(net, res.coords, res.unknownSlot, i);
            const double p = WeightOf(net, i);
            for (const auto& [j, aj] : l.row) {
                rhs(j) -= aj * p * l.v;
                for (const auto& [k, ak] : l.row) entries.emplace_back(j, k, aj * p * ak);
            }
        }
        normal.setFromTriplets(entries.begin(), entries.end());
    };

    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> solver;
    if (u == 0) {
        res.converged = true;
    } else {
        for (int it = 0; it < maxIterations; ++it) {
            formNormal();
            solver.compute(normal);
            if (solver.info() != Eigen::Success) throw std::runtime_error("reference: the normal matrix is singular");
            Eigen::VectorXd dx = solver.solve(rhs);
            for (std::size_t p = 0; p < points; ++p) {
                int k = res.unknownSlot[p];
                if (k < 0) continue;
                res.coords[p].x += dx(k);
                res.coords[p].y += dx(k + 1);
            }
            res.iterations = it + 1;
            if (dx.cwiseAbs().maxCoeff() < stepTolerance) {
                res.converged = true;
                break;
            }
        }
        // cofactors at the solution
        formNormal();
        solver.compute(normal);
        res.Qxx = solver.solve(Eigen::MatrixXd::Identity(u, u));
    }

    const std::size_t nd = net.distances.size();
    res.distanceResiduals.resize(nd);
    res.distanceRedundancy.resize(nd);
    for (std::size_t i = 0; i < obs; ++i) {
        const Linearised l = Linearise(net, res.coords, res.unknownSlot, i);
        const double p = WeightOf(net, i);
        double aQa = 0;
        for (const auto& [j, aj] : l.row)
            for (const auto& [k, ak] : l.row) aQa += aj * res.Qxx(j, k) * ak;
        const double redundancy = 1 - p * aQa;
        res.sumWeightedSquares += p * l.v * l.v;
        if (i < nd) {
            res.distanceResiduals[i] = l.v;
            res.sumSquaredSideResiduals += l.v * l.v;
            res.distanceRedundancy[i] = redundancy;
        } else {
            res.orientationResidualSec = l.v;
            res.orientationRedundancy = redundancy;
        }
    }
    return res;
}

Network NetworkFromChain(const chain::GeneratedChain& g, const std::vector<chain::Point2>& approximate)
{
    Network net;
    const std::size_t n = static_cast<std::size_t>(g.N);
    net.coords.assign(n + 2, chain::Point2{});
    net.known.assign(n + 2, true);
    net.coords[0] = g.A;
    for (std::size_t i = 0; i <= n; ++i) net.coords[i + 1] = g.points[i];
    for (int id : g.unknownPoints) {
        auto k = static_cast<std::size_t>(NetIndex(id));
        net.known[k] = false;
        net.coords[k] = approximate.at(static_cast<std::size_t>(id));
    }
    for (std::size_t k = 1; k < g.sideEnds.size(); ++k) {
        if (!g.sideTyped[k]) continue;
        net.distances.push_back({NetIndex(g.sideEnds[k].from), NetIndex(g.sideEnds[k].to), g.typedSides[k], 1.0, static_cast<int>(k)});
    }
    if (g.spec.closing == chain::Closing::ExternalAzimuth) {
        Orientation o;
        o.at = NetIndex(g.cIndex);
        o.to = NetIndex(g.station[n]);
        o.azimuthDeg = g.azimuthTypedDeg;
        o.observedDeg = g.orientationTypedDeg;
        net.orientation = o;
    }
    return net;
}

}  // namespace reference
