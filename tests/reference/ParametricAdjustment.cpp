#include "reference/ParametricAdjustment.h"

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
    const int obs = static_cast<int>(net.distances.size()) + (net.orientation ? 1 : 0);
    res.redundancy = obs - u;

    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(obs, u);
    Eigen::VectorXd v(obs);  // computed - observed at the current coordinates

    auto linearise = [&] {
        A.setZero();
        int row = 0;
        for (const Distance& d : net.distances) {
            const chain::Point2& pa = res.coords.at(static_cast<std::size_t>(d.a));
            const chain::Point2& pb = res.coords.at(static_cast<std::size_t>(d.b));
            double dx = pb.x - pa.x, dy = pb.y - pa.y;
            double s = std::hypot(dx, dy);
            v(row) = s - d.observed;
            int ka = res.unknownSlot[static_cast<std::size_t>(d.a)];
            int kb = res.unknownSlot[static_cast<std::size_t>(d.b)];
            if (ka >= 0) {
                A(row, ka) = -dx / s;
                A(row, ka + 1) = -dy / s;
            }
            if (kb >= 0) {
                A(row, kb) = dx / s;
                A(row, kb + 1) = dy / s;
            }
            ++row;
        }
        if (net.orientation) {
            const Orientation& o = *net.orientation;
            const chain::Point2& pa = res.coords.at(static_cast<std::size_t>(o.at));
            const chain::Point2& pb = res.coords.at(static_cast<std::size_t>(o.to));
            double dx = pb.x - pa.x, dy = pb.y - pa.y;
            double s2 = dx * dx + dy * dy;
            double azimuth = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
            v(row) = Wrap180((o.azimuthDeg - azimuth) - o.observedDeg) * 3600.0;
            // Q = Tb - atan2(dy, dx): dQ/dx_to = dy / s^2, dQ/dy_to = -dx / s^2 [rad/m]
            int ka = res.unknownSlot[static_cast<std::size_t>(o.at)];
            int kb = res.unknownSlot[static_cast<std::size_t>(o.to)];
            if (kb >= 0) {
                A(row, kb) = RHO * dy / s2;
                A(row, kb + 1) = -RHO * dx / s2;
            }
            if (ka >= 0) {
                A(row, ka) = -RHO * dy / s2;
                A(row, ka + 1) = RHO * dx / s2;
            }
        }
    };

    if (u == 0) {
        linearise();
        res.converged = true;
    } else {
        for (int it = 0; it < maxIterations; ++it) {
            linearise();
            Eigen::MatrixXd normal = A.transpose() * A;
            Eigen::VectorXd rhs = -(A.transpose() * v);
            Eigen::VectorXd dx = normal.ldlt().solve(rhs);
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
        linearise();  // residuals and design matrix at the solution
    }

    if (u > 0) {
        Eigen::MatrixXd normal = A.transpose() * A;
        res.Qxx = normal.ldlt().solve(Eigen::MatrixXd::Identity(u, u));
    }
    const std::size_t nd = net.distances.size();
    res.distanceResiduals.resize(nd);
    for (std::size_t i = 0; i < nd; ++i) {
        res.distanceResiduals[i] = v(static_cast<Eigen::Index>(i));
        res.sumSquaredSideResiduals += v(static_cast<Eigen::Index>(i)) * v(static_cast<Eigen::Index>(i));
    }
    if (net.orientation) res.orientationResidualSec = v(static_cast<Eigen::Index>(nd));
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
        net.distances.push_back({NetIndex(g.sideEnds[k].from), NetIndex(g.sideEnds[k].to), g.typedSides[k]});
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
