#pragma once
// Building answer scripts and reading transcripts in the dialogue tests.
//
// EquilateralChain: a strip of equilateral triangles of 100 m with the given
// signs, A = (1000, 1000), B = (1000, 1100); every side typed as 100 (the even
// ones with their sign). Closing on C (and D), or on C with an external
// azimuth and a 25 deg orientation angle, or on C alone.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "text/DisplayFormat.h"
#include "run/ScriptedPlatform.h"

enum class Closing { WithD, WithAzimuth, CoordinatesOnly };

struct Answers {
    std::vector<std::string> lines;
    Answers& operator()(const std::string& answer)
    {
        lines.push_back(answer);
        return *this;
    }
    Answers& confirmed(const std::string& answer) { return (*this)(answer)(""); }
    Answers& append(const Answers& more)
    {
        lines.insert(lines.end(), more.lines.begin(), more.lines.end());
        return *this;
    }
};

struct EquilateralChain {
    int N;
    std::vector<int> sigma;  // 1..N
    Closing closing;
    std::vector<double> X, Y;  // true points 0..N (0 = B), point i the far end of leg i
    double Xc = 0, Yc = 0, Xd = 0, Yd = 0;
    std::string azimuthPacked = "0", orientationPacked = "0";

    EquilateralChain(std::vector<int> signs, Closing kind) : N(static_cast<int>(signs.size())), closing(kind)
    {
        sigma.push_back(0);
        sigma.insert(sigma.end(), signs.begin(), signs.end());
        const double pi = std::acos(-1.0), d = pi / 180;
        X.assign(static_cast<std::size_t>(N + 1), 0);
        Y.assign(static_cast<std::size_t>(N + 1), 0);
        X[0] = 1000, Y[0] = 1100;
        double T = 90, stX = X[0], stY = Y[0];
        std::vector<double> stationX{1000, 1000}, stationY{1000, 1100};  // st(0) = A, st(1) = B
        for (int i = 1; i <= N; ++i) {
            bool pivot = i >= 2 && sigma[static_cast<std::size_t>(i)] == sigma[static_cast<std::size_t>(i - 1)];
            T = T + sigma[static_cast<std::size_t>(i)] * 60.0 + (pivot ? 0 : 180);
            if (i >= 2 && !pivot) stX = X[static_cast<std::size_t>(i - 1)], stY = Y[static_cast<std::size_t>(i - 1)];
            X[static_cast<std::size_t>(i)] = stX + 100 * std::cos(T * d);
            Y[static_cast<std::size_t>(i)] = stY + 100 * std::sin(T * d);
            lastStationX = stX, lastStationY = stY, lastAzimuth = T;
        }
        if (closing == Closing::WithD) {
            Xc = lastStationX, Yc = lastStationY, Xd = X[static_cast<std::size_t>(N)], Yd = Y[static_cast<std::size_t>(N)];
        } else {
            Xc = X[static_cast<std::size_t>(N)], Yc = Y[static_cast<std::size_t>(N)];
        }
        if (closing == Closing::WithAzimuth) {
            double outward = std::fmod(lastAzimuth + 180 + 25 + 720, 360.0);
            azimuthPacked = Packed(outward);
            orientationPacked = "25";
        }
    }

    static std::string Packed(double degrees)
    {
        double d = std::floor(degrees);
        double minutes = (degrees - d) * 60, m = std::floor(minutes);
        double seconds = (minutes - m) * 60;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%d.%02d%07.4f", int(d), int(m), seconds);
        std::string text = buffer;
        text.erase(text.find('.', text.find('.') + 1), 1);  // D.MMSSssss: one point only
        return text;
    }

    // Unknown points between B and C, as the program counts them.
    int K() const
    {
        if (closing != Closing::WithD) return N - 1;
        return sigma[static_cast<std::size_t>(N - 1)] != sigma[static_cast<std::size_t>(N)] ? N - 2 : N - 3;
    }
    bool PointAfterC() const
    {
        return closing == Closing::WithD &&
               sigma[static_cast<std::size_t>(N - 1)] == sigma[static_cast<std::size_t>(N)];
    }
    int DisplayedPoints() const { return closing == Closing::WithD ? N : N + 1; }

    static std::string Num(double v) { return ShortestDecimal(v); }

    Answers KnownPoints() const
    {
        Answers a;
        a.confirmed("1000").confirmed("1000").confirmed("1000").confirmed("1100");
        a.confirmed(Num(Xc)).confirmed(Num(Yc)).confirmed(Num(Xd)).confirmed(Num(Yd));
        if (closing != Closing::WithD) a.confirmed(azimuthPacked).confirmed(orientationPacked);
        return a;
    }
    Answers Sides() const
    {
        Answers a;
        a.confirmed(sigma[1] < 0 ? "-100" : "100");
        for (int k = 2; k <= N; ++k) a.confirmed("100").confirmed(sigma[static_cast<std::size_t>(k)] < 0 ? "-100" : "100");
        if (closing != Closing::WithD) a.confirmed("100");
        return a;
    }
    Answers Names() const
    {
        Answers a;
        a.confirmed("B");
        for (int i = 1; i <= K(); ++i) a.confirmed("P" + std::to_string(i));
        a.confirmed("C");
        if (PointAfterC()) a.confirmed("Q");
        return a;
    }
    Answers Pacing() const
    {
        Answers a;
        for (int i = 0; i < DisplayedPoints(); ++i) a("");
        return a;
    }
    Answers Run() const
    {
        Answers a;
        a(std::to_string(N));
        return a.append(KnownPoints()).append(Sides()).append(Names()).append(Pacing());
    }

private:
    double lastStationX = 0, lastStationY = 0, lastAzimuth = 0;
};

// A confirmation as the transcript shows it: its first line (the value named,
// as typed, with its unit), the line break escaped, then the confirmation text.
inline std::string Confirming(const std::string& firstLine, const std::string& text) { return firstLine + "\\n" + text; }

// The transcript as lines.
inline std::vector<std::string> Lines(const std::string& transcript)
{
    std::vector<std::string> out;
    std::istringstream in(transcript);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Lines of one kind ("PROMPT", "TEXT\tText9", "END", ...), without the kind.
inline std::vector<std::string> Events(const std::string& transcript, const std::string& kind)
{
    std::vector<std::string> out;
    for (const std::string& line : Lines(transcript))
        if (line.rfind(kind + "\t", 0) == 0) out.push_back(line.substr(kind.size() + 1));
    return out;
}

// The lines with which a run that ends without completing empties the result
// fields Text12, Text14 .. Text25 it has not written (those in `written` it has).
inline std::vector<std::string> EmptiedResultFields(const std::vector<int>& written = {})
{
    std::vector<std::string> out;
    for (int field = 12; field <= 25; ++field) {
        if (field == 13 || std::find(written.begin(), written.end(), field) != written.end()) continue;
        out.push_back("TEXT\tText" + std::to_string(field) + "\t");
    }
    return out;
}
